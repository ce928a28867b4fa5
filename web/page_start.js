// Starts the page: the WebAssembly core, the pictures and the monitor image,
// then the board in the window's start order, the panels and the pacing.
"use strict";
var Tarvo = window.Tarvo || (window.Tarvo = {});

// The core's exported functions, with JavaScript arguments and results.
Tarvo.wrapCore = function (module) {
  var c = function (name, result, args) { return module.cwrap(name, result, args); };
  var segments = c("tarvo_segments", "number", []);
  var registers = c("tarvo_registers", "number", []);
  var disassemble = c("tarvo_disassemble", "number", ["number"]);
  var disassembledLength = c("tarvo_disassembled_length", "number", []);
  return {
    start: c("tarvo_start", "number", []),
    run: c("tarvo_run", "number", ["number", "number"]),
    stoppedAtBreakpoint: c("tarvo_stopped_at_breakpoint", "number", []),
    passPosition: c("tarvo_pass_position", "number", []),
    step: c("tarvo_step", null, []),
    setBreakpoint: c("tarvo_set_breakpoint", null, ["number", "number"]),
    pressKey: c("tarvo_press_key", null, ["number", "number"]),
    pressAt: c("tarvo_press_at", "number", ["number", "number"]),
    takeRepaint: c("tarvo_take_repaint", "number", []),
    takeTapeCommand: c("tarvo_take_tape_command", "number", []),
    displayText: function () { return module.UTF8ToString(c("tarvo_display_text", "number", [])()); },
    segmentCharacter: function (pattern) { return String.fromCharCode(c("tarvo_segment_character", "number", ["number"])(pattern)); },
    segments: function () { return module.HEAP32.subarray(segments() >> 2, (segments() >> 2) + 6 * 8 * 6); },
    registers: function () { return module.HEAPU16.subarray(registers() >> 1, (registers() >> 1) + 17); },
    readByte: c("tarvo_read_byte", "number", ["number"]),
    writeByte: c("tarvo_write_byte", null, ["number", "number"]),
    disassemble: function (address) {
      var text = module.UTF8ToString(disassemble(address));
      return { length: disassembledLength(), text: text };
    },
    addressFromText: function (text) { return c("tarvo_address_from_text", "number", ["string"])(text) >>> 0; },
    isFileRange: c("tarvo_is_file_range", "number", ["number", "number"]),
    openHex: c("tarvo_open_hex", "number", ["string"]),
    openBinary: c("tarvo_open_binary", "number", ["string", "number", "number"]),
    saveHex: c("tarvo_save_hex", "number", ["string", "number", "number"]),
    saveBinary: c("tarvo_save_binary", "number", ["string", "number", "number"]),
  };
};

Tarvo.loadPicture = function (src) {
  return new Promise(function (resolve, reject) {
    var picture = new Image();
    picture.onload = function () { resolve(picture); };
    picture.onerror = function () { reject(new Error("could not load " + src)); };
    picture.src = src;
  });
};

Tarvo.start = function () {
  var say = function (text) {
    var m = document.getElementById("message");
    m.textContent = text;
    m.className = "error";
  };
  Tarvo.fillShortcutTable(document.getElementById("shortcuts"));
  Promise.all([
    createTarvoModule(),
    Tarvo.loadPicture("board.png"),
    Tarvo.loadPicture("keypad.png"),
    fetch("tarvo/tarvo-rom.bin").then(function (r) { return r.ok ? r.arrayBuffer() : null; }).catch(function () { return null; }),
  ]).then(function (loaded) {
    var module = loaded[0];
    var core = Tarvo.wrapCore(module);
    module.FS.mkdir("/tarvo");
    if (loaded[3] !== null) module.FS.writeFile("/tarvo/tarvo-rom.bin", new Uint8Array(loaded[3]));
    var view = new Tarvo.BoardView(document.getElementById("board"), core, { board: loaded[1], keypad: loaded[2] });
    var displayText = document.getElementById("display-text");
    var rate = document.getElementById("rate");
    var pacer, files, cpu;
    var afterChange = function () {
      if (core.takeRepaint()) {
        view.paintDigits();
        displayText.textContent = "Display: " + core.displayText();
      }
    };
    pacer = new Tarvo.Pacer(core, function () {
      afterChange();
      cpu.tick();
      rate.textContent = pacer.stopped() ? "" : Math.round(pacer.rate).toLocaleString("en") + " instructions/s";
    });
    files = new Tarvo.FilePanel(core, module.FS, pacer);
    cpu = new Tarvo.CpuPanel(core, pacer);
    if (!core.start()) say("There was an error opening the Tarvo files!");
    view.listen(function () {
      files.tapeCommand(core.takeTapeCommand());
      if (pacer.paused) { afterChange(); cpu.refresh(); }
    });
    files.listen();
    files.listExamples();
    cpu.listen(afterChange);
    var speed = document.getElementById("speed");
    speed.value = String(pacer.speed);  // the default of pacing.js
    speed.addEventListener("change", function (e) {
      var v = e.target.value;
      pacer.speed = v === "max" ? "max" : Number(v);
    });
    cpu.refresh();
    pacer.start();
    Tarvo.page = { core: core, pacer: pacer, files: files, cpu: cpu, view: view, module: module };
  }).catch(function (error) {
    say("The page could not start: " + error.message);
  });
};

Tarvo.start();
