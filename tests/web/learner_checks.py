"""Browser checks of the page as a learner meets it: the help panel, the CPU
panel's tools (any address in the disassembly, registers changed while
paused, Step over, the monitor's view of a stopped program) and the layout on
a phone and on a desktop. Each takes the Page of page_driver.py and the
folder for screenshots."""
import time
from pathlib import Path

from selenium.webdriver.common.keys import Keys

from page_driver import LIT, hex_file

SOURCE = Path(__file__).resolve().parents[2]
PHONE = {"width": 390, "height": 844, "deviceScaleFactor": 3, "mobile": True}


def help_is_open(page):
    return page.js("return !document.getElementById('help').hidden")


def readme_table_first_cells(title):
    """The first cell of every table row of a section of monitor/README.md."""
    section = (SOURCE / "monitor" / "README.md").read_text().split(f"\n## {title}\n")[1].split("\n#")[0]
    rows = [line for line in section.splitlines() if line.startswith("|") and not line.startswith("|---")]
    return [row.split("|")[1].strip().strip("`") for row in rows]


def check_help_panel(page, out):
    body = page.driver.find_element("tag name", "body")
    assert not help_is_open(page), "the help is open at start"
    body.send_keys(Keys.F1)
    page.wait_for(lambda: help_is_open(page), 5, "F1 to open the help")
    shown = page.js("return Array.from(document.querySelectorAll('#help-memory-map tr > :first-child'), c => c.textContent)")
    assert shown == readme_table_first_cells("Memory map"), shown
    assert "1803  32 00 19   LD   (1900h),A" in page.text_of("help-a-worked-example")
    assert page.js("return document.querySelectorAll('#help-keys tr').length") > 20
    assert page.js("return document.querySelectorAll('#help #shortcuts tbody tr').length") > 10
    page.screenshot(out / "web-help.png")
    body.send_keys(Keys.ESCAPE)
    page.wait_for(lambda: not help_is_open(page), 5, "Escape to close the help")
    page.click("help-button")
    page.wait_for(lambda: help_is_open(page), 5, "? to open the help")
    page.click("help-close")
    assert not help_is_open(page)


def run_state(page):
    return page.text_of("run-state")


def set_register(page, name, value):
    page.js("const s = document.getElementById('register-name'); s.value = arguments[0]", name)
    page.type_into("register-value", value)
    page.driver.find_element("id", "register-value").send_keys("\n")


def register(page, name):
    return page.js("return Tarvo.page.core.registers()[arguments[0]]", name)


def step_over_until(page, state):
    page.click("step-over")
    page.wait_for(lambda: run_state(page) == state, 5, state)


