// The checker: the page's second module (tarvo_check.js, built from
// web/exercise_binding.cpp and exercises/), with the reader and the checker
// of tarvorun --exercise, on a board of its own with the monitor loaded
// afresh. Loaded when the first exercise opens, not at the page's start; this
// is the one file that knows its exported functions.
import { coreFunctions, fileHandOver, monitorFolder, monitorUrl } from "./core.js";

export async function loadChecker() {
  const monitor = fetch(monitorUrl).then((r) => (r.ok ? r.arrayBuffer() : null)).catch(() => null);
  const { default: createTarvoCheckModule } = await import("./tarvo_check.js");
  const module = await createTarvoCheckModule();
  const image = await monitor;
  if (image === null) throw new Error("the monitor image " + monitorUrl + " could not be loaded");
  module.FS.mkdir(monitorFolder);
  module.FS.writeFile(monitorFolder + "/tarvo-rom.bin", new Uint8Array(image));
  const c = coreFunctions(module);
  const handOver = fileHandOver(module, "/files");
  const read = c("tarvo_read_exercise", "number", ["string"]);
  const check = c("tarvo_check_exercise", "number", ["string", "string", "string"]);
  const json = (pointer) => JSON.parse(module.UTF8ToString(pointer));
  return Object.freeze({
    // {title, task, source, hints, checks}, or {error} saying where and why.
    read: (text) => handOver("exercise.json", text, (path) => json(read(path))),
    // Checks a program against the exercise's text: the program's text (a
    // source, or Intel HEX when name ends in .hex) under its file name. The
    // report of tarvorun --report json: {passed, failed, checks: [{run,
    // check, passed, message, seen, expected, actual}]}; or {error} for an
    // exercise file that cannot be used.
    check: (exercise, program, name) => handOver("exercise.json", exercise, (path) =>
      handOver("submission", program, (submission) => json(check(path, submission, String(name).slice(0, 100))))),
  });
}
