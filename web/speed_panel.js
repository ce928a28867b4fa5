// The speed control (clock rates) and the effective clock measured over the last second.
import { defaultSpeed } from "./pacing.js";

export class SpeedPanel {
  // root holds the speed list (#speed) and the rate (#rate).
  constructor(root, pacer) {
    this.pacer = pacer;
    this.rate = root.querySelector("#rate");
    const speed = root.querySelector("#speed");
    this.list = speed;
    speed.value = String(pacer.speed);  // the pacer's default
    speed.addEventListener("change", () => {
      pacer.speed = speed.value === "max" ? "max" : Number(speed.value);
    });
  }

  // A speed from a saved state: one of the list's, else the board's own.
  set(speed) {
    this.list.value = String(speed);
    if (this.list.value === "") this.list.value = String(defaultSpeed);
    this.pacer.speed = this.list.value === "max" ? "max" : Number(this.list.value);
  }

  // After every frame.
  showRate() {
    this.rate.textContent = this.pacer.stopped() ? "" : "effective clock " + (this.pacer.clock / 1e6).toFixed(2) +
        " MHz (" + Math.round(this.pacer.rate).toLocaleString("en") + " instructions/s)";
  }
}
