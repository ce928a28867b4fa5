// Time on the board: T-states since reset, and a stopwatch to zero, then run
// or step and read T-states and board time since. Breakpoints and steps
// leave it readable, so a subroutine can be timed between two breakpoints.
import { boardClock } from "./pacing.js";

const whole = (n) => Math.round(n).toLocaleString("en");
// Board time at the board's own clock, whatever speed the page runs at: µs
// and ms, or seconds from a second up.
const boardTime = (tStates) => {
  const us = (tStates * 1e6) / boardClock;
  const fixed = (n, digits) => n.toLocaleString("en", { minimumFractionDigits: digits, maximumFractionDigits: digits });
  if (Math.abs(us) >= 1e6) return fixed(us / 1e6, 3) + " s";
  return us.toLocaleString("en", { maximumFractionDigits: 1 }) + " \u00b5s = " + fixed(us / 1000, 3) + " ms";
};

export class TimePanel {
  // root holds the count (#t-states), the stopwatch's reading (#stopwatch) and its button (#stopwatch-zero).
  constructor(root, { core }) {
    this.history = core.history;
    this.total = root.querySelector("#t-states");
    this.reading = root.querySelector("#stopwatch");
    this.start = null;  // { tStates, at: the history's instruction count } when zeroed
    root.querySelector("#stopwatch-zero").addEventListener("click", () => this.zero());
  }

  zero() { this.zeroAt(this.history.tStates()); }

  // The T-state count the stopwatch was zeroed at, or null: a saved state keeps it.
  zeroedAt() { return this.start === null ? null : this.start.tStates; }
  zeroAt(tStates) {
    this.start = tStates === null ? null : { tStates, at: this.history.now() };
    this.refresh();
  }

  // T-states since the stopwatch was zeroed (below 0 when the board went back
  // before that); null when it was never zeroed, or RESET came since.
  elapsed() {
    if (this.start === null) return null;
    const t = this.history.tStates() - this.start.tStates;
    return t < 0 && this.history.now() >= this.start.at ? null : t;
  }

  refresh() {
    const total = this.history.tStates();
    this.total.textContent = whole(total) + " (" + boardTime(total) + ")";
    const t = this.elapsed();
    this.reading.textContent = this.start === null ? "not started"
                             : t === null ? "RESET since it was zeroed: zero it again"
                             : whole(t) + " T-states = " + boardTime(t);
  }
}
