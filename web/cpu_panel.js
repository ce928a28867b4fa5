// The view inside the CPU: registers, flags by name, a disassembly from PC,
// memory, Run / Pause / Step one instruction, and breakpoints. Refreshed a few
// times a second while the board runs and at once after anything that stops
// or changes it.
"use strict";
var Tarvo = window.Tarvo || (window.Tarvo = {});

Tarvo.registerNames = ["AF", "BC", "DE", "HL", "AF'", "BC'", "DE'", "HL'", "IX", "IY", "SP", "PC", "I", "R",
                       "IFF1", "IFF2", "IM"];
Tarvo.byteRegisters = ["I", "R"];
Tarvo.stateRegisters = ["IFF1", "IFF2", "IM"];
// The bits of F from bit 7 down; Y and X are the undocumented copies of bits 5 and 3.
Tarvo.flagNames = ["S", "Z", "Y", "H", "X", "P/V", "N", "C"];
Tarvo.disassemblyLines = 16;
Tarvo.memoryRows = 8;
Tarvo.refreshMs = 250;

Tarvo.hex2 = function (value) { return ("0" + value.toString(16).toUpperCase()).slice(-2); };

Tarvo.CpuPanel = function (core, pacer) {
  this.core = core;
  this.pacer = pacer;
  this.breakpoints = [];
  this.memoryAddress = 0x1800;
  this.lastRefresh = 0;
  this.state = document.getElementById("run-state");
};

Tarvo.CpuPanel.prototype.registers = function () {
  var words = this.core.registers();
  var named = {};
  Tarvo.registerNames.forEach(function (name, i) { named[name] = words[i]; });
  return named;
};

Tarvo.CpuPanel.prototype.showRegisters = function (r) {
  var table = document.getElementById("registers");
  var rows = [["AF", "BC", "DE", "HL"], ["AF'", "BC'", "DE'", "HL'"], ["IX", "IY", "SP", "PC"],
              ["I", "R", "IFF1", "IFF2", "IM"]];
  var html = "";
  rows.forEach(function (names) {
    html += "<tr>";
    names.forEach(function (name) {
      var text = Tarvo.byteRegisters.indexOf(name) >= 0 ? Tarvo.hex2(r[name])
               : Tarvo.stateRegisters.indexOf(name) >= 0 ? String(r[name]) : Tarvo.hex4(r[name]);
      html += "<th>" + name + "</th><td data-register=\"" + name + "\">" + text + "</td>";
    });
    html += "</tr>";
  });
  table.innerHTML = html;
  var f = r.AF & 0xFF;
  var flags = document.getElementById("flags");
  flags.innerHTML = Tarvo.flagNames.map(function (name, i) {
    var set = (f >> (7 - i)) & 1;
    return "<span class=\"flag" + (set ? " set" : "") + "\" data-flag=\"" + name + "\" title=\"" +
           (set ? "set" : "clear") + "\">" + name + "=" + set + "</span>";
  }).join(" ");
};

Tarvo.CpuPanel.prototype.showDisassembly = function (pc) {
  var table = document.getElementById("disassembly");
  var html = "";
  var address = pc;
  for (var line = 0; line < Tarvo.disassemblyLines; ++line) {
    var d = this.core.disassemble(address);
    var bytes = [];
    for (var i = 0; i < d.length; ++i) bytes.push(Tarvo.hex2(this.core.readByte((address + i) & 0xFFFF)));
    var current = address === pc;
    var stop = this.breakpoints.indexOf(address) >= 0;
    html += "<tr" + (current ? " class=\"current\" aria-current=\"true\"" : "") + " data-address=\"" +
            Tarvo.hex4(address) + "\"><td class=\"mark\">" + (current ? "\u25B6" : "") + (stop ? "\u25CF" : "") +
            "</td><td class=\"address\" title=\"breakpoint on or off\">" + Tarvo.hex4(address) + "</td><td class=\"bytes\">" +
            bytes.join(" ") + "</td><td class=\"text\">" + d.text.replace(/&/g, "&amp;").replace(/</g, "&lt;") + "</td></tr>";
    address = (address + d.length) & 0xFFFF;
  }
  table.innerHTML = html;
};

Tarvo.CpuPanel.prototype.showMemory = function (r) {
  var follow = document.getElementById("memory-follow").value;
  if (follow) this.memoryAddress = r[follow];
  var start = this.memoryAddress & 0xFFF0;
  var html = "<tr><th></th>";
  for (var c = 0; c < 16; ++c) html += "<th>" + c.toString(16).toUpperCase() + "</th>";
  html += "<th></th></tr>";
  for (var row = 0; row < Tarvo.memoryRows; ++row) {
    var base = (start + row * 16) & 0xFFFF;
    var chars = "";
    html += "<tr><th>" + Tarvo.hex4(base) + "</th>";
    for (var col = 0; col < 16; ++col) {
      var a = (base + col) & 0xFFFF;
      var b = this.core.readByte(a);
      html += "<td data-address=\"" + Tarvo.hex4(a) + "\"" + (a === this.memoryAddress ? " class=\"followed\"" : "") + ">" +
              Tarvo.hex2(b) + "</td>";
      chars += b >= 0x20 && b < 0x7F ? String.fromCharCode(b) : ".";
    }
    html += "<td class=\"chars\">" + chars.replace(/&/g, "&amp;").replace(/</g, "&lt;") + "</td></tr>";
  }
  document.getElementById("memory").innerHTML = html;
};

