// The address range form of the file commands. From and To are hexadecimal
// (an optional trailing h), at most as long as the window dialog's fields
// take; anything else is refused with the character that is wrong. To of 0
// does nothing, like Cancel; From above To or To above FFFFh is refused with
// a message. The form opens with the last range used. The board stands still
// while the form is open, as behind the window's dialog.
import { hex4 } from "./page_text.js";

// The window dialog's fields take 127 characters; the inputs' maxlength says the same.
const longestField = 127;

// {value} of a field's text, or {error} saying why it is no address.
export function addressFromField(label, text) {
  if (text.length > longestField) {
    return { error: label + " is " + text.length.toLocaleString("en") + " characters long; it takes at most " +
                    longestField + "." };
  }
  const trimmed = text.trim();
  const digits = trimmed.replace(/[hH]$/, "");
  if (digits === "") return { error: label + " is empty: give a hexadecimal address such as 1800." };
  const wrong = digits.search(/[^0-9A-Fa-f]/);
  if (wrong >= 0) {
    const character = digits.codePointAt(wrong);
    const shown = character > 0x20 && character !== 0x7F ? "\u201c" + String.fromCodePoint(character) + "\u201d"
                                                         : "U+" + character.toString(16).toUpperCase().padStart(4, "0");
    return { error: label + " \u201c" + trimmed + "\u201d has " + shown + " at position " + (wrong + 1) +
                    ", which is no hexadecimal digit (0-9, A-F, and h at the end)." };
  }
  const significant = digits.replace(/^0+(?=.)/, "");
  // Anything above five digits is above FFFFh all the same.
  return { value: significant.length > 5 ? 0x100000 : parseInt(significant, 16) };
}

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
    this.request = { caption, use };
    this.pacer.holds += 1;
    this.root.hidden = false;
    this.from.focus();
    this.from.select();
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
    const from = addressFromField("From", this.from.value);
    const to = addressFromField("To", this.to.value);
    const refused = from.error || to.error;
    if (refused) {
      this.say(request.caption + ": " + refused + " Nothing was changed.", true);
      return;
    }
    if (to.value === 0) {
      this.say(request.caption + ": To is 0, so nothing was done (as with Cancel).", false);
      return;
    }
    if (!this.core.isFileRange(from.value, to.value)) {
      this.say("Bad address range \u201c" + this.from.value.trim() + "\u201d to \u201c" + this.to.value.trim() +
               "\u201d: From must not be above To, and To must not be above FFFF (hexadecimal). Nothing was changed.", true);
      return;
    }
    // The form opens with this range next time.
    this.from.value = hex4(from.value);
    this.to.value = hex4(to.value);
    request.use(from.value, to.value);
  }
}
