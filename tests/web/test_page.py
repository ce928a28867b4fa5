#!/usr/bin/python3
"""The web page in headless Chromium, used as a person would use it.

    test_page.py SITE_DIR OUT_DIR

Serves SITE_DIR on a free local port, opens it in headless Chromium and goes
through the page: the greeting and address mode, keypad clicks read back from
the canvas pixels, an example loaded through the file input and run, the CPU
panel (registers, disassembly against memory, Step, a breakpoint), Save HEX as a
download, the messages for a bad file and a bad range, the checks of
source_checks.py (the source editor, Assemble, source-level stepping), of
keys_and_files_checks.py (typed keys, focus, the pressed key, the memory
editor, loads, examples, long text, Power off and on) and of learner_checks.py
(help, the CPU panel's tools, phone and desktop layout), of history_checks.py
(the stopwatch, Step back, who last wrote, watchpoints, Run back), of
exercise_checks.py (the shipped exercises checked in the page, the exercise
panel on a phone), of state_checks.py (Save state, Load state, the autosave
across a reload), and a
console without errors at the end. Screenshots go to OUT_DIR. Exits 1 at
the first failed check.
"""
import shutil
import sys
import time
import traceback
from pathlib import Path

try:
    from page_driver import Page, hex_file, serve, start_chromium
    import keys_and_files_checks as keys_files
    from learner_checks import CHECKS as LEARNER_CHECKS
    import history_checks as history
    from exercise_checks import CHECKS as EXERCISE_CHECKS
    from link_checks import check_a_new_version_comes_whole_on_reload, check_share_links_and_offline
    from state_checks import check_state_file_and_autosave
    from source_checks import check_source_breakpoint_and_steps, check_source_typed_assembled_and_wrong
except ImportError as missing:  # python3-selenium is not installed
    print(f"web-test: SKIPPED: {missing} (tools/install-deps.sh test installs python3-selenium)")
    sys.exit(0)

SOURCE = Path(__file__).resolve().parents[2]
ADDRESS_MODE = "1.8.0.0.00"


def hex_file_bytes(path):
    """address -> byte of the data records of an Intel HEX file."""
    memory = {}
    for line in Path(path).read_text().split():
        count, address, kind = int(line[1:3], 16), int(line[3:7], 16), int(line[7:9], 16)
        if kind == 0:
            for i in range(count):
                memory[address + i] = int(line[9 + 2 * i:11 + 2 * i], 16)
    return memory


def check_greeting_then_address_mode(page, out):
    page.wait_display(lambda text: text.replace(".", "").startswith("tAru"), 5)
    page.screenshot(out / "web-greeting.png")
    page.wait_display(ADDRESS_MODE, 10)


def check_page_weight(page, out):
    loaded = page.js("""return performance.getEntriesByType('navigation').concat(performance.getEntriesByType('resource'))
        .map(e => [e.name, e.decodedBodySize])""")
    total = sum(size for _, size in loaded)
    empty = [name for name, size in loaded if size == 0]
    assert not empty, f"files loaded empty: {empty}"
    assert total < 1_000_000, f"the page loads {total} bytes: {loaded}"
    print(f"  the page loaded {total:,} bytes in {len(loaded)} files")


def check_keypad_clicks(page, out):
    page.press("ADDR", "1", "8", "0", "0", "DATA", "3", "E")
    page.wait_display(lambda text: text.replace(".", "") == "18003E" and text.endswith("3.E."), 5)
    page.screenshot(out / "web-keypad.png")


def check_keyboard_and_touch(page, out):
    body = page.driver.find_element("tag name", "body")
    for key in "x1801":  # one at a time, as a person types: the monitor scans between them
        body.send_keys(key)
        time.sleep(0.15)
    page.wait_display(lambda text: text.replace(".", "").startswith("1801"), 5)
    page.tap("+")  # a finger presses once, on lifting
    page.wait_display(lambda text: text.replace(".", "").startswith("1802"), 5)
    time.sleep(0.3)
    assert page.display().replace(".", "").startswith("1802"), page.display()


def check_bad_file(page, out):
    bad = out / "not-a-hex-file.hex"
    bad.write_text(":10180000FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF8\nhello\n")
    before = page.js("return Tarvo.page.core.readByte(0x1810)")
    page.give_file("hex-input", bad)
    page.wait_for(lambda: "not a valid Intel HEX file" in page.message(), 5, "the bad-file message")
    assert page.js("return Tarvo.page.core.readByte(0x1810)") == before, "the bad file changed memory"


