// The page's whole state in one file (docs/state-file.md): the board's parts
// from the core, the page's own (source, breakpoints, watchpoints, speed,
// pause, stopwatch) from its panels. "Save state" downloads it, "Load state"
// reads one through a file picker, and the autosave keeps the same bytes.
// The history is not in it: after a load, Step back starts from there.
import { download } from "./file_panel.js";
import { defaultSpeed } from "./pacing.js";

const stateFileName = "tarvo-state.tarvo";

// The page's settings from a file's PAGE part; anything missing or of the
// wrong kind takes the page's default, so that a load never half fails.
function settingsOf(text) {
  let page = {};
  try { page = JSON.parse(text || "{}") || {}; } catch { page = {}; }
  const address = (a) => Number.isInteger(a) && a >= 0 && a <= 0xFFFF;
  return {
    name: typeof page.name === "string" && page.name !== "" ? page.name : "program.asm",
    breakpoints: Array.isArray(page.breakpoints) ? page.breakpoints.filter(address) : [],
    watchpoints: Array.isArray(page.watchpoints)
      ? page.watchpoints.filter((w) => w && typeof w.kind === "string" && typeof w.text === "string") : [],
    speed: page.speed === "max" || (Number.isFinite(page.speed) && page.speed > 0) ? page.speed : defaultSpeed,
    paused: page.paused === true,
    stopwatch: Number.isFinite(page.stopwatch) ? page.stopwatch : null,
  };
}

export class PageState {
  // afterLoad runs once a loaded state is in place (the display, the panels).
  constructor({ core, pacer, speed, cpu, watches, time, sources, afterLoad }) {
    Object.assign(this, { core, pacer, speed, cpu, watches, time, sources, afterLoad });
  }

  // The state file's bytes.
  bytes() {
    const page = { name: this.sources.name, breakpoints: this.cpu.breakpoints, watchpoints: this.watches.entries(),
                   speed: this.pacer.speed, paused: this.pacer.paused, stopwatch: this.time.zeroedAt() };
    return this.core.state.save(this.sources.text(), JSON.stringify(page));
  }

  // A state file's bytes in place of the page's state. Throws Error(why) with
  // nothing changed when the file cannot be read.
  async restore(bytes) {
    const parts = this.core.state.load(bytes);
    const page = settingsOf(parts.page);
    this.cpu.endStepOver();
    const wanted = new Set(page.breakpoints);
    for (const a of [...this.cpu.breakpoints]) if (!wanted.has(a)) this.cpu.toggleBreakpoint(a);
    for (const a of wanted) if (!this.cpu.breakpoints.includes(a)) this.cpu.toggleBreakpoint(a);
    this.watches.replaceAll(page.watchpoints);
    this.speed.set(page.speed);
    this.pacer.paused = page.paused;
    this.time.zeroAt(page.stopwatch);
    if (parts.source !== "" || this.sources.editor) await this.sources.openSource(page.name, parts.source);
    this.afterLoad();
  }
}

// The Save state and Load state buttons.
export class StateFiles {
  // root holds #save-state, #load-state and the file input #state-input.
  constructor(root, { state, say }) {
    this.state = state;
    this.say = say;
    const input = root.querySelector("#state-input");
    root.querySelector("#save-state").addEventListener("click", () => this.save());
    root.querySelector("#load-state").addEventListener("click", () => input.click());
    input.addEventListener("change", () => {
      const file = input.files[0];
      input.value = "";
      if (file) this.load(file);
    });
  }

  save() {
    try {
      download(this.state.bytes(), stateFileName, "application/octet-stream");
      this.say("Saved the board, the source and the settings as " + stateFileName + ".", false);
    } catch (error) {
      this.say("Save state: " + error.message + ".", true);
    }
  }

  async load(file) {
    try {
      await this.state.restore(new Uint8Array(await file.arrayBuffer()));
      this.say("Loaded the state of " + file.name + ": the board, the source and the settings as saved " +
               "(Step back starts from here).", false);
    } catch (error) {
      this.say("Load state: " + error.message + ". Nothing was changed.", true);
    }
  }
}
