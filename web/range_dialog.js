// The address range form of the file commands, with the window dialog's
// rules: hexadecimal From and To, read as the window reads them; To of 0 does
// nothing, like Cancel; From above To or To above FFFFh is refused with a
// message. The board stands still while the form is open, as behind the
// window's dialog.
export class RangeDialog {
  // root is the overlay that holds the form.
  constructor(root, { core, pacer, say }) {
    this.root = root;
    this.core = core;
    this.pacer = pacer;
    this.say = say;
    this.caption = root.querySelector("#range-caption");
    this.rule = root.querySelector("#range-rule");
    this.from = root.querySelector("#range-from");
    this.to = root.querySelector("#range-to");
    this.request = null;
    root.querySelector("#range-form").addEventListener("submit", (e) => {
      e.preventDefault();
      this.close(true);
    });
    root.querySelector("#range-cancel").addEventListener("click", () => this.close(false));
    root.addEventListener("keydown", (e) => { if (e.key === "Escape") this.close(false); });
  }

  isOpen() { return this.request !== null; }

  // Asks for From and To, then calls use(from, to) with a range the window would take.
  ask(caption, rule, use) {
    this.caption.textContent = caption;
    this.rule.textContent = rule;
    this.from.value = "";
    this.to.value = "";
    this.request = { caption, use };
    this.pacer.holds += 1;
    this.root.hidden = false;
    this.from.focus();
  }

  close(accepted) {
    const request = this.request;
    if (request === null) return;
    this.request = null;
    this.pacer.holds -= 1;
    this.root.hidden = true;
    if (!accepted) {
      this.say(request.caption + ": cancelled.", false);
      return;
    }
    const fromText = this.from.value;
    const toText = this.to.value;
    const from = this.core.addressFromText(fromText);
    const to = this.core.addressFromText(toText);
    if (to === 0) {
      this.say(request.caption + ": To is 0, so nothing was done (as with Cancel).", false);
      return;
    }
    if (!this.core.isFileRange(from, to)) {
      this.say("Bad address range \u201c" + fromText + "\u201d to \u201c" + toText + "\u201d: From must not be above To, " +
               "and To must not be above FFFF (hexadecimal). Nothing was changed.", true);
      return;
    }
    request.use(from, to);
  }
}