def check_cpu_panel_tools(page, out):
    program = out / "step-over.hex"
    code = bytearray(0x32)
    code[0x00:0x0D] = [0x06, 0x03,  # 1A00 LD B,3
                       0xCD, 0x10, 0x1A,  # 1A02 CALL 1A10h
                       0x10, 0xFE,  # 1A05 DJNZ $
                       0xFF,  # 1A07 RST 38h, through the vector to 1A20h
                       0xCD, 0x30, 0x1A,  # 1A08 CALL 1A30h, which never returns
                       0x18, 0xFE]  # 1A0B JR $
    code[0x10:0x13] = [0x3E, 0x07, 0xC9]  # 1A10 LD A,7 / RET
    code[0x20] = 0xC9  # 1A20 RET
    code[0x30:0x32] = [0x18, 0xFE]  # 1A30 JR $
    program.write_text(hex_file(bytes(code), 0x1A00))
    page.give_file("hex-input", program)
    page.wait_for(lambda: page.message() == "Loaded step-over.hex: 50 bytes, 1A00h to 1A31h.", 5, "the program to load")
    page.js("Tarvo.page.core.writeByte(0x27FE, 0x20); Tarvo.page.core.writeByte(0x27FF, 0x1A)")

    set_register(page, "PC", "1A00")  # refused while running
    page.wait_for(lambda: page.message().startswith("Pause the run first"), 5, "the refusal while running")
    page.click("pause")
    set_register(page, "PC", "1A00")
    page.js("document.querySelector('#registers td[data-register=SP]').click()")
    assert page.js("return document.getElementById('register-name').value") == "SP"
    set_register(page, "SP", "2780")
    set_register(page, "IM", "3")
    page.wait_for(lambda: "is not a hexadecimal value from 0 to 2" in page.message(), 5, "the bad IM")
    assert (register(page, "PC"), register(page, "SP")) == (0x1A00, 0x2780)
    assert page.js("return document.querySelector('#disassembly tr.current').dataset.address") == "1A00"

    page.click("step")
    step_over_until(page, "Paused at 1A05h")  # the CALL
    assert (register(page, "AF") >> 8, register(page, "SP")) == (7, 0x2780)
    step_over_until(page, "Paused at 1A07h")  # DJNZ, round three times
    assert register(page, "BC") >> 8 == 0
    step_over_until(page, "Paused at 1A08h")  # RST 38h
    assert register(page, "SP") == 0x2780
    page.click("step-over")  # into a routine that never returns: it runs until Pause
    time.sleep(0.5)
    assert run_state(page) == "Stepping over: running until 1A0Bh (Pause stops it)", run_state(page)
    page.click("pause")
    assert run_state(page) == "Paused at 1A30h", run_state(page)

    set_register(page, "PC", "1A02")
    page.js("Tarvo.page.cpu.toggleBreakpoint(0x1A12)")
    step_over_until(page, "Paused at 1A12h")  # a breakpoint inside stops it
    page.js("Tarvo.page.cpu.toggleBreakpoint(0x1A12)")

    page.type_into("disassembly-address", "66")
    page.driver.find_element("id", "disassembly-address").send_keys("\n")
    first = lambda: page.js("const r = document.querySelector('#disassembly tr'); return [r.dataset.address, r.cells[3].textContent]")
    page.wait_for(lambda: first() == ["0066", "PUSH AF"], 5, "the disassembly from 0066h")
    page.screenshot(out / "web-step-over.png")
    page.click("disassembly-pc")
    assert first()[0] == "1A12", first()
    page.js("document.querySelector('#flags [data-flag=C]').click()")
    carry = register(page, "AF") & 1
    page.js("document.querySelector('#flags [data-flag=C]').click()")
    assert register(page, "AF") & 1 == 1 - carry, "a click on C flips it back"
    page.click("run")


def check_monitor_view(page, out):
    program = out / "moni.hex"
    # LD SP,2700h / LD BC,1234h / LD A,42h / JR $
    program.write_text(hex_file(bytes([0x31, 0x00, 0x27, 0x01, 0x34, 0x12, 0x3E, 0x42, 0x18, 0xFE]), 0x1B00))
    page.give_file("hex-input", program)
    page.wait_for(lambda: page.message() == "Loaded moni.hex: 10 bytes, 1B00h to 1B09h.", 5, "the program to load")
    page.press("MONI")
    time.sleep(0.3)
    page.press("ADDR", "1", "B", "0", "0", "GO")
    page.wait_for(lambda: register(page, "PC") == 0x1B08, 5, "the program to run")
    page.wait_for(lambda: page.js("return document.getElementById('saved-view').hidden"), 5,
                  "the saved registers to go while the program runs")
    page.press("MONI")
    saved = lambda name: page.js("const c = document.querySelector('#saved-registers td[data-saved=\"' + arguments[0] + '\"]');"
                                 "return c && !document.getElementById('saved-view').hidden ? c.textContent : null", name)
    page.wait_for(lambda: saved("PC") == "1B08", 5, "the saved PC beside the registers")
    shown = (saved("BC"), saved("AF")[:2], saved("SP"))
    assert shown == ("1234", "42", "2700"), shown
    page.js("Tarvo.page.cpu.toggleBreakpoint(0x06E8)")
    page.wait_for(lambda: run_state(page) == "Paused at 06E8h: in the monitor, waiting for a key", 5,
                  "the pause in the key loop")
    page.screenshot(out / "web-monitor.png")
    page.js("Tarvo.page.cpu.toggleBreakpoint(0x06E8)")
    page.click("run")


