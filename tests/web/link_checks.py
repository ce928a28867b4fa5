"""Checks of share links and offline use: links made with Share open in a fresh
browser profile (another Chromium, another origin) as the same program; a
program too large for a link is refused; opening a link over unsaved work
asks first; after one visit the page starts with its server stopped; a page
open while the site changes keeps its version, and the next load gets the new
one whole."""
import random
import shutil
import subprocess
import sys
from pathlib import Path

from page_driver import Page, hex_file, serve, start_chromium
from selenium.webdriver.common.by import By

SOURCE = Path(__file__).resolve().parents[2]

SOURCE_TEXT = "; shared \u2713\n        ORG 1800h\nstart:  LD A,42h\nloop:   JR loop\n"
# JR $ at 1800h, data at 1900h (zeros inside it) and at 2000h: three ranges.
MEMORY = {0x1800: bytes([0x18, 0xFE]), 0x1900: bytes([0x11, 0x22, 0, 0, 0x33]), 0x2000: bytes([0xAA])}
RAM_PARTS = ((0x0800, 1), (0x1800, 0xF80))


def ram(page):
    return page.js("""return arguments[0].flatMap(([from, count]) =>
        Array.from({length: count}, (_, i) => Tarvo.page.core.storedByte(from + i)))""", RAM_PARTS)


def share(page):
    page.js("document.getElementById('message').textContent = ''")
    page.click("share")
    page.wait_for(lambda: page.message().startswith("Share:"), 5, "Share's message")
    return page.js("const box = document.getElementById('share-link'); return box.hidden ? null : box.value")


def open_fragment(page, link):
    page.js("location.hash = arguments[0]", link[link.index("#"):])


def make_links(page, out):
    """A source link, a memory link and the memory the second stands for."""
    page.js("return Tarvo.page.sources.openSource('shared.asm', arguments[0])", SOURCE_TEXT)
    source_link = share(page)
    assert "#1.p." in source_link and "a link to the source shared.asm" in page.message(), page.message()
    page.screenshot(out / "web-share-link.png")
    noise = random.Random(19)
    page.js("return Tarvo.page.sources.openSource('big.asm', arguments[0])",
            "".join(f"; {noise.getrandbits(64):016x}\n" for _ in range(600)))
    assert share(page) is None and "too large for a link" in page.message(), page.message()
    page.js("Tarvo.page.power.cycle(); return Tarvo.page.sources.openSource('empty.asm', '')")
    for address, data in MEMORY.items():
        page.js("Tarvo.page.files.loadHexBytes('part.hex', new TextEncoder().encode(arguments[0]))",
                hex_file(data, address))
    memory_link = share(page)
    assert "3 ranges of RAM" in page.message(), page.message()
    return source_link, memory_link, ram(page)


