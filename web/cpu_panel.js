// The view inside the CPU: registers, flags by name, a disassembly from PC,
// memory, Run / Pause / Step one instruction, and breakpoints. Refreshed a few
// times a second while the board runs and at once after anything that stops
// or changes it.
import { MemoryArea, StopReason } from "./core.js";
import { writeByte } from "./memory_areas.js";
import { hex2, hex4 } from "./page_text.js";

// The registers as the table shows them, row by row.
const registerRows = [["AF", "BC", "DE", "HL"], ["AF'", "BC'", "DE'", "HL'"], ["IX", "IY", "SP", "PC"],
                      ["I", "R", "IFF1", "IFF2", "IM"]];
const byteRegisters = ["I", "R"];
const stateRegisters = ["IFF1", "IFF2", "IM"];
// The bits of F from bit 7 down; Y and X are the undocumented copies of bits 5 and 3.
const flagNames = ["S", "Z", "Y", "H", "X", "P/V", "N", "C"];
const disassemblyLines = 16;
const memoryRows = 8;
const refreshMs = 250;

const escapeHtml = (text) => text.replace(/&/g, "&amp;").replace(/</g, "&lt;");

export class CpuPanel {
  // root holds the panel's controls and tables (#cpu-panel).
  // lastWriter(address) says who last wrote a byte, for the line under the memory editor.
  constructor(root, { core, pacer, say, lastWriter }) {
    this.core = core;
    this.lastWriter = lastWriter;
    this.pacer = pacer;
    this.say = say;
    this.element = (id) => root.querySelector("#" + id);
    this.breakpoints = [];
    this.memoryAddress = 0x1800;
    this.lastRefresh = 0;
    this.state = this.element("run-state");
  }

  showRegisters(r) {
    let html = "";
    for (const names of registerRows) {
      html += "<tr>";
      for (const name of names) {
        const text = byteRegisters.includes(name) ? hex2(r[name])
                   : stateRegisters.includes(name) ? String(r[name]) : hex4(r[name]);
        html += "<th>" + name + "</th><td data-register=\"" + name + "\">" + text + "</td>";
      }
      html += "</tr>";
    }
    this.element("registers").innerHTML = html;
    const f = r.AF & 0xFF;
    this.element("flags").innerHTML = flagNames.map((name, i) => {
      const set = (f >> (7 - i)) & 1;
      return "<span class=\"flag" + (set ? " set" : "") + "\" data-flag=\"" + name + "\" title=\"" +
             (set ? "set" : "clear") + "\">" + name + "=" + set + "</span>";
    }).join(" ");
  }

  showDisassembly(pc) {
    let html = "";
    let address = pc;
    for (let line = 0; line < disassemblyLines; ++line) {
      const d = this.core.disassemble(address);
      const bytes = [];
      for (let i = 0; i < d.length; ++i) bytes.push(hex2(this.core.readByte((address + i) & 0xFFFF)));
      const current = address === pc;
      const stop = this.breakpoints.includes(address);
      html += "<tr" + (current ? " class=\"current\" aria-current=\"true\"" : "") + " data-address=\"" +
              hex4(address) + "\"><td class=\"mark\">" + (current ? "\u25B6" : "") + (stop ? "\u25CF" : "") +
              "</td><td class=\"address\" title=\"breakpoint on or off\">" + hex4(address) + "</td><td class=\"bytes\">" +
              bytes.join(" ") + "</td><td class=\"text\">" + escapeHtml(d.text) + "</td></tr>";
      address = (address + d.length) & 0xFFFF;
    }
    this.element("disassembly").innerHTML = html;
  }

  showMemory(r) {
    const follow = this.element("memory-follow").value;
    if (follow) this.memoryAddress = r[follow];
    const start = this.memoryAddress & 0xFFF0;
    let html = "<tr><th></th>";
    for (let c = 0; c < 16; ++c) html += "<th>" + c.toString(16).toUpperCase() + "</th>";
    html += "<th></th></tr>";
    for (let row = 0; row < memoryRows; ++row) {
      const base = (start + row * 16) & 0xFFFF;
      let chars = "";
      html += "<tr><th>" + hex4(base) + "</th>";
      for (let col = 0; col < 16; ++col) {
        const a = (base + col) & 0xFFFF;
        // The byte memory holds, as a save writes it; greyed where the CPU cannot read it.
        const b = this.core.storedByte(a);
        const unmapped = this.core.memoryArea(a) === MemoryArea.unmapped;
        const classes = [a === this.memoryAddress ? "followed" : "", unmapped ? "unmapped" : ""].join(" ").trim();
        html += "<td data-address=\"" + hex4(a) + "\"" + (classes ? " class=\"" + classes + "\"" : "") +
                (unmapped ? " title=\"the CPU reads FFh here\"" : "") + ">" + hex2(b) + "</td>";
        chars += b >= 0x20 && b < 0x7F ? String.fromCharCode(b) : ".";
      }
      html += "<td class=\"chars\">" + escapeHtml(chars) + "</td></tr>";
    }
    this.element("memory").innerHTML = html;
  }