def check_counter_runs(page, out):
    counter = SOURCE / "examples" / "counter.hex"
    page.give_file("hex-input", counter)
    page.wait_for(lambda: page.message() == "Loaded counter.hex: 93 bytes, 1800h to 185Ch.", 5, "the load message")
    assert page.driver.title == "counter.hex - Tarvo Emulator", page.driver.title
    for address, byte in hex_file_bytes(counter).items():
        assert page.js("return Tarvo.page.core.readByte(arguments[0])", address) == byte, f"byte at {address:04X}h"
    page.press("RESET")
    page.wait_display("1.8.0.0.31", 10)  # after the greeting, address mode shows the loaded 31h
    page.js("document.getElementById('speed').value = 'max';"
            "document.getElementById('speed').dispatchEvent(new Event('change'))")
    page.press("ADDR", "1", "8", "0", "0", "GO")
    first = page.wait_display(lambda text: text[:1] != "1" and text.endswith("  "), 5)
    page.wait_display(lambda text: text != first and text.endswith("  "), 10)
    page.screenshot(out / "web-counter.png")


def disassembly_rows(page):
    return page.js("""return Array.from(document.querySelectorAll('#disassembly tr')).map(r =>
        ({address: r.dataset.address, current: r.classList.contains('current'),
          bytes: r.cells[2].textContent, text: r.cells[3].textContent}))""")


def check_cpu_panel_breakpoint_and_step(page, out):
    counter = hex_file_bytes(SOURCE / "examples" / "counter.hex")
    page.type_into("breakpoint-address", "1800")
    page.click("breakpoint-form")  # focus only; the form is sent with Enter
    page.driver.find_element("id", "breakpoint-address").send_keys("\n")
    page.press("MONI")
    page.wait_display(lambda text: True, 1)
    page.press("ADDR", "1", "8", "0", "0", "GO")
    page.wait_for(lambda: page.text_of("run-state") == "Paused at 1800h", 5, "the stop at the breakpoint")
    registers = page.js("""const r = {}; document.querySelectorAll('#registers td').forEach(
        c => r[c.dataset.register] = c.textContent); return r""")
    assert registers["PC"] == "1800", registers
    for name in ("AF", "BC", "DE", "HL", "AF'", "BC'", "DE'", "HL'", "IX", "IY", "SP", "I", "R", "IFF1", "IFF2", "IM"):
        assert name in registers, f"no register {name}"
    assert [f.split("=")[0] for f in page.text_of("flags").split()] == ["S", "Z", "Y", "H", "X", "P/V", "N", "C"]
    rows = disassembly_rows(page)
    assert len(rows) == 16 and rows[0]["current"] and rows[0]["address"] == "1800", rows[0]
    assert rows[0]["text"] == "LD SP,2780h", rows[0]
    address = 0x1800
    for row in rows[:6]:  # the program's own bytes, as loaded from the file
        assert int(row["address"], 16) == address, row
        shown = [int(b, 16) for b in row["bytes"].split()]
        assert shown == [counter[address + i] for i in range(len(shown))], row
        address += len(shown)
    page.screenshot(out / "web-breakpoint.png")
    page.click("step")
    page.wait_for(lambda: page.text_of("run-state") == "Paused at 1803h", 5, "PC 1803h after Step")
    sp = page.js("return document.querySelector('#registers td[data-register=SP]').textContent")
    assert sp == "2780", f"SP is {sp} after LD SP,2780h"
    assert disassembly_rows(page)[0]["address"] == "1803"
    page.driver.find_element("xpath", "//ul[@id='breakpoints']/li[starts-with(., '1800h')]/button").click()
    assert page.text_of("breakpoints") == "", page.text_of("breakpoints")
    page.click("run")
    page.wait_display(lambda text: text[:1] != "1" and text.endswith("  "), 5)


def check_save_hex(page, out):
    downloads = out / "downloads"
    page.click("save-hex")
    page.answer_range("1800", "1807")
    saved = downloads / "tarvo-1800-1807.hex"
    page.wait_for(saved.exists, 10, f"{saved}")
    time.sleep(0.3)
    wanted = bytes(hex_file_bytes(SOURCE / "examples" / "counter.hex")[0x1800 + i] for i in range(8))
    body = "08180000" + wanted.hex().upper()
    checksum = (-sum(bytes.fromhex(body))) & 0xFF
    expected = f":{body}{checksum:02X}\r\n:00000001FF\r\n".encode()
    assert saved.read_bytes() == expected, f"{saved.read_bytes()!r} is not {expected!r}"


