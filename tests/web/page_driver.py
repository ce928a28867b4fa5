"""Drives the web page in headless Chromium as a person would: clicks on the
keypad picture, the page's buttons and forms, files given to its file inputs;
reads the display back from the canvas pixels at the segments' centres."""
import functools
import http.server
import threading
import time

from selenium import webdriver
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.by import By

BOARD_PICTURE_HEIGHT = 498
KEY_CELL = 60
LIT = (255, 64, 64)
UNLIT = (96, 0, 0)


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass


def hex_file(data, address):
    """Intel HEX text of the bytes at the address: 16 a record, then the end record."""
    lines = []
    for at in range(0, len(data), 16):
        chunk = data[at:at + 16]
        record = bytes([len(chunk), (address + at) >> 8, (address + at) & 0xFF, 0]) + chunk
        lines.append(":" + record.hex().upper() + f"{(-sum(record)) & 0xFF:02X}")
    return "\n".join(lines + [":00000001FF"]) + "\n"


def serve(site):
    """The site on a free port of 127.0.0.1, served from a thread."""
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), functools.partial(QuietHandler, directory=str(site)))
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server


def start_chromium(downloads):
    options = webdriver.ChromeOptions()
    for argument in ("--headless=new", "--no-sandbox", "--disable-gpu", "--window-size=1200,1400"):
        options.add_argument(argument)
    options.add_experimental_option("prefs", {"download.default_directory": str(downloads),
                                              "download.prompt_for_download": False})
    options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
    return webdriver.Chrome(options=options)


class Page:
    def __init__(self, driver, url):
        self.driver = driver
        driver.get(url)
        self.wait_for(lambda: driver.execute_script("return !!(window.Tarvo && Tarvo.page)"), 20, "the page to start")
        self.canvas = driver.find_element(By.ID, "board")
        # Sample points: the middle of each segment's rectangle, whose inside is
        # filled with the segment's colour (for the decimal point, a point inside
        # both its lit and its unlit rectangle).
        segments = driver.execute_script("return Tarvo.page.core.segments()")
        self.samples = []
        for i, s in enumerate(segments):  # eight a digit
            self.samples.append((i // 8, s["bit"], (s["left"] + s["right"]) // 2, (s["top"] + s["bottom"]) // 2))

    def js(self, script, *args):
        return self.driver.execute_script(script, *args)

    def wait_for(self, condition, seconds, what):
        end = time.monotonic() + seconds
        while time.monotonic() < end:
            value = condition()
            if value:
                return value
            time.sleep(0.05)
        raise AssertionError(f"timed out after {seconds} s waiting for {what}")

    # --- the display, from the canvas --------------------------------------------

    def patterns(self):
        """The six digits' segment patterns as painted on the canvas."""
        colours = self.js("""
            const g = document.getElementById('board').getContext('2d');
            return arguments[0].map(p => Array.from(g.getImageData(p[0], p[1], 1, 1).data.slice(0, 3)));
        """, [[x, y] for _, _, x, y in self.samples])
        patterns = [0] * 6
        for (digit, bit, x, y), colour in zip(self.samples, colours):
            colour = tuple(colour)
            if colour == LIT:
                patterns[digit] |= bit
            elif colour != UNLIT:
                raise AssertionError(f"the segment of digit {digit} at ({x}, {y}) is {colour}, neither lit nor unlit")
        return patterns

    def display(self):
        """The display as text, each digit followed by '.' when its point is lit."""
        text = ""
        for p in self.patterns():
            text += self.js("return Tarvo.page.core.forTest.segmentCharacter(arguments[0])", p & ~0x40)
            if p & 0x40:
                text += "."
        return text

    def wait_display(self, wanted, seconds=10):
        seen = []

        def shows():
            seen[:] = [self.display()]
            return wanted(seen[0]) if callable(wanted) else seen[0] == wanted

        try:
            return self.wait_for(shows, seconds, f"the display to show {wanted!r}")
        except AssertionError as error:
            raise AssertionError(f"{error}; it shows {seen[0]!r}") from None

    # --- input -----------------------------------------------------------------

    def click_canvas(self, x, y):
        """A click at a point of the canvas' 540 x 738 drawing buffer, however CSS scales it."""
        # Wholly in view: the actions measure from the centre of the part in view.
        self.js("arguments[0].scrollIntoView({block: 'nearest'})", self.canvas)
        box = self.js("const r = arguments[0].getBoundingClientRect(); return [r.width, r.height];", self.canvas)
        cx = x * box[0] / 540 - box[0] / 2
        cy = y * box[1] / 738 - box[1] / 2
        ActionChains(self.driver).move_to_element_with_offset(self.canvas, round(cx), round(cy)).click().perform()

    def key_centre(self, legend):
        grid = self.js("return Tarvo.keypad.gridOf(arguments[0])", legend)
        assert grid is not None, f"no key {legend}"
        return (grid["column"] * KEY_CELL + KEY_CELL // 2, BOARD_PICTURE_HEIGHT + grid["row"] * KEY_CELL + KEY_CELL // 2)

    def press(self, *legends):
        """Clicks the keys with these legends in the middle of their cells."""
        for legend in legends:
            self.click_canvas(*self.key_centre(legend))

    def tap(self, legend):
        """A finger's tap on a key: pointer events of a touch, down then up."""
        x, y = self.key_centre(legend)
        self.js("""const c = arguments[0], r = c.getBoundingClientRect();
            const at = {pointerType: 'touch', button: 0, bubbles: true, cancelable: true,
                        clientX: r.left + arguments[1] * r.width / 540, clientY: r.top + arguments[2] * r.height / 738};
            c.dispatchEvent(new PointerEvent('pointerdown', at));
            c.dispatchEvent(new PointerEvent('pointerup', at));""", self.canvas, x, y)

    def click(self, element_id):
        self.driver.find_element(By.ID, element_id).click()

    def type_into(self, element_id, text):
        field = self.driver.find_element(By.ID, element_id)
        field.clear()
        field.send_keys(text)

    def give_file(self, input_id, path):
        self.driver.find_element(By.ID, input_id).send_keys(str(path))

    def answer_range(self, from_text, to_text):
        self.wait_for(lambda: self.js("return !document.getElementById('range-overlay').hidden"), 5, "the range form")
        self.type_into("range-from", from_text)
        self.type_into("range-to", to_text)
        self.click("range-ok")

    def downloaded(self, out, name):
        """The bytes of a download once it has arrived in out/downloads."""
        path = out / "downloads" / name
        self.wait_for(path.exists, 10, f"{path}")
        time.sleep(0.3)  # it may still be being written
        return path.read_bytes()

    def message(self):
        return self.js("return document.getElementById('message').textContent")

    def text_of(self, element_id):
        return self.driver.find_element(By.ID, element_id).text

    def console_errors(self):
        """The errors the page's console has shown since the last call."""
        return [e["message"] for e in self.driver.get_log("browser") if e["level"] == "SEVERE"]

    def screenshot(self, path):
        self.driver.save_screenshot(str(path))
