// An exercise beside the program source: its title and task, hints behind a
// click, and Check, which grades the learner's program with the checker
// tarvorun --exercise runs (check_core.js), on a board of the checker's own:
// the learner's board runs on untouched. Loaded by exercise_entry.js when the
// first exercise opens.
import { MemoryArea } from "./core.js";
import { fillInline, markdownElements } from "./markdown_text.js";
import { plural } from "./page_text.js";

const endRecord = ":00000001FF\r\n";

// The learner's RAM as one Intel HEX file, as "Save hex file" writes each stretch of it.
function ramHex(core) {
  const text = new TextDecoder();
  return core.memoryMap().filter((s) => s.area === MemoryArea.ram)
    .map((s) => text.decode(core.save("hex", s.from, s.to)).replace(endRecord, "")).join("") + endRecord;
}

export class ExercisePanel {
  // root is the exercise panel (#exercise-panel); sources the program source's panel.
  constructor(root, { core, checker, sources, say }) {
    this.core = core;
    this.checker = checker;
    this.sources = sources;
    this.say = say;
    this.element = (id) => root.querySelector("#" + id);
    this.text = null;      // the exercise file's text, as opened
    this.exercise = null;  // as the core read it: {title, task, source, hints, checks}
    this.sourceName = "exercise.asm";
    this.placed = null;    // the starting source last put into the editor
    this.opening = Promise.resolve(true);
    this.element("exercise-check").addEventListener("click", () => this.check());
    this.element("exercise-replace").addEventListener("click", () => this.answerReplace(true));
    this.element("exercise-keep").addEventListener("click", () => this.answerReplace(false));
    this.element("exercise-link").addEventListener("click", () => this.copyLink());
  }

  // Opens the exercise file's text (name: its file name). A file the core's
  // reader refuses leaves the panel as it was, with a message saying where and
  // why. One after the other: an exercise chosen while the last one still
  // opens waits for it, so that the editor never gets the two sources mixed.
  open(name, text) {
    this.opening = this.opening.catch(() => false).then(() => this.openNow(name, text));
    return this.opening;
  }

  async openNow(name, text) {
    const exercise = this.checker.read(text);
    if (exercise.error) {
      this.say("There was an error opening the exercise! " + name + ":" + exercise.error, true);
      return false;
    }
    this.text = text;
    this.exercise = exercise;
    this.sourceName = name.replace(/\.json$/i, "") + ".asm";
    this.element("exercise").hidden = false;
    this.element("exercise-title").textContent = exercise.title;
    this.element("exercise-task").replaceChildren(...markdownElements(exercise.task));
    const hints = this.element("exercise-hint-list");
    hints.replaceChildren();
    for (const hint of exercise.hints) {
      const item = document.createElement("li");
      fillInline(item, hint);
      hints.append(item);
    }
    this.element("exercise-hints").hidden = exercise.hints.length === 0;
    this.element("exercise-hints").open = false;
    this.showResults(null);
    this.element("exercise-link-text").hidden = true;
    this.element("exercise-summary").textContent = plural(exercise.checks, "check") + " to pass.";
    const replaced = await this.offerSource();
    this.say("Opened the exercise \"" + exercise.title + "\"" +
             (replaced ? ": its starting source is in the editor." : ".") + " Check grades your program.", false);
    return true;
  }

  // The exercise's starting source into the editor: at once when the editor
  // is empty or holds a starting source as it went in, else only when the
  // learner says so. Returns whether it went in.
  async offerSource() {
    this.element("exercise-question").hidden = true;
    if (!this.exercise.source) return false;
    const current = this.sources.text();
    if (current.trim() !== "" && current !== this.placed) {
      this.element("exercise-question").hidden = false;
      return false;
    }
    await this.placeSource();
    return true;
  }

  async placeSource() {
    await this.sources.openSource(this.sourceName, this.exercise.source);
    this.placed = this.exercise.source;
  }

  async answerReplace(replace) {
    this.element("exercise-question").hidden = true;
    if (replace) await this.placeSource();
    else this.say("Your text stays in the editor.", false);
  }

  // Grades the editor's source, assembled as tarvorun assembles a .asm; with
  // no source, the program in the board's RAM, as a HEX file of it would be.
  check() {
    if (this.exercise === null) return null;
    const text = this.sources.text();
    const source = text.trim() === "" ? null : text;
    const report = source === null ? this.checker.check(this.text, ramHex(this.core), "memory.hex")
                                   : this.checker.check(this.text, source, this.sources.name);
    if (report.error) {
      this.say("The exercise could not be checked: " + report.error, true);
      return report;
    }
    this.showResults(report);
    const what = source === null ? "the program in the board's memory (the editor is empty)"
                                 : "the program in the editor (" + this.sources.name + ")";
    this.say("Checked " + what + ": " + this.summary(report), report.failed > 0);
    return report;
  }

  // A link that opens this exercise (the file's whole text in its fragment),
  // shown to copy by hand and put on the clipboard where the browser lets us.
  async copyLink() {
    if (this.text === null) return;
    let url;
    try {
      const { encodeLink } = await import("./link_codec.js");
      url = location.href.replace(/#.*$/, "") + (await encodeLink("x", this.text));
    } catch (error) {
      this.say("The link could not be made: " + error.message, true);
      return;
    }
    const box = this.element("exercise-link-text");
    box.value = url;
    box.hidden = false;
    box.select();
    try {
      await navigator.clipboard.writeText(url);
      this.say("Copied a link to this exercise (" + url.length + " characters): whoever opens it gets the exercise.", false);
    } catch {
      this.say("Here is a link to this exercise; copy it from the box (the browser kept it from the clipboard).", false);
    }
  }

  summary(report) {
    const total = report.passed + report.failed;
    return report.failed === 0 ? "all " + plural(total, "check") + " passed."
                               : report.passed + " of " + plural(total, "check") + " passed, " + report.failed + " failed.";
  }

  showResults(report) {
    const list = this.element("exercise-results");
    list.replaceChildren();
    if (report === null) return;
    this.element("exercise-summary").textContent = this.summary(report);
    for (const result of report.checks) list.append(resultItem(result));
  }
}

// Whose registers a register check read, by the word its name ends in.
const registerSources = {
  "(cpu)": "(the CPU's, at the end of the run)",
  "(monitor)": "(the program's, as the monitor saved them when it stopped the program)",
};

function span(className, text) {
  const element = document.createElement("span");
  element.className = className;
  element.textContent = text;
  return element;
}

// One check's line: passed or failed, where (run and check), and for a
// failure the exercise's message with the value expected and the one found.
function resultItem(result) {
  const item = document.createElement("li");
  item.className = result.passed ? "passed" : "failed";
  item.append(span("verdict", result.passed ? "\u2713 passed" : "\u2717 failed"), " ",
              span("where", result.run + ": " + result.check));
  const whose = registerSources[result.check.slice(result.check.lastIndexOf(" ") + 1)];
  if (result.check.startsWith("register ") && whose) item.append(" ", span("whose", whose));
  if (result.passed) {
    if (result.actual) item.append(" ", span("value", result.actual));
    return item;
  }
  const why = document.createElement("div");
  why.textContent = result.message;
  item.append(why);
  const values = document.createElement("div");
  values.className = "values";
  if (result.expected || result.actual) {
    values.append("expected ", span("value", result.expected), ", actual ", span("value", result.actual));
    // The checker's own words say more than the two values for a port's writes.
    if (result.check.startsWith("port ")) values.append(" (" + result.seen + ")");
  } else {
    values.textContent = result.seen;
  }
  item.append(values);
  return item;
}