def check_bad_ranges(page, out):
    downloads = sorted((out / "downloads").iterdir())
    for from_text, to_text in (("1900", "1800"), ("0", "10000")):
        page.click("save-hex")
        page.answer_range(from_text, to_text)
        page.wait_for(lambda: page.message().startswith("Bad address range"), 5, "the bad-range message")
        page.js("document.getElementById('message').textContent = ''")
    page.press("TAPE WR")  # the keypad's save: the same form, and Cancel
    page.wait_for(lambda: page.text_of("range-caption") == "Save mem as Intel Hex", 5, "TAPE WR's range form")
    page.click("range-cancel")
    page.wait_for(lambda: page.message() == "Save mem as Intel Hex: cancelled.", 5, "the cancel message")
    page.click("save-hex")
    page.answer_range("1800", "0")
    page.wait_for(lambda: "nothing was done" in page.message(), 5, "To 0 treated as Cancel")
    time.sleep(0.5)
    assert sorted((out / "downloads").iterdir()) == downloads, "a bad range saved a file"
    page.screenshot(out / "web-bad-range.png")


def check_binary_drop_and_save(page, out):
    # A file dropped on the page: not .hex, so binary, with the range asked first.
    page.js("""const t = new DataTransfer();
        t.items.add(new File([new Uint8Array([0x11, 0x22, 0x33, 0x44, 0x55, 0x66])], 'six.bin'));
        document.body.dispatchEvent(new DragEvent('drop', {dataTransfer: t, bubbles: true, cancelable: true}))""")
    page.answer_range("1900", "1904")  # From up to To - 1: four bytes
    page.wait_for(lambda: page.message().startswith("Loaded six.bin: 4 bytes at 1900h"), 5, "the binary load")
    loaded = page.js("return [0x18FF, 0x1900, 0x1901, 0x1902, 0x1903, 0x1904].map(Tarvo.page.core.readByte)")
    assert loaded == [0x00, 0x11, 0x22, 0x33, 0x44, 0x00], loaded
    page.click("save-binary")
    page.answer_range("18FF", "1903")
    saved = page.downloaded(out, "tarvo-18FF-1903.bin")
    assert saved == bytes([0x00, 0x11, 0x22, 0x33]), saved


def check_memory_view(page, out):
    page.type_into("memory-address", "1900")
    page.driver.find_element("id", "memory-address").send_keys("\n")
    page.wait_for(lambda: page.js("return document.querySelector('#memory td[data-address=\"1901\"]').textContent")
                  == "22", 5, "the memory view at 1900h")
    page.js("document.querySelector('#memory td[data-address=\"1903\"]').click()")
    assert page.js("return document.getElementById('poke-address').value") == "1903"
    page.type_into("poke-value", "A5")
    page.driver.find_element("id", "poke-value").send_keys("\n")
    page.wait_for(lambda: page.js("return Tarvo.page.core.readByte(0x1903)") == 0xA5, 5, "the edited byte")
    assert "1900  11 22 33 A5" in page.text_of("memory").replace("1900 ", "1900  "), page.text_of("memory")
    page.type_into("poke-value", "G1")
    page.driver.find_element("id", "poke-value").send_keys("\n")
    page.wait_for(lambda: "is not a hexadecimal byte" in page.message(), 5, "the bad-byte message")
    # Paused, so that SP cannot move between the two panels' refreshes.
    page.click("pause")
    page.js("const f = document.getElementById('memory-follow'); f.value = 'SP'; f.dispatchEvent(new Event('change'))")
    sp = lambda: page.js("return document.querySelector('#registers td[data-register=SP]').textContent")
    followed = lambda: page.js("return document.querySelector('#memory td.followed').dataset.address")
    page.wait_for(lambda: followed() == sp(), 5, "the memory view to follow SP")
    page.click("run")


