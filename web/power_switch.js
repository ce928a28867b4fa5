// "Power off and on": the whole board back to the page's start, the learner's
// way back from any state without reloading the page. Asks first, in a form
// of the page's own, when RAM holds a program, since that goes too.
import { MemoryArea } from "./core.js";
import { addressesOf } from "./memory_areas.js";

export class PowerSwitch {
  // root holds the button (#power-cycle), overlay the question (#power-overlay);
  // focusBoard gives the board the focus; afterPower runs once the board is back.
  constructor(root, overlay, { core, pacer, say, focusBoard, afterPower }) {
    this.core = core;
    this.pacer = pacer;
    this.say = say;
    this.focusBoard = focusBoard;
    this.afterPower = afterPower;
    this.startTitle = document.title;
    this.overlay = overlay;
    this.button = root.querySelector("#power-cycle");
    this.byPointer = false;
    // A click's detail counts the pointer's clicks: 0 for Enter or Space on the button.
    this.button.addEventListener("click", (e) => this.askThenCycle(e.detail > 0));
    overlay.querySelector("#power-form").addEventListener("submit", (e) => {
      e.preventDefault();
      this.answer(true);
    });
    overlay.querySelector("#power-cancel").addEventListener("click", () => this.answer(false));
    overlay.addEventListener("keydown", (e) => { if (e.key === "Escape") this.answer(false); });
  }

  isOpen() { return !this.overlay.hidden; }

  // Whether a byte of RAM is not zero; the monitor's own RAM does not count,
  // since it never is zero once the monitor has run.
  holdsProgram() {
    for (const a of addressesOf(this.core, MemoryArea.ram)) {
      if (this.core.storedByte(a) !== 0) return true;
    }
    return false;
  }

  // The board stands still while the question is open, as behind a dialog of
  // the window; Cancel has the focus, so that Enter loses nothing.
  askThenCycle(byPointer) {
    if (!this.holdsProgram()) {
      this.cycle();
      return;
    }
    this.byPointer = byPointer;
    this.pacer.holds += 1;
    this.overlay.hidden = false;
    this.overlay.querySelector("#power-cancel").focus();
  }

  // The focus goes back to the board after the mouse, to the button after the keyboard.
  answer(yes) {
    if (!this.isOpen()) return;
    this.overlay.hidden = true;
    this.pacer.holds -= 1;
    if (this.byPointer) this.focusBoard();
    else this.button.focus();
    if (yes) this.cycle();
    else this.say("Power off and on: cancelled; the board is as it was.", false);
  }

  // Every register, memory (zero, the monitor loaded again), the 8255, the
  // display latches, the keypad and the waiting keys, and the run: as at the
  // page's start. Breakpoints and the speed are the page's and stay.
  cycle() {
    const loaded = this.core.powerCycle();
    this.pacer.paused = false;
    document.title = this.startTitle;
    this.say(loaded ? "Power off and on: the board starts afresh (breakpoints stay set)."
                    : "There was an error opening the Tarvo files!", !loaded);
    this.afterPower();
  }
}
