// Back in time: Step back (one instruction) and Run back (to the previous
// breakpoint or watchpoint, or to the oldest point kept), with the whole
// board as it was then, how far back the history reaches, and who last wrote
// a byte of memory.
import { Writer } from "./core.js";
import { hex4 } from "./page_text.js";

const count = (n) => Math.round(n).toLocaleString("en");
const ago = (n) => (n === 1 ? "1 instruction ago" : count(n) + " instructions ago");

export class HistoryPanel {
  // root holds Step back (#step-back), Run back (#run-back) and the depth (#history-depth);
  // afterMove runs once the board has gone back.
  constructor(root, { core, pacer, say, afterMove }) {
    this.history = core.history;
    this.pacer = pacer;
    this.say = say;
    this.afterMove = afterMove;
    this.depth = root.querySelector("#history-depth");
    this.shownDepth = null;
    root.querySelector("#step-back").addEventListener("click", () => this.stepBack());
    root.querySelector("#run-back").addEventListener("click", () => this.runBack());
  }

  stepBack() {
    this.pacer.paused = true;
    if (!this.history.stepBack()) this.say("Step back: this is the oldest point the history keeps.", false);
    this.afterMove();
  }

  runBack() {
    this.pacer.paused = true;
    this.say(this.history.runBack() ? "Ran back to " + this.history.stopText() + "."
             : "Ran back to the oldest point kept: no breakpoint or watchpoint stopped the run before.", false);
    this.afterMove();
  }

  // Who last wrote the byte, in words, from the history.
  lastWriter(address) {
    const w = this.history.lastWrite(address);
    const at = hex4(address) + "h";
    if (w.by === Writer.instruction) return at + " was last written by the instruction at " + hex4(w.pc) + "h, " + ago(w.ago) + ".";
    if (w.by === Writer.input) return at + " was last changed from outside the CPU (a load, an edit, a key), " + ago(w.ago) + ".";
    return "Nothing wrote " + at + " within the history (back " + count(this.history.depth()) + " instructions).";
  }

  refresh() {
    const depth = this.history.depth();
    if (depth === this.shownDepth) return;
    this.shownDepth = depth;
    this.depth.textContent = "back " + count(depth) + " instructions";
  }
}
