"""The page's state: Save state, Load state (a damaged file refused with nothing
changed), the autosave resuming the page after a reload, Start fresh, and a
failed write reported once."""
import time

SOURCE_TEXT = "; kept across a reload\n        ORG 1800h\nstart:  JR start\n"
STATE_MAGIC = b"TARVO\r\n\x1a"
# The byte at 2000h in the state the browser keeps, or null when it keeps none:
# memory starts after the header (16 bytes), CPU (12 + 34), TIME (12 + 8) and MEM's own 12.
KEPT_BYTE_2000 = """return new Promise((done) => { const r = indexedDB.open('tarvo');
    r.onsuccess = () => { const g = r.result.transaction('state').objectStore('state').get('latest');
        g.onsuccess = () => { done(g.result ? g.result.bytes[94 + 0x2000] : null); r.result.close(); }; }; })"""


def settings(page):
    return page.js("""const p = Tarvo.page;
        return {byte: p.core.readByte(0x2000), breakpoints: p.cpu.breakpoints.slice(),
                watches: p.watches.entries(), speed: document.getElementById('speed').value,
                stopwatch: p.time.zeroedAt(), source: p.sources.text(), name: p.sources.name}""")


def check_state_file_and_autosave(page, out):
    page.js("Tarvo.page.core.writeByte(0x2000, 0x5A)")
    page.js("Tarvo.page.cpu.toggleBreakpoint(0x2200)")
    page.js("Tarvo.page.watches.add('write', '2100-2101')")
    page.js("const s = document.getElementById('speed'); s.value = '8000000'; s.dispatchEvent(new Event('change'))")
    page.click("stopwatch-zero")
    page.js("return Tarvo.page.sources.openSource('kept.asm', arguments[0])", SOURCE_TEXT)
    page.wait_for(lambda: page.js("return Tarvo.page.sources.text()") == SOURCE_TEXT, 10, "the source in the editor")
    before = settings(page)
    assert before["watches"] == [{"kind": "write", "text": "2100-2101"}], before

    page.click("save-state")
    saved = page.downloaded(out, "tarvo-state.tarvo")
    assert saved[:8] == STATE_MAGIC and saved[8:12] == bytes([1, 0, 0, 0]), saved[:12]

    # A damaged copy is refused and changes nothing.
    damaged = bytearray(saved)
    damaged[len(damaged) // 3] ^= 0x01  # inside the memory part
    bad = out / "damaged.tarvo"
    bad.write_bytes(bytes(damaged))
    page.js("Tarvo.page.core.writeByte(0x2000, 0x11)")
    page.give_file("state-input", bad)
    page.wait_for(lambda: "fails its checksum" in page.message(), 5, "the damaged file's message")
    assert page.message().endswith("Nothing was changed."), page.message()
    assert page.js("return Tarvo.page.core.readByte(0x2000)") == 0x11
    page.give_file("state-input", out / "downloads" / "tarvo-state.tarvo")
    page.wait_for(lambda: page.message().startswith("Loaded the state of tarvo-state.tarvo"), 10, "the load")
    assert settings(page) == before, settings(page)

    # The autosave writes within two seconds; the reloaded page resumes from it.
    time.sleep(3)
    page.__init__(page.driver, page.driver.current_url)
    page.wait_for(lambda: page.js("return !document.getElementById('resume-line').hidden"), 10, "the resumed line")
    line = page.text_of("resume-text")
    assert line.startswith("Resumed where you left off (saved "), line
    page.wait_for(lambda: page.js("return Tarvo.page.sources.text()") == SOURCE_TEXT, 10, "the source back")
    after = settings(page)
    assert after == before and after["stopwatch"] is not None, (before, after)
    assert "2100h" in page.text_of("watchpoints") and "2200h" in page.text_of("breakpoints")
    page.screenshot(out / "web-resumed.png")

    assert page.js(KEPT_BYTE_2000) == 0x5A, "the browser does not keep the state"
    page.click("start-fresh")
    page.wait_for(lambda: page.js("return document.getElementById('resume-line').hidden"), 5, "the line to go")
    assert page.js("return Tarvo.page.core.readByte(0x2000)") == 0, "Start fresh left memory"
    # The kept state is gone: nothing, or (after the next write) the fresh board.
    page.wait_for(lambda: page.js(KEPT_BYTE_2000) in (None, 0), 5, "the kept state to go")
    page.js("Tarvo.page.cpu.toggleBreakpoint(0x2200)")
    page.js("Tarvo.page.watches.replaceAll([])")

    # A browser that refuses to keep anything: said once, not at every write.
    page.js("""window.keptIndexedDB = indexedDB;
        Object.defineProperty(window, 'indexedDB', {configurable: true, value: {open() {
            throw new DOMException('The quota has been exceeded.', 'QuotaExceededError'); }}});""")
    failed = "Your work cannot be kept in this browser (The quota has been exceeded.)"
    said = []
    try:
        page.js("document.getElementById('message').textContent = ''")
        for n in range(3):  # two writes of changes, then the autosave's own
            if n < 2:
                page.js("Tarvo.page.core.writeByte(0x2000, arguments[0]); return Tarvo.page.autosave.save()", n + 1)
            else:
                time.sleep(2.5)
            said.append(page.message())
            page.js("document.getElementById('message').textContent = ''")
        reports = [m for m in said if m]
        assert len(reports) == 1 and reports[0].startswith(failed), said
    finally:
        page.js("Object.defineProperty(window, 'indexedDB', {configurable: true, value: window.keptIndexedDB})")
