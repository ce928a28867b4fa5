// Runs the board from requestAnimationFrame: each frame runs the idle passes
// that the chosen speed asks for since the last frame, ten instructions each,
// exactly as the window's idle loop runs them.
//
// The default speed, 240,000 instructions a second, is the board's own pace.
// Its Z80 runs at 2 MHz: the 4.000 MHz crystal (X1 on the board picture)
// halved by the 74LS74 beside it. The monitor's instructions average 8.3
// clock cycles: counted over its first three million instructions (the
// greeting, then address mode waiting for keys), almost all of them its key
// loop IN A,(00h) / OR 0C0h / JR NZ / INC A / DJNZ, 42 cycles for five. So
// 2,000,000 / 8.3 = 241,000 a second; the greeting then lasts about two
// seconds, as on the board.

import { StopReason } from "./core.js";

export const defaultSpeed = 240000;
// Never catch up on more than this much time at once (a hidden tab, a dialog).
const longestCatchUpMs = 100;
// "As fast as possible": the share of a frame spent running passes.
const flatOutShare = 0.85;

export class Pacer {
  constructor(core) {
    this.core = core;
    this.afterFrame = null;
    this.speed = defaultSpeed;  // instructions a second, or "max"
    this.paused = false;   // Pause in the CPU panel, a breakpoint, or the end of a Step over or a source-level step
    this.holds = 0;        // open forms that hold the board still, as the window's dialogs do
    this.breakpointsOn = false;
    this.onStop = null;    // (StopReason) after a run stopped short: paused then
    this.duePasses = 0;
    this.lastFrame = null;
    this.frameMs = 1000 / 60;
    this.chunk = 1000;     // passes per call when running flat out, adapted to about 1 ms
    this.counted = 0;
    this.countStart = null;
    this.rate = 0;         // instructions a second over the last whole second
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
      this.duePasses = 0;
    } else if (this.speed === "max") {
      this.runFlatOut();
    } else {
      this.duePasses += (elapsed * this.speed) / this.core.instructionsPerPass / 1000;
      const passes = Math.floor(this.duePasses);
      this.duePasses -= passes;
      this.runPasses(passes);
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

  runPasses(passes) {
    if (passes <= 0) return;
    const ran = this.core.run(passes, this.breakpointsOn ? 1 : 0);
    this.counted += ran;
    this.total += ran;
    const reason = this.core.stopReason();
    if (reason !== StopReason.none) {
      this.paused = true;
      if (this.onStop) this.onStop(reason);
    }
  }

  countRate(now) {
    if (this.countStart === null) this.countStart = now;
    if (now - this.countStart >= 1000) {
      this.rate = (this.counted * 1000) / (now - this.countStart);
      this.counted = 0;
      this.countStart = now;
    }
  }
}