def check_step_keeps_the_idle_pass(page, out):
    # LD A,0 / OUT (02h),A arms the single-step NMI; NOPs follow. Stepped one
    # instruction at a time from wherever the pass stands, the NMI must come
    # after as many instructions as in whole idle passes: 50 when the OUT was
    # the first of its pass, else 61 - k for the k-th.
    program = out / "arm-step-nmi.hex"
    program.write_text(hex_file(bytes([0x3E, 0x00, 0xD3, 0x02]) + bytes(64), 0x1A00))
    page.give_file("hex-input", program)
    page.wait_for(lambda: page.message() == "Loaded arm-step-nmi.hex: 68 bytes, 1A00h to 1A43h.", 5,
                  "the program to load")
    page.type_into("breakpoint-address", "1A02")
    page.driver.find_element("id", "breakpoint-address").send_keys("\n")
    page.press("MONI")
    time.sleep(0.3)
    page.press("ADDR", "1", "A", "0", "0", "GO")
    page.wait_for(lambda: page.text_of("run-state") == "Paused at 1A02h", 5, "the stop before the OUT")
    k = page.js("return Tarvo.page.core.forTest.passPosition()") + 1
    page.click("step")  # the OUT
    steps = 0
    while page.js("return Tarvo.page.core.registers().PC") != 0x0066:
        assert steps < 70, "no NMI after 70 steps"
        page.click("step")
        steps += 1
    assert steps == (50 if k == 1 else 61 - k), f"NMI after {steps} instructions; the OUT was number {k} of its pass"
    page.js("Tarvo.page.cpu.toggleBreakpoint(0x1A02)")
    page.click("run")


def check_example_list_and_intr(page, out):
    page.driver.find_element("xpath", "//ul[@id='examples']//button[text()='intcount.asm']").click()
    page.wait_for(lambda: page.message() == "Assembled intcount.asm after RESET, and typed ADDR 1 8 0 0 GO to start it.",
                  5, "the example to load")
    page.press("MONI")
    time.sleep(0.3)
    page.press("ADDR", "1", "8", "0", "0", "GO")
    page.wait_display("----00", 5)
    page.press("INTR")
    page.wait_display("----01", 5)
    page.press("INTR", "INTR")
    page.wait_display("----03", 5)


def check_no_console_errors(page, out):
    errors = page.console_errors()
    assert not errors, f"the console shows errors: {errors}"


CHECKS = [check_greeting_then_address_mode, check_page_weight, check_keypad_clicks, check_keyboard_and_touch,
          keys_files.check_typed_keys_wait_their_turn, keys_files.check_a_press_shows_on_its_key,
          keys_files.check_focus_comes_back_to_the_board, check_bad_file, keys_files.check_bad_hex_line_is_named,
          check_counter_runs, check_cpu_panel_breakpoint_and_step, check_save_hex, check_bad_ranges,
          check_binary_drop_and_save, check_memory_view, keys_files.check_memory_editor_follows_the_board,
          keys_files.check_loads_say_what_they_did, keys_files.check_long_text_is_refused,
          check_step_keeps_the_idle_pass, keys_files.check_power_off_and_on,
          # The source checks open the editor empty; the examples then open in it. Before the layout
          # checks, so that the phone's layout is checked with the editor open.
          check_source_typed_assembled_and_wrong, check_source_breakpoint_and_steps,
          keys_files.check_examples_start_themselves, check_example_list_and_intr,
          history.check_time_step_back_and_watchpoints] + EXERCISE_CHECKS + LEARNER_CHECKS + [
          check_state_file_and_autosave, check_share_links_and_offline, check_a_new_version_comes_whole_on_reload,
          check_no_console_errors]


def main():
    site, out = Path(sys.argv[1]), Path(sys.argv[2]).resolve()
    if shutil.which("chromium") is None or shutil.which("chromedriver") is None:
        print("web-test: SKIPPED: chromium and chromium-driver are not installed (tools/install-deps.sh test)")
        return 0
    downloads = out / "downloads"
    shutil.rmtree(downloads, ignore_errors=True)
    downloads.mkdir(parents=True)
    server = serve(site)
    driver = start_chromium(downloads)
    try:
        page = Page(driver, f"http://127.0.0.1:{server.server_port}/index.html")
        page.site = site
        for check in CHECKS:
            try:
                check(page, out)
            except Exception:
                print(f"web-test: FAILED: {check.__name__}")
                traceback.print_exc(file=sys.stdout)
                page.screenshot(out / "web-failure.png")
                print(f"  message: {page.message()!r}; screenshot: {out / 'web-failure.png'}")
                return 1
            print(f"  ok {check.__name__}")
        print(f"web-test: all {len(CHECKS)} checks passed in Chromium; screenshots in {out}")
        return 0
    finally:
        driver.quit()
        server.shutdown()


if __name__ == "__main__":
    sys.exit(main())
