"""Checks of the page as a learner meets it: typed keys wait their turn and
none is lost, the focus comes back to the board, a press shows on its key,
the memory editor and loads follow the board, the range form reads only
hexadecimal, a bad HEX line is named, examples start themselves, long text is
refused, and Power off and on brings the board back. Each takes the page as
the checks before it in test_page.CHECKS leave it."""

from selenium.webdriver.common.keys import Keys
from selenium.webdriver.support.ui import Select


def status(page):
    """The line over the board, or '' while it is hidden."""
    return page.js("const s = document.getElementById('board-status'); return s.hidden ? '' : s.textContent")


def typed(page, keys):
    """Keys sent to whatever has the focus, one right after the other."""
    page.driver.switch_to.active_element.send_keys(keys)


def focused(page):
    return page.js("return document.activeElement.id")


def ram(page, start, count):
    return page.js("return Array.from({length: arguments[1]}, (_, i) => Tarvo.page.core.readByte(arguments[0] + i))",
                   start, count)


def drop_file(page, name, data_js):
    """A file dropped on the page; data_js is a script expression giving its bytes."""
    page.js(f"""const t = new DataTransfer();
        t.items.add(new File([{data_js}], arguments[0]));
        document.body.dispatchEvent(new DragEvent('drop', {{dataTransfer: t, bubbles: true, cancelable: true}}))""", name)


def poke(page, address, value):
    page.type_into("poke-address", address)
    page.type_into("poke-value", value)
    page.driver.find_element("id", "poke-value").send_keys("\n")


def check_typed_keys_wait_their_turn(page, out):
    # Five keys of five keypad rows typed at once: each reaches the monitor in its turn.
    page.driver.find_element("tag name", "body").send_keys("x1234")
    page.wait_display(lambda text: text.replace(".", "").startswith("1234"), 5)
    # Typed while paused, they wait and the board says so; Run delivers them in order.
    program = ram(page, 0x1800, 16)
    page.click("pause")
    shown = page.display()
    typed(page, "x1900")
    page.wait_for(lambda: "5 keys waiting" in status(page), 5, "the waiting keys on the board")
    assert status(page).startswith("Paused at "), status(page)
    page.screenshot(out / "web-paused.png")
    assert page.display() == shown, "a key reached the board while paused"
    page.click("run")
    page.wait_display(f"1.9.0.0.{page.js('return Tarvo.page.core.readByte(0x1900)'):02X}", 5)
    page.wait_for(lambda: status(page) == "", 5, "the status line to go")
    assert ram(page, 0x1800, 16) == program, "typing while paused changed the program"


def check_a_press_shows_on_its_key(page, out):
    x, y = page.key_centre("+")
    pixel = f"Array.from(document.getElementById('board').getContext('2d').getImageData({x}, {y}, 1, 1).data.slice(0, 3))"
    before = page.js("return " + pixel)
    presses = {
        "shortcut": "document.dispatchEvent(new KeyboardEvent('keydown', {key: '+', bubbles: true}))",
        "click": f"""const c = document.getElementById('board'), r = c.getBoundingClientRect();
            c.dispatchEvent(new PointerEvent('pointerdown', {{pointerType: 'mouse', button: 0, bubbles: true,
                cancelable: true, clientX: r.left + {x} * r.width / 540, clientY: r.top + {y} * r.height / 738}}))""",
    }
    for how, script in presses.items():
        darkened = page.js(script + "; return " + pixel)
        assert sum(darkened) < 0.7 * sum(before), f"{how}: the key reads {darkened}, it was {before}"
        page.wait_for(lambda: page.js("return " + pixel) == before, 2, f"the key to look as before after a {how}")
    page.wait_display(lambda text: text.replace(".", "").startswith("1902"), 5)
    page.press("\u2212", "\u2212")


