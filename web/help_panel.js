// Help at hand: the monitor's keys, its memory map and a worked example (put
// into the page from monitor/README.md when the site is made) and the
// keyboard shortcuts, in a panel beside the board. The "?" button and F1 open
// and close it, Escape closes it; the keypad and its shortcuts go on working.
export class HelpPanel {
  // root is the panel (#help); button the "?" that opens it.
  constructor(root, button) {
    this.root = root;
    this.button = button;
    this.returnFocus = null;
  }

  isOpen() { return !this.root.hidden; }

  open() {
    if (this.isOpen()) return;
    this.returnFocus = document.activeElement;
    this.root.hidden = false;
    this.button.setAttribute("aria-expanded", "true");
    this.root.focus();
  }

  close() {
    if (!this.isOpen()) return;
    this.root.hidden = true;
    this.button.setAttribute("aria-expanded", "false");
    // Focus goes back where it was, unless that was inside the panel.
    const back = this.returnFocus && document.contains(this.returnFocus) ? this.returnFocus : this.button;
    back.focus();
  }

  toggle() {
    if (this.isOpen()) this.close();
    else this.open();
  }

  listen() {
    this.button.addEventListener("click", () => this.toggle());
    this.root.querySelector("#help-close").addEventListener("click", () => this.close());
    document.addEventListener("keydown", (e) => {
      if (e.key === "F1" && !e.ctrlKey && !e.altKey && !e.metaKey) {
        e.preventDefault();  // not the browser's own help
        this.toggle();
      } else if (e.key === "Escape" && this.isOpen()) {
        this.close();
      }
    });
  }
}