Tarvo.CpuPanel.prototype.showBreakpoints = function () {
  var self = this;
  var list = document.getElementById("breakpoints");
  list.innerHTML = "";
  this.breakpoints.forEach(function (address) {
    var item = document.createElement("li");
    item.textContent = Tarvo.hex4(address) + "h ";
    var remove = document.createElement("button");
    remove.type = "button";
    remove.textContent = "Remove";
    remove.addEventListener("click", function () { self.toggleBreakpoint(address); });
    item.appendChild(remove);
    list.appendChild(item);
  });
};

Tarvo.CpuPanel.prototype.refresh = function () {
  var r = this.registers();
  this.showRegisters(r);
  this.showDisassembly(r.PC);
  this.showMemory(r);
  this.showBreakpoints();
  this.state.textContent = this.pacer.paused ? "Paused at " + Tarvo.hex4(r.PC) + "h"
                          : this.pacer.holds > 0 ? "Standing still while the form is open" : "Running";
  this.lastRefresh = performance.now();
};

// Called after every frame: a few times a second while running.
Tarvo.CpuPanel.prototype.tick = function () {
  if (!this.pacer.paused && performance.now() - this.lastRefresh >= Tarvo.refreshMs) this.refresh();
};

Tarvo.CpuPanel.prototype.toggleBreakpoint = function (address) {
  var i = this.breakpoints.indexOf(address);
  if (i >= 0) this.breakpoints.splice(i, 1);
  else this.breakpoints.push(address);
  this.breakpoints.sort(function (a, b) { return a - b; });
  this.core.setBreakpoint(address, i >= 0 ? 0 : 1);
  this.pacer.breakpointsOn = this.breakpoints.length > 0;
  this.refresh();
};

Tarvo.CpuPanel.prototype.say = function (text, isError) {
  var message = document.getElementById("message");
  message.textContent = text;
  message.className = isError ? "error" : "";
};

// A hexadecimal address field: a number 0 to FFFF, or null after a message.
Tarvo.CpuPanel.prototype.addressField = function (id, what) {
  var text = document.getElementById(id).value.trim();
  if (!/^[0-9A-Fa-f]{1,4}$/.test(text)) {
    this.say(what + ": \u201c" + text + "\u201d is not a hexadecimal address from 0 to FFFF.", true);
    return null;
  }
  return parseInt(text, 16);
};

Tarvo.CpuPanel.prototype.listen = function (afterStep) {
  var self = this;
  document.getElementById("run").addEventListener("click", function () {
    self.pacer.paused = false;
    self.refresh();
  });
  document.getElementById("pause").addEventListener("click", function () {
    self.pacer.paused = true;
    self.refresh();
  });
  document.getElementById("step").addEventListener("click", function () {
    self.pacer.paused = true;
    self.core.step();
    afterStep();
    self.refresh();
  });
  this.pacer.onBreakpoint = function () {
    self.refresh();
    self.say("Stopped at the breakpoint at " + Tarvo.hex4(self.registers().PC) + "h. Run goes on from it.", false);
  };
  document.getElementById("disassembly").addEventListener("click", function (e) {
    var cell = e.target.closest("tr");
    if (cell && cell.dataset.address) self.toggleBreakpoint(parseInt(cell.dataset.address, 16));
  });
  document.getElementById("breakpoint-form").addEventListener("submit", function (e) {
    e.preventDefault();
    var address = self.addressField("breakpoint-address", "Breakpoint");
    if (address === null) return;
    if (self.breakpoints.indexOf(address) < 0) self.toggleBreakpoint(address);
  });
  document.getElementById("memory-form").addEventListener("submit", function (e) {
    e.preventDefault();
    var address = self.addressField("memory-address", "Memory");
    if (address === null) return;
    document.getElementById("memory-follow").value = "";
    self.memoryAddress = address;
    self.refresh();
  });
  document.getElementById("memory-follow").addEventListener("change", function () { self.refresh(); });
  document.getElementById("memory").addEventListener("click", function (e) {
    var address = e.target.dataset ? e.target.dataset.address : undefined;
    if (!address) return;
    document.getElementById("poke-address").value = address;
    document.getElementById("poke-value").value = e.target.textContent;
    document.getElementById("poke-value").focus();
  });
  document.getElementById("poke-form").addEventListener("submit", function (e) {
    e.preventDefault();
    var address = self.addressField("poke-address", "Byte");
    if (address === null) return;
    var text = document.getElementById("poke-value").value.trim();
    if (!/^[0-9A-Fa-f]{1,2}$/.test(text)) {
      self.say("Byte: \u201c" + text + "\u201d is not a hexadecimal byte from 0 to FF.", true);
      return;
    }
    self.core.writeByte(address, parseInt(text, 16));
    self.say("Wrote " + Tarvo.hex2(parseInt(text, 16)) + " at " + Tarvo.hex4(address) + "h.", false);
    self.refresh();
  });
};