def check_focus_comes_back_to_the_board(page, out):
    field = page.driver.find_element("id", "breakpoint-address")
    field.click()
    page.press("ADDR")  # a click on the board takes the focus from the field
    assert focused(page) == "board", focused(page)
    typed(page, "1801")
    page.wait_display(lambda text: text.replace(".", "").startswith("1801"), 5)
    assert field.get_attribute("value") == "", field.get_attribute("value")
    Select(page.driver.find_element("id", "speed")).select_by_value("8000000")
    typed(page, "-")  # the speed list keeps no keys
    page.wait_display(lambda text: text.replace(".", "").startswith("1800"), 5)
    Select(page.driver.find_element("id", "speed")).select_by_value("2000000")
    page.driver.find_element("id", "poke-value").click()
    typed(page, Keys.ESCAPE)
    assert focused(page) == "board", f"Escape left the focus on {focused(page)!r}"
    # Help opened with the mouse: closed either way, the focus is the board's, not "?"'s.
    for close in (lambda: page.click("help-close"), lambda: typed(page, Keys.ESCAPE)):
        page.click("help-button")
        close()
        assert focused(page) == "board", f"closing the help left the focus on {focused(page)!r}"


def check_bad_hex_line_is_named(page, out):
    bad = out / "bad.hex"
    bad.write_text(":0300300002337A1E\n:0300300002337A1F\n")
    page.give_file("hex-input", bad)
    page.wait_for(lambda: "bad.hex:2: checksum mismatch (the line gives 1F, its bytes need 1E); the records before "
                          "line 2 were loaded." in page.message(), 5, "the bad line's message")


def check_memory_editor_follows_the_board(page, out):
    rom = page.js("return Tarvo.page.core.readByte(0)")
    poke(page, "0000", "18")
    page.wait_for(lambda: page.message().startswith("Nothing written: 0000h is in the monitor ROM"), 5, "ROM refused")
    page.screenshot(out / "web-rom-refused.png")
    assert page.js("return Tarvo.page.core.readByte(0)") == rom
    poke(page, "3000", "AA")
    page.wait_for(lambda: page.message() == "Nothing written: 3000h is not in the board's memory: "
                                           "the CPU reads FFh there.", 5, "the unmapped address refused")
    assert page.js("return Tarvo.page.core.storedByte(0x3000)") == 0
    page.screenshot(out / "web-memory-refused.png")


def check_loads_say_what_they_did(page, out):
    # Bytes loaded where the CPU reads FFh: the message warns, the view shows them greyed, a save agrees.
    drop_file(page, "hidden.bin", "new Uint8Array([0xA1, 0xA2, 0xA3, 0xA4])")
    page.answer_range("3000h", "3004")
    page.wait_for(lambda: page.message().startswith("Loaded hidden.bin: 4 bytes at 3000h-3003h. Warning: 4 bytes went "
                                                    "where the board has no memory (0801h-17FFh and 2800h-FFFFh)"),
                  5, "the load's warning")
    assert page.js("return Tarvo.page.core.readByte(0x3000)") == 0xFF
    page.type_into("memory-address", "3000")
    page.driver.find_element("id", "memory-address").send_keys("\n")
    cell = "document.querySelector('#memory td[data-address=\"3001\"]')"
    page.wait_for(lambda: page.js(f"return {cell}.textContent") == "A2", 5, "the stored byte in the view")
    assert page.js(f"return [{cell}.classList.contains('unmapped'), {cell}.title]") == [True, "the CPU reads FFh here"]
    page.screenshot(out / "web-hidden-bytes.png")
    page.click("save-binary")
    page.answer_range("3000", "3004")
    saved = page.downloaded(out, "tarvo-3000-3004.bin")
    assert saved == bytes([0xA1, 0xA2, 0xA3, 0xA4]), saved
    # The range form opens with the last range and reads only hexadecimal.
    page.click("save-hex")
    page.wait_for(lambda: page.js("return !document.getElementById('range-overlay').hidden"), 5, "the range form")
    assert page.js("return [document.getElementById('range-from').value, document.getElementById('range-to').value]") \
        == ["3000", "3004"]
    page.type_into("range-from", "l800")
    page.click("range-ok")
    page.wait_for(lambda: "From \u201cl800\u201d has \u201cl\u201d at position 1" in page.message(), 5, "l800 refused")
    assert not (out / "downloads" / "tarvo-0000-3004.hex").exists()