def box(page, element_id):
    return page.js("const r = document.getElementById(arguments[0]).getBoundingClientRect();"
                   "return {top: r.top, bottom: r.bottom, width: r.width, height: r.height}", element_id)


def lit_run(page, segment):
    """Lit canvas pixels along the row through the middle of a segment's rectangle."""
    y = (segment["top"] + segment["bottom"]) // 2
    row = page.js("return Array.from(document.getElementById('board').getContext('2d')"
                  ".getImageData(arguments[0], arguments[1], arguments[2], 1).data)",
                  segment["left"] - 2, y, segment["right"] - segment["left"] + 5)
    return sum(1 for i in range(0, len(row), 4) if tuple(row[i:i + 3]) == LIT)


def check_layout_phone_and_desktop(page, out):
    # Desktop: the rate's line stays when the run stops, so the file buttons stay put.
    file_top = lambda: page.js("return document.getElementById('file-panel').getBoundingClientRect().top + scrollY")
    page.wait_for(lambda: page.text_of("rate") != "", 5, "the measured rate")
    running = file_top()
    rate = box(page, "rate")
    line = page.js("return parseFloat(getComputedStyle(document.getElementById('rate')).lineHeight)")
    assert rate["height"] < 1.5 * line, f"the rate wraps: {rate} against lines of {line}px"
    page.click("pause")
    time.sleep(0.3)  # the rate goes at the next frame
    assert file_top() == running, f"the file buttons moved from {running} to {file_top()} on Pause"
    page.click("run")
    # The display's points as bold as its strokes (address mode lights the address's points).
    page.press("ADDR")
    page.wait_display(lambda text: text.count(".") == 4, 5)
    segments = page.js("return Tarvo.page.core.segments()")
    lit = lambda bits: next(s for s in segments if s["lit"] and s["bit"] in bits)
    stroke, point = lit_run(page, lit((0x01, 0x04, 0x10, 0x20))), lit_run(page, lit((0x40,)))  # e f b c, the point
    assert stroke >= 3 and point >= stroke, f"a lit point is {point} pixels wide, a segment's stroke {stroke}"
    page.screenshot(out / "web-desktop.png")

    driver = page.driver
    driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", PHONE)
    driver.execute_cdp_cmd("Emulation.setTouchEmulationEnabled", {"enabled": True, "maxTouchPoints": 5})
    try:
        time.sleep(0.5)
        sideways = page.js("const p = document.getElementById('cpu-panel'), d = document.documentElement;"
                           "return [d.scrollWidth, d.clientWidth, p.scrollWidth, p.clientWidth]")
        assert sideways[0] <= sideways[1] and sideways[2] <= sideways[3], f"scrolls sideways: page, panel {sideways}"
        # Scrolled to the display, the run controls and the registers are in sight with it.
        canvas = box(page, "board")
        display_top = canvas["top"] + canvas["height"] * 405 / 738
        page.js("window.scrollBy(0, arguments[0])", display_top - 4)
        canvas, registers = box(page, "board"), box(page, "registers")
        height = page.js("return innerHeight")
        assert canvas["top"] + canvas["height"] * 473 / 738 <= height and box(page, "run")["top"] >= 0
        assert registers["bottom"] <= height, f"the registers end at {registers['bottom']} of {height}"
        page.screenshot(out / "web-phone.png")
        page.click("help-button")
        page.screenshot(out / "web-phone-help.png")
        page.click("help-close")
    finally:
        driver.execute_cdp_cmd("Emulation.setTouchEmulationEnabled", {"enabled": False})
        driver.execute_cdp_cmd("Emulation.clearDeviceMetricsOverride", {})
        page.js("window.scrollTo(0, 0)")


CHECKS = [check_help_panel, check_cpu_panel_tools, check_monitor_view, check_layout_phone_and_desktop]
