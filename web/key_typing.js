// Keys typed into the board one after another, as a person types them: a
// matrix key waits for a scan of its row and is then forgotten, so the next
// key is pressed only once the board has run long enough for the monitor to
// take the last one. Counted in the board's instructions, not wall time, so
// that slow frames do not make keys come too soon.
import { gridOf } from "./keypad_keys.js";

// A fifth of a second of the real board (240,000 instructions a second).
const instructionsBetweenKeys = 48000;

export class KeyTyper {
  constructor(core, pacer) {
    this.core = core;
    this.pacer = pacer;
    this.queue = [];
    this.lastKeyAt = -Infinity;
  }

  type(legends) { this.queue.push(...legends); }

  // After every frame: the next key when its time has come.
  tick() {
    if (this.queue.length === 0 || this.pacer.total - this.lastKeyAt < instructionsBetweenKeys) return;
    const grid = gridOf(this.queue.shift());
    this.core.pressKey(grid.row, grid.column);
    this.lastKeyAt = this.pacer.total;
  }
}
