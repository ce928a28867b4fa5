"""Exercises in the page: every shipped reference passes Check and every wrong
solution fails it, with the checker's own results; the learner's board is not
disturbed; the starting source asks before it replaces the learner's text; a
bad exercise file is refused and a task's markup shown as text; and the
exercise panel on a phone."""
import json
import time
from pathlib import Path

from learner_checks import PHONE

SOURCE = Path(__file__).resolve().parents[2]
EXERCISES = sorted(p for p in (SOURCE / "exercises").iterdir() if (p / "exercise.json").is_file())


def opened(page, title, what):
    """Waits for the exercise's title and the message that it has opened, its starting source placed or offered."""
    page.wait_for(lambda: page.text_of("exercise-title") == title and
                  page.message().startswith(f'Opened the exercise "{title}"'), 10, what)


def open_exercise(page, folder):
    page.js("document.getElementById('message').textContent = ''")
    page.driver.find_element("css selector", f"#exercise-list button[data-file='{folder.name}.json']").click()
    opened(page, json.loads((folder / "exercise.json").read_text())["title"], f"the exercise {folder.name} to open")


def question_shown(page):
    return page.driver.find_element("id", "exercise-question").is_displayed()


def put_source(page, name, text):
    page.js("return Tarvo.page.sources.openSource(arguments[0], arguments[1])", name, text)
    page.wait_for(lambda: page.js("return Tarvo.page.sources.text()") == text, 10, f"{name} in the editor")


def check_results(page):
    """Check pressed: the results as the panel lists them, [(passed, text)]."""
    page.js("document.getElementById('exercise-results').replaceChildren()")
    page.click("exercise-check")
    page.wait_for(lambda: page.js("return document.querySelectorAll('#exercise-results li').length") > 0, 20,
                  "the results of Check")
    return page.js("""return Array.from(document.querySelectorAll('#exercise-results li'),
        li => [li.classList.contains('passed'), li.textContent])""")


def learner_board(page):
    return page.js("""const c = Tarvo.page.core; const bytes = [];
        for (let a = 0x1800; a < 0x1A00; ++a) bytes.push(c.storedByte(a));
        return [c.history.tStates(), c.registers(), c.displayText(), bytes]""")


def check_shipped_exercises_in_the_page(page, out):
    assert len(EXERCISES) >= 8, EXERCISES
    page.click("pause")
    before = learner_board(page)
    for folder in EXERCISES:
        open_exercise(page, folder)
        put_source(page, folder.name + ".asm", (folder / "solution.asm").read_text())
        results = check_results(page)
        assert all(passed for passed, _ in results), f"{folder.name}: the reference fails {results}"
        for wrong in sorted(folder.glob("wrong-*.asm")):
            put_source(page, wrong.name, wrong.read_text())
            results = check_results(page)
            assert not all(passed for passed, _ in results), f"{wrong.name} passes {results}"
            if wrong.name == "wrong-no-daa.asm":  # A as the monitor saved it, after RST 38h
                assert "expected 83, actual 7D" in results[1][1] and "as the monitor saved" in results[1][1], results
    assert learner_board(page) == before, "Check changed the learner's board"
    # The failures as tarvorun words them (docs/exercises.md), with the two values apart.
    report = page.js("return Tarvo.page.exercises.panel().then(p => p.checker.check(arguments[0], arguments[1],"
                     "'wrong-no-daa.asm'))",
                     (SOURCE / "exercises/06-add-bcd/exercise.json").read_text(),
                     (SOURCE / "exercises/06-add-bcd/wrong-no-daa.asm").read_text())
    assert [(c["seen"], c["expected"], c["actual"]) for c in report["checks"]] == [
        ("1902h holds 7D 00, expected 83 00", "83 00", "7D 00"), ("A is 7D, expected 83", "83", "7D"),
        ("1902h holds 9A 00, expected 00 01", "00 01", "9A 00")], report
    # One failure of two: the display shows 7 on the left.
    folder = SOURCE / "exercises" / "01-show-a-digit"
    put_source(page, "empty.asm", "")
    open_exercise(page, folder)
    put_source(page, "show.asm", (folder / "wrong-leftmost-digit.asm").read_text())
    assert [passed for passed, _ in check_results(page)] == [False, True]
    page.js("document.getElementById('exercise-panel').scrollIntoView()")
    page.screenshot(out / "web-exercise-checked.png")
    page.click("run")


