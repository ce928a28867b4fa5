"""The page's source editor, used as a person would: a program typed into the
editor, Ctrl+Enter, its bytes read back on the board's display, a deliberate
error shown at its line, and a stop at a breakpoint set in the gutter with the
line marked, then Step and Step over line by line."""
import time

from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys

# Typed line by line; the editor keeps the indentation of the line above, so
# only the first line starts with a tab.
PROGRAM = ["\tORG 1800h", "start: LD A,12h", "LD B,3", "loop: CALL twice", "DJNZ loop", "JR start",
           "twice: ADD A,A", "RET"]
BYTES = [0x3E, 0x12, 0x06, 0x03, 0xCD, 0x0B, 0x18, 0x10, 0xFB, 0x18, 0xF5, 0x87, 0xC9]
LINE_OF = {0x1800: 2, 0x1804: 4, 0x1807: 5, 0x180B: 7, 0x180C: 8}


def editor_lines(page):
    return page.js("return Array.from(document.querySelectorAll('#editor .cm-line')).map(l => l.textContent)")


def press_ctrl_enter(page):
    ActionChains(page.driver).key_down(Keys.CONTROL).send_keys(Keys.ENTER).key_up(Keys.CONTROL).perform()


def cpu_line(page):
    """The number of the line the editor marks as the CPU's, or 0."""
    return page.js("""const lines = Array.from(document.querySelectorAll('#editor .cm-line'));
        return lines.findIndex(l => l.classList.contains('cm-cpu-line')) + 1""")


def click_stop_gutter(page, line):
    """A click in the breakpoint gutter beside the line."""
    gutter = page.driver.find_element(By.CSS_SELECTOR, "#editor .cm-stop-gutter")
    y = page.js("""const g = arguments[0].getBoundingClientRect();
        const l = document.querySelectorAll('#editor .cm-line')[arguments[1] - 1].getBoundingClientRect();
        return (l.top + l.bottom) / 2 - (g.top + g.bottom) / 2""", gutter, line)
    ActionChains(page.driver).move_to_element_with_offset(gutter, 0, round(y)).click().perform()


def check_source_typed_assembled_and_wrong(page, out):
    page.press("MONI")
    page.wait_display(lambda text: text.replace(".", "").startswith("18"), 5)
    before = page.display()
    page.click("open-editor")
    content = page.wait_for(lambda: page.driver.find_elements(By.CSS_SELECTOR, "#editor .cm-content"), 10,
                            "the editor to load")[0]
    content.click()
    for line in PROGRAM:
        content.send_keys(line + "\n")
    assert [t.strip() for t in editor_lines(page)[:8]] == [p.strip() for p in PROGRAM], editor_lines(page)
    time.sleep(0.3)
    assert page.display() == before, f"typing in the editor pressed board keys: {page.display()!r}, was {before!r}"
    assert page.js("return Tarvo.page.core.keysWaiting()") == 0, "typing in the editor queued board keys"
    press_ctrl_enter(page)
    page.wait_for(lambda: page.message().startswith("Assembled program.asm (0 errors, 0 warnings)"), 5,
                  "the assembly message")
    assert "begins at 1800h (the label start)" in page.message(), page.message()
    page.press("ADDR", "1", "8", "0", "0")
    page.wait_display(lambda text: text.replace(".", "") == "18003E", 5)
    page.press("+")
    page.wait_display(lambda text: text.replace(".", "") == "180112", 5)
    assert [page.js("return Tarvo.page.core.readByte(arguments[0])", 0x1800 + i) for i in range(len(BYTES))] == BYTES

    # A deliberate error on a new last line: marked in the gutter, said under the line and in the list.
    content.send_keys(Keys.CONTROL, Keys.END)
    content.send_keys("JP nowhere")
    press_ctrl_enter(page)
    page.wait_for(lambda: "1 error" in page.message(), 5, "the error message")
    marked = page.js("""return Array.from(document.querySelectorAll('#editor .cm-line'))
        .map((l, i) => l.classList.contains('cm-error-line') ? i + 1 : 0).filter(n => n)""")
    assert marked == [9], f"error lines marked: {marked}"
    assert page.driver.find_elements(By.CSS_SELECTOR, "#editor .cm-message-gutter .cm-error-mark"), "no gutter mark"
    under = page.js("return document.querySelector('#editor .cm-asm-error').textContent")
    assert "unknown name 'nowhere'" in under, under
    listed = page.text_of("asm-messages")
    assert listed.startswith("line 9 error: unknown name 'nowhere'"), listed
    page.js("document.getElementById('source-panel').scrollIntoView()")
    page.screenshot(out / "web-asm-error.png")
    page.driver.find_element(By.CSS_SELECTOR, "#asm-messages button").click()  # to the line, for fixing
    ActionChains(page.driver).key_down(Keys.CONTROL).send_keys("z").key_up(Keys.CONTROL).perform()
    assert "nowhere" not in "".join(editor_lines(page)), editor_lines(page)
    page.click("assemble")
    page.wait_for(lambda: page.message().startswith("Assembled"), 5, "the assembly after the undo")
    assert page.text_of("asm-messages") == ""


def check_source_breakpoint_and_steps(page, out):
    click_stop_gutter(page, LINE_OF[0x180B])
    assert page.js("return Tarvo.page.cpu.breakpoints") == [0x180B]
    page.click("run-from-start")
    page.wait_for(lambda: page.text_of("run-state") == "Paused at 180Bh", 10, "the stop at the gutter's breakpoint")
    page.wait_for(lambda: cpu_line(page) == LINE_OF[0x180B], 5, "the CPU's line marked")
    assert page.text_of("source-state") == "Paused at line 7 (180Bh)", page.text_of("source-state")
    page.js("document.getElementById('source-panel').scrollIntoView()")
    page.screenshot(out / "web-source-stop.png")
    page.click("source-step")
    page.wait_for(lambda: cpu_line(page) == LINE_OF[0x180C], 5, "Step to the RET")
    page.click("source-step")
    page.wait_for(lambda: cpu_line(page) == LINE_OF[0x1807], 5, "Step out of the RET to the DJNZ")
    page.click("source-step")
    page.wait_for(lambda: cpu_line(page) == LINE_OF[0x1804], 5, "Step back to the CALL")
    click_stop_gutter(page, LINE_OF[0x180B])  # cleared, so that Step over runs through it
    assert page.js("return Tarvo.page.cpu.breakpoints") == []
    page.click("source-step-over")
    page.wait_for(lambda: cpu_line(page) == LINE_OF[0x1807], 5, "Step over the CALL to the DJNZ")
    page.click("run")