  showBreakpoints() {
    const list = this.element("breakpoints");
    list.innerHTML = "";
    for (const address of this.breakpoints) {
      const item = document.createElement("li");
      item.textContent = hex4(address) + "h ";
      const remove = document.createElement("button");
      remove.type = "button";
      remove.textContent = "Remove";
      remove.addEventListener("click", () => this.toggleBreakpoint(address));
      item.appendChild(remove);
      list.appendChild(item);
    }
  }

  refresh() {
    const r = this.core.registers();
    this.showRegisters(r);
    this.showDisassembly(r.PC);
    this.showMemory(r);
    this.showBreakpoints();
    this.state.textContent = this.pacer.paused ? "Paused at " + hex4(r.PC) + "h"
                           : this.pacer.holds > 0 ? "Standing still while the form is open" : "Running";
    this.lastRefresh = performance.now();
  }

  // Called after every frame: a few times a second while running.
  tick() {
    if (!this.pacer.paused && performance.now() - this.lastRefresh >= refreshMs) this.refresh();
  }

  toggleBreakpoint(address) {
    const i = this.breakpoints.indexOf(address);
    if (i >= 0) this.breakpoints.splice(i, 1);
    else this.breakpoints.push(address);
    this.breakpoints.sort((a, b) => a - b);
    this.core.setBreakpoint(address, i >= 0 ? 0 : 1);
    this.pacer.breakpointsOn = this.breakpoints.length > 0;
    this.refresh();
  }

  // A hexadecimal address field: a number 0 to FFFF, or null after a message.
  addressField(id, what) {
    const text = this.element(id).value.trim();
    if (!/^[0-9A-Fa-f]{1,4}$/.test(text)) {
      this.say(what + ": \u201c" + text + "\u201d is not a hexadecimal address from 0 to FFFF.", true);
      return null;
    }
    return parseInt(text, 16);
  }

  // afterStep runs after Step one instruction, before the panel is refreshed.
  listen(afterStep) {
    const on = (id, type, handler) => this.element(id).addEventListener(type, handler);
    const submit = (id, handler) => on(id, "submit", (e) => {
      e.preventDefault();
      handler();
    });
    on("run", "click", () => {
      this.pacer.paused = false;
      this.refresh();
    });
    on("pause", "click", () => {
      this.pacer.paused = true;
      this.refresh();
    });
    on("step", "click", () => {
      this.pacer.paused = true;
      this.core.step();
      afterStep();
      this.refresh();
    });
    this.pacer.onStop = (reason) => {
      this.refresh();
      if (reason === StopReason.breakpoint) {
        this.say("Stopped at the breakpoint at " + hex4(this.core.registers().PC) + "h. Run goes on from it.", false);
      } else if (reason === StopReason.watchpoint) {
        this.say("Stopped by " + this.core.history.stopText() + ". Run goes on from here.", false);
      }
    };
    on("disassembly", "click", (e) => {
      const row = e.target.closest("tr");
      if (row && row.dataset.address) this.toggleBreakpoint(parseInt(row.dataset.address, 16));
    });
    submit("breakpoint-form", () => {
      const address = this.addressField("breakpoint-address", "Breakpoint");
      if (address !== null && !this.breakpoints.includes(address)) this.toggleBreakpoint(address);
    });
    submit("memory-form", () => {
      const address = this.addressField("memory-address", "Memory");
      if (address === null) return;
      this.element("memory-follow").value = "";
      this.memoryAddress = address;
      this.refresh();
    });
    on("memory-follow", "change", () => this.refresh());
    on("memory", "click", (e) => {
      const address = e.target.dataset ? e.target.dataset.address : undefined;
      if (!address) return;
      this.element("poke-address").value = address;
      this.element("poke-value").value = e.target.textContent;
      this.element("poke-value").focus();
      this.element("last-write").textContent = this.lastWriter(parseInt(address, 16));
    });
    submit("poke-form", () => {
      const address = this.addressField("poke-address", "Byte");
      if (address === null) return;
      const text = this.element("poke-value").value.trim();
      if (!/^[0-9A-Fa-f]{1,2}$/.test(text)) {
        this.say("Byte: \u201c" + text + "\u201d is not a hexadecimal byte from 0 to FF.", true);
        return;
      }
      const written = writeByte(this.core, address, parseInt(text, 16));
      this.say(written.text, written.isError);
      this.refresh();
    });
  }
}
