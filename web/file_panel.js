// The file commands of the page: Intel HEX and binary files opened through a
// picker or by dropping them, saved as downloads, the address range asked in
// a small form with the window dialog's rules, and the examples list. The
// files pass through the module's in-memory file system, so the core's own
// readers and writers do the work.
"use strict";
var Tarvo = window.Tarvo || (window.Tarvo = {});

Tarvo.programName = "Tarvo Emulator";

Tarvo.FilePanel = function (core, fs, pacer) {
  this.core = core;
  this.fs = fs;
  this.pacer = pacer;
  this.message = document.getElementById("message");
  this.rangeRequest = null;
  fs.mkdir("/files");
};

Tarvo.FilePanel.prototype.say = function (text, isError) {
  this.message.textContent = text;
  this.message.className = isError ? "error" : "";
};

Tarvo.hex4 = function (value) { return ("000" + value.toString(16).toUpperCase()).slice(-4); };

// --- the address range -------------------------------------------------------

// Asks for From and To, then calls use(from, to), as the window's range
// commands do: To read as 0 (an empty field too) does nothing, like Cancel; a
// range with From above To or To above FFFFh is refused with a message.
// The board stands still while the form is open, as behind the window's dialog.
Tarvo.FilePanel.prototype.askRange = function (caption, rule, use) {
  var overlay = document.getElementById("range-overlay");
  document.getElementById("range-caption").textContent = caption;
  document.getElementById("range-rule").textContent = rule;
  document.getElementById("range-from").value = "";
  document.getElementById("range-to").value = "";
  this.rangeRequest = { caption: caption, use: use };
  this.pacer.holds += 1;
  overlay.hidden = false;
  document.getElementById("range-from").focus();
};

Tarvo.FilePanel.prototype.closeRange = function (accepted) {
  var request = this.rangeRequest;
  if (request === null) return;
  this.rangeRequest = null;
  this.pacer.holds -= 1;
  document.getElementById("range-overlay").hidden = true;
  if (!accepted) {
    this.say(request.caption + ": cancelled.", false);
    return;
  }
  var fromText = document.getElementById("range-from").value;
  var toText = document.getElementById("range-to").value;
  var from = this.core.addressFromText(fromText);
  var to = this.core.addressFromText(toText);
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
};

// --- opening -------------------------------------------------------------------

Tarvo.FilePanel.prototype.readFile = function (file, then) {
  var self = this;
  var reader = new FileReader();
  reader.onload = function () { then(new Uint8Array(reader.result)); };
  reader.onerror = function () { self.say("There was an error opening the file! " + file.name + " could not be read.", true); };
  reader.readAsArrayBuffer(file);
};

Tarvo.FilePanel.prototype.loadHexBytes = function (name, bytes) {
  this.fs.writeFile("/files/open.hex", bytes);
  var result = this.core.openHex("/files/open.hex");
  this.fs.unlink("/files/open.hex");
  if (result < 0) {
    this.say("There was an error opening the file! " + name + " is not a valid Intel HEX file; " +
             "the records before its first bad line were loaded.", true);
    return false;
  }
  document.title = name + " - " + Tarvo.programName;
  this.say("Loaded " + name + ".", false);
  return true;
};

Tarvo.FilePanel.prototype.loadBinaryBytes = function (name, bytes, from, to) {
  this.fs.writeFile("/files/open.bin", bytes);
  var result = this.core.openBinary("/files/open.bin", from, to);
  this.fs.unlink("/files/open.bin");
  if (result < 0) {
    this.say("There was an error opening the file! " + name + " could not be read.", true);
    return;
  }
  var end = Math.min(to, from + bytes.length);
  document.title = name + " - " + Tarvo.programName;
  this.say("Loaded " + name + ": " + (end - from) + " bytes at " + Tarvo.hex4(from) + "h" +
           (result === 0 ? " (the file ended before " + Tarvo.hex4(to) + "h)." : "."), false);
};

Tarvo.FilePanel.prototype.openHexFile = function (file) {
  var self = this;
  this.readFile(file, function (bytes) { self.loadHexBytes(file.name, bytes); });
};

// The range first, then the file, in the window's order.
Tarvo.FilePanel.prototype.openBinaryFile = function (file) {
  var self = this;
  this.askRange("Read binary file", "Bytes go to From up to To \u2212 1.", function (from, to) {
    self.readFile(file, function (bytes) { self.loadBinaryBytes(file.name, bytes, from, to); });
  });
};

Tarvo.FilePanel.prototype.chooseBinaryFile = function () {
  var self = this;
  this.askRange("Read binary file", "Bytes go to From up to To \u2212 1.", function (from, to) {
    self.pendingBinaryRange = { from: from, to: to };
    document.getElementById("binary-input").click();
  });
};

// --- saving --------------------------------------------------------------------

