// The CPU's registers and the flags of F, changed from the page while the run
// is paused; beside them, while the monitor holds the user's program stopped
// (after MONI, a breakpoint or STEP on the keypad), that program's registers
// as the monitor saved them: the ones REG shows and GO loads.
import { hex2, hex4 } from "./page_text.js";

// The registers as the table shows them, row by row.
const registerRows = [["AF", "BC", "DE", "HL"], ["AF'", "BC'", "DE'", "HL'"], ["IX", "IY", "SP", "PC"],
                      ["I", "R", "IM"], ["IFF1", "IFF2"]];
// Narrow, to stand beside them.
const savedRows = [["AF", "AF'"], ["BC", "BC'"], ["DE", "DE'"], ["HL", "HL'"], ["IX", "IY"], ["SP", "PC"], ["I", "IFF"]];
// The largest value of the registers that are not 16-bit words.
const smallRegisters = { I: 0xFF, R: 0xFF, IFF1: 1, IFF2: 1, IM: 2, IFF: 1 };
// The bits of F from bit 7 down; Y and X are the undocumented copies of bits 5 and 3.
const flagNames = ["S", "Z", "Y", "H", "X", "P/V", "N", "C"];

const largest = (name) => (name in smallRegisters ? smallRegisters[name] : 0xFFFF);
const shown = (name, value) => {
  const top = largest(name);
  return top === 0xFFFF ? hex4(value) : top === 0xFF ? hex2(value) : String(value);
};

function registerTable(table, rows, values, attribute) {
  let html = "";
  for (const names of rows) {
    html += "<tr>";
    for (const name of names) {
      html += "<th>" + name + "</th><td " + attribute + "=\"" + name + "\">" + shown(name, values[name]) + "</td>";
    }
    html += "</tr>";
  }
  table.innerHTML = html;
}

export class RegisterView {
  // root holds the tables, the flags and the register form (#register-view).
  // changed() runs after an edit, to show it everywhere.
  constructor(root, { core, pacer, say, changed }) {
    this.core = core;
    this.pacer = pacer;
    this.say = say;
    this.changed = changed;
    this.element = (id) => root.querySelector("#" + id);
    const names = this.element("register-name");
    for (const name of Object.keys(core.registers())) names.add(new Option(name, name));
    names.value = "PC";
  }

  // r: the CPU's registers; monitor: the core's monitorView().
  show(r, monitor) {
    registerTable(this.element("registers"), registerRows, r, "data-register");
    const f = r.AF & 0xFF;
    this.element("flags").innerHTML = flagNames.map((name, i) => {
      const set = (f >> (7 - i)) & 1;
      return "<span class=\"flag" + (set ? " set" : "") + "\" data-flag=\"" + name + "\" title=\"" +
             (set ? "set" : "clear") + "\">" + name + "=" + set + "</span>";
    }).join(" ");
    this.element("saved-view").hidden = !monitor.holdsProgram;
    if (monitor.holdsProgram) registerTable(this.element("saved-registers"), savedRows, monitor.saved, "data-saved");
  }

  // Changes one register, when the run is paused and the value fits; else a message.
  set(name, value) {
    if (!this.pacer.paused) {
      this.say("Pause the run first: the registers change only while it is paused.", true);
      return;
    }
    if (!this.core.setRegister(name, value)) {
      this.say(`${name}: ${shown(name, value)} does not fit.`, true);
      return;
    }
    this.say(`${name} is now ${shown(name, value)}.`, false);
    this.changed();
  }

  listen() {
    this.element("registers").addEventListener("click", (e) => {
      const name = e.target.dataset ? e.target.dataset.register : undefined;
      if (!name) return;
      this.element("register-name").value = name;
      this.element("register-value").value = e.target.textContent;
      this.element("register-value").focus();
      this.element("register-value").select();
    });
    this.element("flags").addEventListener("click", (e) => {
      const flag = e.target.dataset ? e.target.dataset.flag : undefined;
      if (!flag) return;
      const bit = 0x80 >> flagNames.indexOf(flag);
      this.set("AF", this.core.registers().AF ^ bit);
    });
    this.element("register-form").addEventListener("submit", (e) => {
      e.preventDefault();
      const name = this.element("register-name").value;
      const text = this.element("register-value").value.trim();
      const top = largest(name);
      const digits = top === 0xFFFF ? 4 : top === 0xFF ? 2 : 1;
      const value = new RegExp(`^[0-9A-Fa-f]{1,${digits}}$`).test(text) ? parseInt(text, 16) : -1;
      if (value < 0 || value > top) {
        this.say(`${name}: \u201c${text}\u201d is not a hexadecimal value from 0 to ${top.toString(16).toUpperCase()}.`, true);
        return;
      }
      this.set(name, value);
    });
  }
}
