// The speed control and the rate measured over the last second.
export class SpeedPanel {
  // root holds the speed list (#speed) and the rate (#rate).
  constructor(root, pacer) {
    this.pacer = pacer;
    this.rate = root.querySelector("#rate");
    const speed = root.querySelector("#speed");
    speed.value = String(pacer.speed);  // the pacer's default
    speed.addEventListener("change", () => {
      pacer.speed = speed.value === "max" ? "max" : Number(speed.value);
    });
  }

  // After every frame.
  showRate() {
    this.rate.textContent = this.pacer.stopped() ? "" : Math.round(this.pacer.rate).toLocaleString("en") + " instructions/s";
  }
}
