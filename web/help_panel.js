// Help at hand: the monitor's keys, its memory map and a worked example (put
// into the page from monitor/README.md when the site is made) and the
// keyboard shortcuts, in a panel beside the board. The "?" button and F1 open
// and close it, Escape closes it; the keypad and its shortcuts go on working.
export class HelpPanel {
  // root is the panel (#help); button the "?" that opens it; focusBoard gives
  // the board the focus when it has nowhere else to go back to.
  constructor(root, button, focusBoard) {
    this.root = root;
    this.button = button;
    this.focusBoard = focusBoard;
    this.returnFocus = null;
  }

  isOpen() { return !this.root.hidden; }

  // byPointer: opened with a mouse or a finger on "?", which then holds the
  // focus only because it was pressed; closed, the panel hands it to the
  // board, so that Enter is GO again and not "?".
  open(byPointer = false) {
    if (this.isOpen()) return;
    this.returnFocus = byPointer ? null : document.activeElement;
    this.root.hidden = false;
    this.button.setAttribute("aria-expanded", "true");
    this.root.focus();
  }

  close() {
    if (!this.isOpen()) return;
    this.root.hidden = true;
    this.button.setAttribute("aria-expanded", "false");
    // Focus goes back where it was, or to the board.
    if (this.returnFocus && document.contains(this.returnFocus)) this.returnFocus.focus();
    else this.focusBoard();
  }

  toggle(byPointer = false) {
    if (this.isOpen()) this.close();
    else this.open(byPointer);
  }

  listen() {
    // A click's detail counts the pointer's clicks: 0 for Enter or Space on the button.
    this.button.addEventListener("click", (e) => this.toggle(e.detail > 0));
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
