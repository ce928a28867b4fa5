"""Time and going back in the page: the stopwatch times a delay loop to the
T-state, Step back over a store brings back the old byte and the old
display, the memory view says who last wrote a byte, a watchpoint stops just
after the instruction that did it, and Run back finds the breakpoint before."""
import time

from selenium.webdriver.support.ui import Select

from page_driver import hex_file

# 1A00h LD B,10 (7) / DJNZ $ (9 x 13 + 8): 132 T-states to 1A04h, then the
# leftmost digit is selected, 08h stored at 1B00h and latched into it.
DELAY_AND_STORE = bytes([0x06, 0x0A, 0x10, 0xFE,        # 1A00h
                         0x3E, 0x60, 0xD3, 0x02,        # 1A04h LD A,60h / OUT (02h),A
                         0x3E, 0x08,                    # 1A08h LD A,08h
                         0x32, 0x00, 0x1B,              # 1A0Ah LD (1B00h),A
                         0xD3, 0x01,                    # 1A0Dh OUT (01h),A
                         0x18, 0xFE])                   # 1A0Fh JR $


def paused_at(page, address):
    page.wait_for(lambda: page.text_of("run-state") == f"Paused at {address}h", 5, f"the stop at {address}h")


def memory_cell(page, address):
    return page.js("return document.querySelector(`#memory td[data-address=\"${arguments[0]}\"]`).textContent", address)


def check_time_step_back_and_watchpoints(page, out):
    # Like the real board, so that the history reaches back past the start.
    Select(page.driver.find_element("id", "speed")).select_by_value("2000000")
    program = out / "delay-and-store.hex"
    program.write_text(hex_file(DELAY_AND_STORE, 0x1A00))
    page.give_file("hex-input", program)
    page.wait_for(lambda: page.message().startswith("Loaded delay-and-store.hex"), 5, "the program to load")
    page.js("Tarvo.page.core.writeByte(0x1B00, 0x55); Tarvo.page.cpu.toggleBreakpoint(0x1A00);"
            "Tarvo.page.cpu.toggleBreakpoint(0x1A04)")
    page.press("MONI")
    time.sleep(0.3)
    page.press("ADDR", "1", "A", "0", "0", "GO")
    paused_at(page, "1A00")
    page.click("stopwatch-zero")
    page.click("run")
    paused_at(page, "1A04")
    assert page.js("return Tarvo.page.time.elapsed()") == 132
    assert page.text_of("stopwatch") == "132 T-states = 66 \u00b5s = 0.066 ms", page.text_of("stopwatch")
    page.screenshot(out / "web-stopwatch.png")

    before = page.display()
    page.js("Tarvo.page.cpu.toggleBreakpoint(0x1A0F)")
    page.click("run")
    paused_at(page, "1A0F")
    page.type_into("memory-address", "1B00")
    page.driver.find_element("id", "memory-address").send_keys("\n")
    page.wait_for(lambda: memory_cell(page, "1B00") == "08", 5, "the stored byte")
    after = page.display()
    assert after != before, after
    page.click("step-back")  # over the OUT: the display as it was
    paused_at(page, "1A0D")
    page.wait_display(before, 2)
    page.click("step-back")  # over the store: the byte as it was
    paused_at(page, "1A0A")
    assert memory_cell(page, "1B00") == "55"
    page.screenshot(out / "web-step-back.png")
    page.js("document.querySelector('#memory td[data-address=\"1B00\"]').click()")
    assert page.text_of("last-write").startswith("1B00h was last changed from outside the CPU"), page.text_of("last-write")
    # A register edited before the store is an input: going back over the store keeps it.
    page.js("Tarvo.page.core.setRegister('DE', 0x1234)")
    page.click("step")
    paused_at(page, "1A0D")
    page.js("document.querySelector('#memory td[data-address=\"1B00\"]').click()")
    assert page.text_of("last-write") == "1B00h was last written by the instruction at 1A0Ah, 1 instruction ago."
    page.click("step-back")
    paused_at(page, "1A0A")
    assert page.js("return Tarvo.page.core.registers().DE") == 0x1234
    page.click("step")
    paused_at(page, "1A0D")

    # A watchpoint on the store: from two steps before it, Run stops just after it.
    page.type_into("watch-what", "1B0G")
    page.driver.find_element("id", "watch-what").send_keys("\n")
    page.wait_for(lambda: "is not an address from 0 to FFFF" in page.message(), 5, "the bad watchpoint's message")
    page.type_into("watch-what", "1B00")
    page.driver.find_element("id", "watch-what").send_keys("\n")
    page.wait_for(lambda: page.text_of("watchpoints").startswith("1: write 1B00h"), 5, "the watchpoint listed")
    page.click("step-back")
    page.click("step-back")
    paused_at(page, "1A08")
    page.click("run")
    paused_at(page, "1A0D")
    assert page.message() == ("Stopped by watchpoint 1 (write 1B00h): 1B00h written by the instruction at 1A0Ah. "
                              "Run goes on from here."), page.message()
    page.click("run-back")
    paused_at(page, "1A04")
    assert page.message() == "Ran back to the breakpoint at 1A04h.", page.message()
    assert memory_cell(page, "1B00") == "55" and page.display() == before

    page.driver.find_element("xpath", "//ul[@id='watchpoints']/li/button").click()
    for address in (0x1A00, 0x1A04, 0x1A0F):
        page.js("Tarvo.page.cpu.toggleBreakpoint(arguments[0])", address)
    page.click("run")
