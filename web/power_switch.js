// "Power off and on": the whole board back to the page's start, the learner's
// way back from any state without reloading the page. Asks first when RAM
// holds a program, since that goes too.
import { MemoryArea } from "./core.js";
import { addressesOf } from "./memory_areas.js";

export class PowerSwitch {
  // root holds the button (#power-cycle); afterPower runs once the board is back.
  constructor(root, { core, pacer, say, afterPower }) {
    this.core = core;
    this.pacer = pacer;
    this.say = say;
    this.afterPower = afterPower;
    this.startTitle = document.title;
    root.querySelector("#power-cycle").addEventListener("click", () => this.askThenCycle());
  }

  // Whether a byte of RAM is not zero; the monitor's own RAM does not count,
  // since it never is zero once the monitor has run.
  holdsProgram() {
    for (const a of addressesOf(this.core, MemoryArea.ram)) {
      if (this.core.storedByte(a) !== 0) return true;
    }
    return false;
  }

  askThenCycle() {
    if (this.holdsProgram() && !window.confirm("RAM holds a program. Power off and on clears all memory and " +
                                               "starts the monitor afresh. Go on?")) {
      this.say("Power off and on: cancelled; the board is as it was.", false);
      return;
    }
    this.cycle();
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
