// Runs the board from requestAnimationFrame: each frame runs the idle passes
// (ten instructions each, exactly as the window's idle loop runs them) that
// make up the T-states the chosen clock rate asks for since the last frame.
//
// The default clock is the board's own: its Z80 runs at 2 MHz, the 4.000 MHz
// crystal (X1 on the board picture) halved by the 74LS74 beside it. So a
// delay loop takes the time it takes on the board. The monitor's key scan and
// the step NMI count idle passes, not time, and are the same at any rate.

import { StopReason } from "./core.js";

export const boardClock = 2000000;  // T-states a second
export const defaultSpeed = boardClock;
// Never catch up on more than this much time at once (a hidden tab, a dialog).
const longestCatchUpMs = 100;
// "As fast as possible": the share of a frame spent running passes.
const flatOutShare = 0.85;
// The T-states of a pass before any has run: the monitor's key loop averages
// 8.3 a instruction (IN A,(00h) / OR 0C0h / JR NZ / INC A / DJNZ, 42 for five).
const firstTStatesPerPass = 83;

export class Pacer {
  constructor(core) {
    this.core = core;
    this.afterFrame = null;
    this.speed = defaultSpeed;  // T-states a second (the clock rate), or "max"
    // Pause in the CPU panel, a breakpoint, a watchpoint, or the end of a Step over or a source-level step.
    this.paused = false;
    this.holds = 0;        // open forms that hold the board still, as the window's dialogs do
    this.breakpointsOn = false;
    this.onStop = null;    // (StopReason) after a run stopped short: paused then
    this.dueTStates = 0;
    this.tStatesPerPass = firstTStatesPerPass;  // as the last runs went
    this.lastFrame = null;
    this.frameMs = 1000 / 60;
    this.chunk = 1000;     // passes per call when running flat out, adapted to about 1 ms
    this.counted = 0;
    this.countedTStates = 0;
    this.countStart = null;
    this.rate = 0;         // instructions a second over the last whole second
    this.clock = 0;        // T-states a second over the last whole second: the effective clock
    this.total = 0;        // instructions run since the page started
  }

  // From now on, a frame at every animation frame; afterFrame runs after
  // each, whether the board ran or not.
  start(afterFrame) {
    this.afterFrame = afterFrame;
    const frame = (now) => {
      this.frame(now);
      window.requestAnimationFrame(frame);
    };
    window.requestAnimationFrame(frame);
  }

  stopped() { return this.paused || this.holds > 0; }

  frame(now) {
    if (this.lastFrame !== null) {
      const delta = now - this.lastFrame;
      if (delta > 0 && delta < 100) this.frameMs = 0.9 * this.frameMs + 0.1 * delta;
    }
    const elapsed = this.lastFrame === null ? 0 : Math.min(now - this.lastFrame, longestCatchUpMs);
    this.lastFrame = now;
    if (this.stopped()) {
      this.dueTStates = 0;
    } else if (this.speed === "max") {
      this.runFlatOut();
    } else {
      // The passes that should make up the T-states due; what they came to
      // is taken off, so that a wrong guess is made good in the next frames.
      this.dueTStates += (elapsed * this.speed) / 1000;
      this.dueTStates -= this.runPasses(Math.floor(this.dueTStates / this.tStatesPerPass));
      if (this.stopped()) this.dueTStates = 0;
    }
    this.countRate(now);
    this.afterFrame();
  }

  // As many passes as fit in most of a frame, counted from now (a frame may
  // begin late), in chunks of about a millisecond.
  runFlatOut() {
    const budget = this.frameMs * flatOutShare;
    const start = performance.now();
    while (!this.stopped()) {
      const t0 = performance.now();
      if (t0 - start >= budget) break;
      this.runPasses(this.chunk);
      const took = performance.now() - t0;
      if (took < 0.5) this.chunk = Math.min(this.chunk * 2, 1 << 20);
      else if (took > 2) this.chunk = Math.max(this.chunk >> 1, 10);
    }
  }

  // Returns the T-states they took.
  runPasses(passes) {
    if (passes <= 0) return 0;
    const before = this.core.history.tStates();
    const ran = this.core.run(passes, this.breakpointsOn ? 1 : 0);
    const took = this.core.history.tStates() - before;
    this.counted += ran;
    this.total += ran;
    this.countedTStates += took;
    if (ran >= this.core.instructionsPerPass) this.tStatesPerPass = (took * this.core.instructionsPerPass) / ran;
    const reason = this.core.stopReason();
    if (reason !== StopReason.none) {
      this.paused = true;
      if (this.onStop) this.onStop(reason);
    }
    return took;
  }

  countRate(now) {
    if (this.countStart === null) this.countStart = now;
    if (now - this.countStart >= 1000) {
      this.rate = (this.counted * 1000) / (now - this.countStart);
      this.clock = (this.countedTStates * 1000) / (now - this.countStart);
      this.counted = 0;
      this.countedTStates = 0;
      this.countStart = now;
    }
  }
}