def check_exercise_source_memory_and_bad_files(page, out):
    folder = SOURCE / "exercises" / "01-show-a-digit"
    # The learner's own text stays unless they say otherwise.
    put_source(page, "mine.asm", "; mine\n")
    open_exercise(page, folder)
    assert question_shown(page), "no question before replacing"
    assert page.js("return Tarvo.page.sources.text()") == "; mine\n"
    page.click("exercise-keep")
    assert page.js("return Tarvo.page.sources.text()") == "; mine\n"
    open_exercise(page, folder)
    page.click("exercise-replace")
    starting = json.loads((folder / "exercise.json").read_text())["source"]
    page.wait_for(lambda: page.js("return Tarvo.page.sources.text()") == starting, 5, "the starting source")
    # A starting source left as it went in is no text of the learner's: the next one replaces it unasked.
    other = SOURCE / "exercises" / "06-add-bcd"
    open_exercise(page, other)
    starting = json.loads((other / "exercise.json").read_text())["source"]
    page.wait_for(lambda: page.js("return Tarvo.page.sources.text()") == starting, 5, "the next starting source")
    assert not question_shown(page)
    open_exercise(page, folder)
    # With the editor empty, Check takes the program from the board's RAM.
    put_source(page, "show.asm", (folder / "solution.asm").read_text())
    page.click("assemble")
    put_source(page, "show.asm", "")
    assert all(passed for passed, _ in check_results(page)), "the assembled program in RAM fails"
    assert "the program in the board's memory" in page.message(), page.message()
    # A bad file is refused where and why, the open exercise kept; a task's markup is text.
    bad = out / "bad-exercise.json"
    bad.write_text('{"title": "t", "task": "x", "hint": [], "runs": []}')
    page.give_file("exercise-input", bad)
    page.wait_for(lambda: "bad-exercise.json:1:" in page.message() and "/hint: unknown name" in page.message(), 5,
                  "the bad file's message")
    assert page.text_of("exercise-title") == "Show a digit"
    marked = out / "marked.json"
    exercise = json.loads((folder / "exercise.json").read_text())
    exercise.update(title="<b>Marked</b>", task='Use **OUT** and `LD A,7`:\n\n- one\n- two <img src=x onerror="x()">')
    marked.write_text(json.dumps(exercise))
    page.give_file("exercise-input", marked)
    opened(page, "<b>Marked</b>", "the marked-up exercise")
    task = page.js("""const t = document.getElementById('exercise-task');
        return [t.querySelectorAll('img, b').length, t.querySelector('strong').textContent,
                t.querySelector('code').textContent, Array.from(t.querySelectorAll('li'), l => l.textContent)]""")
    assert task == [0, "OUT", "LD A,7", ["one", 'two <img src=x onerror="x()">']], task
    # Its link carries the file's text: opened over another exercise, it brings it back.
    page.click("exercise-link")
    link = page.wait_for(lambda: page.js("const b = document.getElementById('exercise-link-text');"
                                         "return !b.hidden && b.value"), 5, "the exercise's link")
    assert "#1.x." in link, link
    open_exercise(page, folder)
    page.js("document.getElementById('message').textContent = ''")
    page.js("location.hash = arguments[0]", link[link.index("#"):])
    opened(page, "<b>Marked</b>", "the exercise from its link")


def check_exercise_on_a_phone(page, out):
    driver = page.driver
    driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", PHONE)
    driver.execute_cdp_cmd("Emulation.setTouchEmulationEnabled", {"enabled": True, "maxTouchPoints": 5})
    try:
        open_exercise(page, SOURCE / "exercises" / "06-add-bcd")
        time.sleep(0.5)
        assert page.js("return document.scrollingElement.scrollWidth") <= 390, "the page scrolls sideways"
        for part in ("board", "exercise-task", "exercise-check", "editor"):
            page.js("document.getElementById(arguments[0]).scrollIntoView({block: 'nearest'})", part)
            box = page.js("const r = document.getElementById(arguments[0]).getBoundingClientRect();"
                          "return [r.left, r.right, r.top, r.bottom, innerHeight]", part)
            assert 0 <= box[0] and box[1] <= 390 and box[2] < box[4] and box[3] > 0, f"{part} out of reach: {box}"
        page.tap("MONI")
        page.tap("ADDR")
        page.tap("2")
        page.wait_display(lambda text: text.replace(".", "").startswith("0002"), 5)
        page.js("document.getElementById('exercise-title').scrollIntoView()")
        page.screenshot(out / "web-phone-exercise.png")
    finally:
        driver.execute_cdp_cmd("Emulation.setTouchEmulationEnabled", {"enabled": False})
        driver.execute_cdp_cmd("Emulation.clearDeviceMetricsOverride", {})
        page.js("window.scrollTo(0, 0)")


CHECKS = [check_shipped_exercises_in_the_page, check_exercise_source_memory_and_bad_files, check_exercise_on_a_phone]