Tarvo.FilePanel.prototype.download = function (path, name, type) {
  var bytes = this.fs.readFile(path);
  this.fs.unlink(path);
  var link = document.createElement("a");
  link.href = URL.createObjectURL(new Blob([bytes], { type: type }));
  link.download = name;
  document.body.appendChild(link);
  link.click();
  link.remove();
  setTimeout(function () { URL.revokeObjectURL(link.href); }, 10000);
};

// The two saves: the core writes the file into the in-memory file system,
// the page hands it to the browser as a download.
Tarvo.saveKinds = {
  hex: { caption: "Save mem as Intel Hex", rule: "Saves From up to To, both included.", type: "text/plain" },
  bin: { caption: "Save memory as binary file", rule: "Saves From up to To \u2212 1.", type: "application/octet-stream" },
};

Tarvo.FilePanel.prototype.saveFile = function (suffix) {
  var self = this;
  var kind = Tarvo.saveKinds[suffix];
  this.askRange(kind.caption, kind.rule, function (from, to) {
    var path = "/files/save." + suffix;
    var result = suffix === "hex" ? self.core.saveHex(path, from, to) : self.core.saveBinary(path, from, to);
    if (result < 0) {
      self.say("There was an error saving the file!", true);
      return;
    }
    var name = "tarvo-" + Tarvo.hex4(from) + "-" + Tarvo.hex4(to) + "." + suffix;
    self.download(path, name, kind.type);
    var count = suffix === "hex" ? to - from + 1 : to - from;
    self.say("Saved " + count + " bytes from " + Tarvo.hex4(from) + "h as " + name + ".", false);
  });
};

Tarvo.FilePanel.prototype.saveHexFile = function () { this.saveFile("hex"); };

// --- wiring --------------------------------------------------------------------

// TAPE RD and TAPE WR, from the keypad: the hex file commands, as in the window.
Tarvo.FilePanel.prototype.tapeCommand = function (command) {
  if (command === 1) document.getElementById("hex-input").click();
  else if (command === 2) this.saveHexFile();
};

Tarvo.FilePanel.prototype.listen = function () {
  var self = this;
  var hexInput = document.getElementById("hex-input");
  var binaryInput = document.getElementById("binary-input");
  document.getElementById("open-hex").addEventListener("click", function () { hexInput.click(); });
  document.getElementById("open-binary").addEventListener("click", function () { self.chooseBinaryFile(); });
  document.getElementById("save-hex").addEventListener("click", function () { self.saveHexFile(); });
  document.getElementById("save-binary").addEventListener("click", function () { self.saveFile("bin"); });
  hexInput.addEventListener("change", function () {
    if (hexInput.files.length > 0) self.openHexFile(hexInput.files[0]);
    hexInput.value = "";
  });
  binaryInput.addEventListener("change", function () {
    var range = self.pendingBinaryRange;
    if (binaryInput.files.length > 0 && range) {
      var file = binaryInput.files[0];
      self.readFile(file, function (bytes) { self.loadBinaryBytes(file.name, bytes, range.from, range.to); });
    }
    binaryInput.value = "";
  });
  document.getElementById("range-form").addEventListener("submit", function (e) {
    e.preventDefault();
    self.closeRange(true);
  });
  document.getElementById("range-cancel").addEventListener("click", function () { self.closeRange(false); });
  document.getElementById("range-overlay").addEventListener("keydown", function (e) {
    if (e.key === "Escape") self.closeRange(false);
  });
  // A dropped .hex file opens as Intel HEX, any other file as binary.
  document.addEventListener("dragover", function (e) { e.preventDefault(); });
  document.addEventListener("drop", function (e) {
    e.preventDefault();
    var files = e.dataTransfer ? e.dataTransfer.files : null;
    if (!files || files.length === 0) return;
    if (/\.(hex|ihx)$/i.test(files[0].name)) self.openHexFile(files[0]);
    else self.openBinaryFile(files[0]);
  });
};

Tarvo.FilePanel.prototype.listExamples = function () {
  var self = this;
  var list = document.getElementById("examples");
  fetch("examples/examples.json").then(function (r) { return r.json(); }).then(function (examples) {
    examples.forEach(function (example) {
      var item = document.createElement("li");
      var button = document.createElement("button");
      button.type = "button";
      button.textContent = example.file;
      button.addEventListener("click", function () {
        fetch("examples/" + example.file)
          .then(function (r) { if (!r.ok) throw new Error(r.statusText); return r.arrayBuffer(); })
          .then(function (data) { self.loadHexBytes(example.file, new Uint8Array(data)); })
          .catch(function () { self.say("There was an error opening the file! examples/" + example.file + " could not be fetched.", true); });
      });
      item.appendChild(button);
      item.appendChild(document.createTextNode(" " + example.about));
      list.appendChild(item);
    });
  }).catch(function () { self.say("The list of examples could not be fetched.", true); });
};