def check_share_links_and_offline(page, out):
    source_link, memory_link, memory = make_links(page, out)
    server = serve(page.site)
    fresh = start_chromium(out / "downloads-fresh")
    try:
        base = f"http://127.0.0.1:{server.server_port}/index.html"
        other = Page(fresh, base + source_link[source_link.index("#"):])
        other.wait_for(lambda: other.message() == "Assembled shared.asm after RESET, and typed ADDR 1 8 0 0 GO to start it.",
                       10, "the shared source to start")
        assert other.js("return Tarvo.page.sources.text()") == SOURCE_TEXT
        assert other.js("return location.hash") == "", "the link stays in the address after opening"
        other.wait_for(lambda: other.js("return Tarvo.page.core.registers().AF >> 8") == 0x42, 5, "the program to run")
        other.js("document.getElementById('source-panel').scrollIntoView({block: 'end'})")
        other.screenshot(out / "web-share-opened.png")

        other.js("Tarvo.page.sources.editor.setText('; my own work')")
        open_fragment(other, memory_link)
        other.wait_for(lambda: other.js("return !!document.querySelector('dialog.question[open]')"), 5, "the question")
        other.screenshot(out / "web-share-question.png")
        other.click("link-keep")
        other.wait_for(lambda: "was not opened" in other.message(), 5, "the kept work")
        assert other.js("return Tarvo.page.sources.text()") == "; my own work"
        open_fragment(other, memory_link)
        other.wait_for(lambda: other.js("return !!document.getElementById('link-open')"), 5, "the question again")
        other.click("link-open")
        other.wait_for(lambda: "typed ADDR 1 8 0 0 GO" in other.message(), 5, "the shared bytes to start")
        assert ram(other) == memory, "the bytes of the link differ from the shared RAM"
        other.wait_for(lambda: other.js("return Tarvo.page.core.registers().PC") == 0x1800, 5, "JR $ to run")

        for fragment, says in (("#2.p.AAAA", "newer version of the page"), ("#1.zz.AwA", "cannot open this link"),
                               ("#1.p.q80", "is damaged")):
            open_fragment(other, fragment)
            other.wait_for(lambda: says in other.message(), 5, f"the message for {fragment}")

        other.js("return navigator.serviceWorker.ready.then(() => true)")
        assert fresh.execute_cdp_cmd("Page.getInstallabilityErrors", {})["installabilityErrors"] == []
        server.shutdown()
        server.server_close()
        fresh.execute_cdp_cmd("Network.clearBrowserCache", {})  # only the service worker's cache is left
        offline = Page(fresh, base)
        offline.wait_display(lambda text: text != "", 10)
        # The autosave may have resumed this profile's last source, which opens the editor by itself.
        if offline.driver.find_element(By.ID, "open-editor").is_displayed():
            offline.click("open-editor")
        offline.wait_for(lambda: offline.js("return !document.getElementById('source-open').hidden"), 10,
                         "the editor to open offline")
        offline.wait_for(lambda: offline.js("return document.querySelectorAll('#examples li').length") > 0, 5,
                         "the examples offline")
    finally:
        fresh.quit()
        server.shutdown()
        server.server_close()


def service_worker_settled(page):
    return page.js("""return navigator.serviceWorker.getRegistration().then(r =>
        !!r && !!r.active && !r.installing && !r.waiting)""")


def versions(page):
    """The page's title and the end of the editor bundle, as the page gets them now."""
    return page.js("""return fetch('source_editor.js').then(r => r.text()).then(t => [document.title, t.slice(-12)])""")


def check_a_new_version_comes_whole_on_reload(page, out):
    site = out / "site-versions"
    shutil.rmtree(site, ignore_errors=True)
    shutil.copytree(page.site, site)
    server = serve(site)
    browser = start_chromium(out / "downloads-versions")
    page.js("Tarvo.page.pacer.paused = true")  # the machine to the other browser
    try:
        url = f"http://127.0.0.1:{server.server_port}/index.html"
        first = Page(browser, url)
        first.wait_for(lambda: service_worker_settled(first), 20, "the service worker")
        old = versions(Page(browser, url))  # now a page of the worker's
        index = site / "index.html"
        index.write_text(index.read_text().replace("<title>", "<title>New "))
        with open(site / "source_editor.js", "a") as bundle:
            bundle.write("\n// new one\n")
        subprocess.run([sys.executable, str(SOURCE / "web" / "offline" / "offline_site.py"), str(SOURCE), str(site)],
                       check=True)
        during = Page(browser, url)  # this load finds the new version and installs it beside
        # Paused: on a machine as busy as a CI runner, the board's run leaves the new worker's start waiting.
        during.js("Tarvo.page.pacer.paused = true")
        during.wait_for(lambda: during.js("return caches.keys().then(k => k.length)") == 3 and
                        service_worker_settled(during), 120, "the new version to take over")
        assert versions(during) == old, "a page of the old version got a file of the new"
        after = versions(Page(browser, url))
        assert after[0].startswith("New ") and after[1].endswith("// new one\n"), after
    finally:
        page.js("Tarvo.page.pacer.paused = false")
        browser.quit()
        server.shutdown()
        server.server_close()
