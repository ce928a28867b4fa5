// Watchpoints: stop a run just after a write or a read of an address or a
// range, an IN or an OUT at a port, or when a register condition comes to
// hold (A = 3, HL >= 1900h, Z set). Listed and removed like breakpoints.
import { WatchKind } from "./core.js";

// The choices of the kind list: a range of addresses or ports, or a condition.
const kinds = {
  write: { kind: WatchKind.write, digits: 4, what: "an address from 0 to FFFF" },
  read: { kind: WatchKind.read, digits: 4, what: "an address from 0 to FFFF" },
  in: { kind: WatchKind.portIn, digits: 2, what: "a port from 0 to FF" },
  out: { kind: WatchKind.portOut, digits: 2, what: "a port from 0 to FF" },
};

// "1900", "1900h" or "1900-190F": { from, to }, or null.
function parseRange(text, digits) {
  const number = "([0-9A-Fa-f]{1," + digits + "})[hH]?";
  const m = new RegExp("^" + number + "(?:\\s*-\\s*" + number + ")?$").exec(text);
  if (!m) return null;
  const from = parseInt(m[1], 16);
  return { from, to: m[2] === undefined ? from : parseInt(m[2], 16) };
}

export class WatchPanel {
  // root holds the form (#watch-form: #watch-kind, #watch-what) and the list (#watchpoints).
  constructor(root, { core, say }) {
    this.history = core.history;
    this.say = say;
    this.list = root.querySelector("#watchpoints");
    this.kind = root.querySelector("#watch-kind");
    this.what = root.querySelector("#watch-what");
    this.ids = [];
    this.added = new Map();  // id -> { kind, text } as add() took them
    root.querySelector("#watch-form").addEventListener("submit", (e) => {
      e.preventDefault();
      this.add(this.kind.value, this.what.value.trim());
    });
  }

  // kind: write, read, in, out or condition; text as typed. The new number, or null after a message.
  add(kind, text) {
    let result;
    if (kind === "condition") {
      result = this.history.addCondition(text);
    } else {
      const k = kinds[kind];
      const range = parseRange(text, k.digits);
      if (range === null) {
        this.say("Watchpoint: \u201c" + text + "\u201d is not " + k.what + ", nor a range of them (1900-190F).", true);
        return null;
      }
      result = this.history.addWatch(k.kind, range.from, range.to);
    }
    if (result.error !== undefined) {
      this.say("Watchpoint \u201c" + text + "\u201d: " + result.error + ".", true);
      return null;
    }
    this.ids.push(result.id);
    this.added.set(result.id, { kind, text });
    this.what.value = "";
    this.show();
    this.say("Watchpoint " + result.id + " set: " + this.history.watchText(result.id) + ".", false);
    return result.id;
  }

  remove(id) {
    this.history.removeWatch(id);
    this.ids = this.ids.filter((i) => i !== id);
    this.added.delete(id);
    this.show();
  }

  // The watchpoints as add() took them, in their order: a saved state keeps these.
  entries() { return this.ids.map((id) => this.added.get(id)); }

  // These in place of the present ones; one that is refused now is left out, with a message.
  replaceAll(entries) {
    for (const id of [...this.ids]) this.remove(id);
    for (const e of entries) this.add(e.kind, e.text);
  }

  show() {
    this.list.innerHTML = "";
    for (const id of this.ids) {
      const item = document.createElement("li");
      item.textContent = id + ": " + this.history.watchText(id) + " ";
      const remove = document.createElement("button");
      remove.type = "button";
      remove.textContent = "Remove";
      remove.addEventListener("click", () => this.remove(id));
      item.appendChild(remove);
      this.list.appendChild(item);
    }
  }
}