def check_long_text_is_refused(page, out):
    assert page.js("return document.getElementById('range-from').maxLength") == 127
    rom = page.js("return Array.from({length: 0x800}, (_, i) => Tarvo.page.core.readByte(i)).join()")
    program = ram(page, 0x1800, 0x100)
    page.click("save-binary")
    page.wait_for(lambda: page.js("return !document.getElementById('range-overlay').hidden"), 5, "the range form")
    page.js("document.getElementById('range-from').value = '1'.repeat(1400000)")  # as a paste past maxlength would
    page.type_into("range-to", "1900")
    page.click("range-ok")
    page.wait_for(lambda: "From is 1,400,000 characters long; it takes at most 127." in page.message(), 5,
                  "the length refused")
    assert page.js("return Array.from({length: 0x800}, (_, i) => Tarvo.page.core.readByte(i)).join()") == rom
    assert ram(page, 0x1800, 0x100) == program
    sp = page.js("return Tarvo.page.core.registers().SP")
    assert 0x2700 <= sp <= 0x2800, f"SP is {sp:04X}h"
    page.press("MONI", "ADDR", "1", "8", "0", "3")  # the page goes on
    page.wait_display(lambda text: text.replace(".", "").startswith("1803"), 5)


def check_examples_start_themselves(page, out):
    example = "//ul[@id='examples']//button[text()='{}']"
    page.driver.find_element("xpath", example.format("counter.asm")).click()
    first = page.wait_display(lambda text: text[:1] != "1" and text.endswith("  "), 10)  # counting
    page.wait_display(lambda text: text != first and text.endswith("  "), 10)
    page.driver.find_element("xpath", example.format("echo.asm")).click()  # while the counter runs
    page.wait_display("------", 10)
    assert page.message() == "Assembled echo.asm after RESET, and typed ADDR 1 8 0 0 GO to start it.", page.message()
    assert page.js("return Tarvo.page.sources.text()").startswith("; echo.asm: keypad echo."), "not in the editor"
    assert focused(page) == "board", focused(page)
    page.js("document.getElementById('message').textContent = ''")
    typed(page, Keys.ENTER)  # GO for the board (echo ignores it), not the button again
    typed(page, "12")
    page.wait_display("----12", 5)
    assert page.message() == "", page.message()


def check_power_off_and_on(page, out):
    page.js("Tarvo.page.cpu.toggleBreakpoint(0x1A00)")
    big = 71680  # 70 KB at 1800h: more than fits, over the monitor's RAM and where nothing is
    drop_file(page, "big.bin", f"new Uint8Array({big}).fill(0xCC)")
    page.answer_range("1800", "FFFF")
    page.wait_for(lambda: page.message().startswith("Loaded big.bin"), 5, "the big load")
    message = page.message()
    for part in ("59391 bytes at 1800h-FFFEh; dropped the file's last 12289 bytes: the range stops before FFFFh (To).",
                 "128 bytes went into the monitor's working area (2780h-27FFh)",
                 "55295 bytes went where the board has no memory"):
        assert part in message, f"{part!r} is not in {message!r}"
    page.click("pause")
    typed(page, "x18")
    typed(page, Keys.F7)  # MONI acts at once and drops the keys typed for what it breaks off
    page.wait_for(lambda: page.message() == "MONI dropped 3 waiting keys.", 5, "MONI's message")
    assert page.js("return Tarvo.page.core.keysWaiting()") == 0
    typed(page, "x18")
    page.click("power-cycle")
    assert page.text_of("power-question").startswith("RAM holds a program."), page.text_of("power-question")
    typed(page, Keys.ESCAPE)  # Cancel loses nothing
    page.wait_for(lambda: page.message() == "Power off and on: cancelled; the board is as it was.", 5, "the cancel")
    assert ram(page, 0x1800, 4) == [0xCC] * 4
    page.click("power-cycle")
    page.screenshot(out / "web-power-question.png")
    page.click("power-ok")
    page.wait_display("1.8.0.0.00", 10)  # the monitor works again, over empty RAM
    assert ram(page, 0x1800, 0xF80) == [0] * 0xF80  # up to the monitor's own RAM
    assert page.js("return [Tarvo.page.core.keysWaiting(), Tarvo.page.pacer.paused]") == [0, False]
    assert page.driver.title == "Tarvo Emulator 1.01", page.driver.title
    assert page.text_of("breakpoints").startswith("1A00h"), page.text_of("breakpoints")
    page.click("power-cycle")  # RAM is empty now: no question
    page.wait_for(lambda: page.message().startswith("Power off and on: the board starts afresh"), 5, "no question")
    page.js("Tarvo.page.cpu.toggleBreakpoint(0x1A00)")
