// The board's core compiled to WebAssembly. This is the one file of the page
// that knows the core's exported functions, its memory views, its table sizes
// and its in-memory file system; every other file goes through the object
// that loadCore() gives, whose functions need no `this`.

// What tarvo_take_tape_command reports.
export const TapeKey = Object.freeze({ none: 0, read: 1, write: 2 });
// Why a run stopped short (tarvo_stop_reason): a breakpoint, one of the
// temporary stops of a step (Step over's return, a source-level step's line),
// or a watchpoint.
export const StopReason = Object.freeze({ none: 0, breakpoint: 1, temporary: 2, watchpoint: 3 });
// Where the CPU is as the monitor sees it (tarvo_monitor_place, without its
// "holds the program" bit).
const monitorPlaces = ["outside", "inside", "waiting"];
const holdsProgramBit = 4;

// Who last wrote a byte (tarvo_last_write).
export const Writer = Object.freeze({ nobody: 0, instruction: 1, input: 2 });

// The kinds of watchpoint on a range (tarvo_watch_add); conditions go by their text.
export const WatchKind = Object.freeze({ read: 0, write: 1, portIn: 2, portOut: 3 });

// What an address is to the CPU (board/memory_areas.h, MemoryArea).
export const MemoryArea = Object.freeze({ rom: 0, ram: 1, monitorRam: 2, unmapped: 3 });

// The ints of tarvo_load_report after its own count, in its order.
const loadReportNames = ["written", "intoRom", "intoMonitorRam", "intoUnmapped", "lowest", "highest", "badLine",
                         "checksumGiven", "checksumWanted"];

// Emscripten copies a "string" argument onto the core's stack without a
// bound, so only short texts (the page's own file paths) go that way; long
// text and bytes reach the core as files (handOver below).
const longestStringArgument = 255;

// The words of tarvo_registers, in its order.
const registerNames = ["AF", "BC", "DE", "HL", "AF'", "BC'", "DE'", "HL'", "IX", "IY", "SP", "PC", "I", "R",
                       "IFF1", "IFF2", "IM"];
// The words of tarvo_monitor_saved_registers: IFF is the interrupt flip-flop.
const savedRegisterNames = ["AF", "BC", "DE", "HL", "AF'", "BC'", "DE'", "HL'", "IX", "IY", "SP", "PC", "I", "IFF"];

// The monitor image as the site carries it, and where tarvo_start looks for it.
export const monitorUrl = "tarvo/tarvo-rom.bin";
export const monitorFolder = "/tarvo";
// Opened and saved files pass through this folder on their way to and from the core.
const filesFolder = "/files";

const colour = (rgb) => "#" + rgb.toString(16).padStart(6, "0");

// The core and the monitor image, loaded side by side. A missing monitor is
// no error here: the board then starts over empty memory, as in the window.
// The compiled core's script is imported here, not at the top, so that a
// failure to load it comes back as an error the page can show.
export async function loadCore() {
  const monitor = fetch(monitorUrl).then((r) => (r.ok ? r.arrayBuffer() : null)).catch(() => null);
  const { default: createTarvoModule } = await import("./tarvo.js");
  const module = await createTarvoModule();
  return wrapCore(module, await monitor);
}

// The assembler of the core (web/asm_binding.cpp). A source goes in through
// a file, never as a string argument: it may be long.
function wrapAssembler(module, { c, int32s, handOver }) {
  const assembleFile = c("tarvo_assemble", "number", ["string", "string"]);
  const summary = c("tarvo_assembly_summary", "number", []);
  const linesTable = c("tarvo_assembly_lines", "number", []);
  const place = c("tarvo_diagnostic_place", "number", ["number"]);
  const message = c("tarvo_diagnostic_message", "number", ["number"]);
  const text = (name) => {
    const f = c(name, "number", []);
    return () => module.UTF8ToString(f());
  };
  const writeHex = c("tarvo_write_assembly_hex", "number", ["string"]);
  return Object.freeze({
    // Assembles the text under the file name: errors and warnings, the
    // messages ({line, column, error, text}), for each source line from 1
    // the address and size of its bytes (lines[2 * (line - 1)] and the word
    // after it), and where Run from start begins (null when nowhere).
    assemble: (name, source) => {
      const errors = handOver("source.asm", source, (path) => assembleFile(path, name));
      if (errors < 0) throw new Error("the core could not read the source");
      const [errorCount, warnings, messageCount, lineCount, start, fromLabel] = int32s(summary(), 6);
      const messages = [];
      for (let i = 0; i < messageCount; ++i) {
        const [line, column, isError] = int32s(place(i), 3);
        messages.push({ line, column, error: isError === 1, text: module.UTF8ToString(message(i)) });
      }
      return { errors: errorCount, warnings, messages, lines: int32s(linesTable(), 2 * lineCount),
               start: start < 0 ? null : start, startIsLabel: fromLabel === 1 };
    },
    listing: text("tarvo_assembly_listing"),
    symbols: text("tarvo_assembly_symbols"),
    // The reserved words as {word: kind}, kind one of "D" (directive),
    // "O" (operator), "M" (mnemonic), "R" (register or condition).
    words: () => {
      const kinds = {};
      for (const line of text("tarvo_asm_words")().split("\n")) if (line) kinds[line.slice(2)] = line[0];
      return kinds;
    },
    // The last assembly's bytes as an Intel HEX file, or null.
    hexFile: () => {
      const path = filesFolder + "/assembled.hex";
      if (writeHex(path) !== 0) return null;
      const bytes = module.FS.readFile(path);
      module.FS.unlink(path);
      return bytes;
    },
  });
}

// A function of the module by name (cwrap), refusing a "string" argument
// too long to be copied onto the core's stack.
export function coreFunctions(module) {
  return (name, result, args) => {
    const call = module.cwrap(name, result, args);
    if (!args.includes("string")) return call;
    return (...values) => {
      for (const v of values) {
        if (typeof v === "string" && v.length > longestStringArgument) {
          throw new Error(`${name}: a text of ${v.length} characters is too long to hand the core; hand it over as a file`);
        }
      }
      return call(...values);
    };
  };
}

// The one way long text and bytes reach the core: content (a string, as
// UTF-8, or bytes) as a file of the given name in folder, whose path
// read(path) hands to the core; the file is gone again afterwards. However
// long the content, only the short path crosses as a string.
export function fileHandOver(module, folder) {
  module.FS.mkdir(folder);
  return (name, content, read) => {
    const path = folder + "/" + name;
    module.FS.writeFile(path, content);
    try { return read(path); } finally { module.FS.unlink(path); }
  };
}

function wrapCore(module, monitor) {
  const c = coreFunctions(module);
  const int32s = (pointer, count) => module.HEAP32.slice(pointer >> 2, (pointer >> 2) + count);

  const [canvasWidth, boardPictureHeight, keypadPictureHeight, segmentCount, segmentRecordInts, registerWords,
         lit, unlit, savedWords] = int32s(c("tarvo_layout", "number", [])(), 9);
  for (const [words, names] of [[registerWords, registerNames], [savedWords, savedRegisterNames]]) {
    if (words !== names.length) throw new Error(`the core has ${words} register words, the page names ${names.length}`);
  }
  const layout = Object.freeze({
    canvasWidth, boardPictureHeight, keypadPictureHeight, canvasHeight: boardPictureHeight + keypadPictureHeight,
    litColour: colour(lit), unlitColour: colour(unlit),
  });

  const segmentTable = c("tarvo_segments", "number", []);
  const registerTable = c("tarvo_registers", "number", []);
  const disassemble = c("tarvo_disassemble", "number", ["number"]);
  const disassembledLength = c("tarvo_disassembled_length", "number", []);
  const startBoard = c("tarvo_start", "number", []);
  const keyAt = c("tarvo_key_at", "number", ["number", "number"]);
  const powerCycle = c("tarvo_power_cycle", "number", []);
  const openHex = c("tarvo_open_hex", "number", ["string"]);
  const openBinary = c("tarvo_open_binary", "number", ["string", "number", "number"]);
  const saves = { hex: c("tarvo_save_hex", "number", ["string", "number", "number"]),
                  bin: c("tarvo_save_binary", "number", ["string", "number", "number"]) };
  const loadReport = c("tarvo_load_report", "number", []);
  const loadErrorReason = c("tarvo_load_error_reason", "number", []);
  const displayText = c("tarvo_display_text", "number", []);
  const segmentCharacter = c("tarvo_segment_character", "number", ["number"]);
  const setRegister = c("tarvo_set_register", "number", ["number", "number"]);
  const monitorPlace = c("tarvo_monitor_place", "number", []);
  const savedTable = c("tarvo_monitor_saved_registers", "number", []);
  let monitorLoaded = false;
  // Registers by name from a table of 16-bit words.
  const named = (pointer, names) => {
    const words = module.HEAPU16.subarray(pointer >> 1, (pointer >> 1) + names.length);
    const byName = {};
    names.forEach((name, i) => { byName[name] = words[i]; });
    return byName;
  };

  module.FS.mkdir(monitorFolder);
  const handOver = fileHandOver(module, filesFolder);
  // Text of any length for the core: copied into memory the core allocates,
  // handed over by its address, and freed once call(address) has returned.
  const withText = (text, call) => {
    const size = module.lengthBytesUTF8(text) + 1;
    const address = module._malloc(size);
    try {
      module.stringToUTF8(text, address, size);
      return call(address);
    } finally {
      module._free(address);
    }
  };
  const text = (name, args) => {
    const call = c(name, "number", args);
    return (...values) => module.UTF8ToString(call(...values));
  };
  const addCondition = c("tarvo_watch_add_condition", "number", ["number"]);
  const lastWrite = c("tarvo_last_write", "number", ["number"]);
  const lastWritePc = c("tarvo_last_write_pc", "number", []);
  const lastWriteAgo = c("tarvo_last_write_ago", "number", []);
  const stepBack = c("tarvo_step_back", "number", []);
  const runBack = c("tarvo_run_back", "number", []);
  const addWatch = c("tarvo_watch_add", "number", ["number", "number", "number"]);
  const removeWatch = c("tarvo_watch_remove", "number", ["number"]);
  const watchError = text("tarvo_watch_error", []);
  const watchResult = (id) => (id > 0 ? { id } : { error: watchError() });
  // Time on the board, going back in it, and the watchpoints (web/history_binding.cpp).
  const history = Object.freeze({
    tStates: c("tarvo_t_states", "number", []),
    now: c("tarvo_history_now", "number", []),
    depth: c("tarvo_history_depth", "number", []),
    bytes: c("tarvo_history_bytes", "number", []),
    // true when it went back; false at the oldest point kept.
    stepBack: () => stepBack() !== 0,
    // true at a breakpoint or watchpoint (stopText() says which); false at the oldest point kept.
    runBack: () => runBack() !== 0,
    stopText: text("tarvo_stop_text", []),
    // { by: one of Writer, pc (by an instruction), ago (instructions) }.
    lastWrite: (address) => ({ by: lastWrite(address), pc: lastWritePc(), ago: lastWriteAgo() }),
    // The new watchpoint's number, or { error } saying why not.
    addWatch: (kind, from, to) => watchResult(addWatch(kind, from, to)),
    addCondition: (condition) => watchResult(withText(condition, addCondition)),
    removeWatch: (id) => removeWatch(id) !== 0,
    watchText: text("tarvo_watch_text", ["number"]),
  });

  // The state file (web/state_binding.cpp, docs/state-file.md): its bytes and
  // the page's two parts cross through files of their own.
  const stateSave = c("tarvo_state_save", "number", ["string", "string", "string"]);
  const stateLoad = c("tarvo_state_load", "number", ["string", "string", "string"]);
  const stateError = text("tarvo_state_error", []);
  const [stateFile, stateSource, statePage] = ["state.tarvo", "state-source.txt", "state-page.json"]
    .map((name) => filesFolder + "/" + name);
  const withStateFiles = (work) => {
    try { return work(); } finally {
      for (const path of [stateFile, stateSource, statePage]) {
        if (module.FS.analyzePath(path).exists) module.FS.unlink(path);
      }
    }
  };
  const state = Object.freeze({
    // The file's bytes: the board, its key queue and its place in the idle
    // pass, and the page's parts, its source and its settings (JSON text).
    save: (source, page) => withStateFiles(() => {
      module.FS.writeFile(stateSource, source);
      module.FS.writeFile(statePage, page);
      if (stateSave(stateSource, statePage, stateFile) !== 0) throw new Error(stateError());
      return module.FS.readFile(stateFile);
    }),
    // The board from the file's bytes, the history begun anew there, and the
    // page's parts as { source, page } ("" for a part the file lacks). Throws
    // Error(why, for the learner) with nothing changed.
    load: (bytes) => withStateFiles(() => {
      module.FS.writeFile(stateFile, bytes);
      if (stateLoad(stateFile, stateSource, statePage) !== 0) throw new Error(stateError());
      return { source: module.FS.readFile(stateSource, { encoding: "utf8" }),
               page: module.FS.readFile(statePage, { encoding: "utf8" }) };
    }),
  });

  // What the last load wrote, by the names of loadReportNames, and the reason of a bad HEX line.
  const lastLoad = () => {
    const ints = int32s(loadReport(), loadReportNames.length + 1);
    if (ints[0] !== loadReportNames.length + 1) {
      throw new Error(`the core reports ${ints[0]} ints of a load, the page names ${loadReportNames.length + 1}`);
    }
    const report = { reason: module.UTF8ToString(loadErrorReason()) };
    loadReportNames.forEach((name, i) => { report[name] = ints[i + 1]; });
    return report;
  };

  // The address space as stretches of one MemoryArea each, from 0000h up:
  // [{from, to, area}], worked out once the board has started (its memory
  // window never changes after that).
  const memoryArea = c("tarvo_memory_area", "number", ["number"]);
  let memoryMap = null;
  const mapOfMemory = () => {
    if (memoryMap !== null) return memoryMap;
    const stretches = [];
    for (let a = 0; a < 0x10000; ++a) {
      const area = memoryArea(a);
      const last = stretches[stretches.length - 1];
      if (last && last.area === area) last.to = a;
      else stretches.push({ from: a, to: a, area });
    }
    memoryMap = Object.freeze(stretches.map(Object.freeze));
    return memoryMap;
  };

  return Object.freeze({
    layout,
    memoryMap: mapOfMemory,
    instructionsPerPass: c("tarvo_instructions_per_pass", "number", [])(),
    // The window's start order; false when there was no monitor image (the board starts all the same).
    start: () => {
      if (monitor !== null) module.FS.writeFile(monitorFolder + "/tarvo-rom.bin", new Uint8Array(monitor));
      monitorLoaded = startBoard() !== 0;
      return monitorLoaded;
    },
    run: c("tarvo_run", "number", ["number", "number"]),
    // One of StopReason, for the last run.
    stopReason: c("tarvo_stop_reason", "number", []),
    history,
    state,
    // Stops for the next run only, gone once a run stops: at an address (with
    // SP at sp, as Step over wants it, or -1 for any), or at the first byte of
    // every line of the last assembly.
    addTemporaryStop: c("tarvo_add_temporary_stop", null, ["number", "number"]),
    stopAtSourceLines: c("tarvo_stop_at_source_lines", null, []),
    clearTemporaryStops: c("tarvo_clear_temporary_stops", null, []),
    assembler: wrapAssembler(module, { c, int32s, handOver }),
    // Power off and on: the board as the page started it; returns as start().
    powerCycle: () => {
      monitorLoaded = powerCycle() !== 0;
      return monitorLoaded;
    },
    step: c("tarvo_step", null, []),
    setBreakpoint: c("tarvo_set_breakpoint", null, ["number", "number"]),
    // A press as the learner makes it, through the key queue: how many waiting
    // keys it dropped (RESET and MONI act at once and drop them), -1 when the
    // queue is full.
    pressKey: c("tarvo_press_key", "number", ["number", "number"]),
    keysWaiting: c("tarvo_keys_waiting", "number", []),
    // The key {row, column} at a point of the canvas, or null.
    keyAt: (x, y) => {
      const key = keyAt(x, y);
      return key < 0 ? null : { row: key >> 8, column: key & 0xFF };
    },
    takeRepaint: c("tarvo_take_repaint", "number", []),
    // One of TapeKey.
    takeTapeCommand: c("tarvo_take_tape_command", "number", []),
    displayText: () => module.UTF8ToString(displayText()),
    // The segments in drawing order, digit by digit: the rectangle (edges included,
    // the outline on them), whether it is lit, and its bit in the digit's pattern.
    segments: () => {
      const table = int32s(segmentTable(), segmentCount * segmentRecordInts);
      const records = [];
      for (let i = 0; i < table.length; i += segmentRecordInts) {
        records.push({ left: table[i], top: table[i + 1], right: table[i + 2], bottom: table[i + 3],
                       lit: table[i + 4] !== 0, bit: table[i + 5] });
      }
      return records;
    },
    // Every register by name: registers().PC.
    registers: () => named(registerTable(), registerNames),
    // false when the value does not fit the register (nothing changes).
    setRegister: (name, value) => setRegister(registerNames.indexOf(name), value) !== 0,
    // Where the CPU is as the board's monitor sees it: place "outside", "inside"
    // or "waiting" (for a key); with holdsProgram, saved has the user's
    // program's registers as the monitor saved them. All "outside" without
    // the monitor image.
    monitorView: () => {
      const code = monitorLoaded ? monitorPlace() : 0;
      const holdsProgram = (code & holdsProgramBit) !== 0;
      return { place: monitorPlaces[code & (holdsProgramBit - 1)], holdsProgram,
               saved: holdsProgram ? named(savedTable(), savedRegisterNames) : null };
    },
    readByte: c("tarvo_read_byte", "number", ["number"]),
    // The byte memory holds, readable or not (what a save writes), and what its address is (MemoryArea).
    storedByte: c("tarvo_stored_byte", "number", ["number"]),
    memoryArea,
    // Writes only RAM, where the CPU reads back what it wrote; returns the address's MemoryArea.
    writeByte: c("tarvo_write_byte", "number", ["number", "number"]),
    disassemble: (address) => {
      const text = module.UTF8ToString(disassemble(address));
      return { length: disassembledLength(), text };
    },
    isFileRange: c("tarvo_is_file_range", "number", ["number", "number"]),
    // { result, and what the load wrote (see lastLoad) }. result below 0: a bad
    // line (the records before it stay loaded).
    openHex: (bytes) => ({ result: handOver("open.hex", bytes, openHex), ...lastLoad() }),
    // result below 0: the file could not be read; 0: it ended before To; 1: the range was filled.
    openBinary: (bytes, from, to) =>
      ({ result: handOver("open.bin", bytes, (path) => openBinary(path, from, to)), ...lastLoad() }),
    handOver,
    // The file's bytes, "hex" or "bin", or null when the core could not write it.
    save: (kind, from, to) => {
      const path = filesFolder + "/save." + kind;
      if (saves[kind](path, from, to) < 0) return null;
      const bytes = module.FS.readFile(path);
      module.FS.unlink(path);
      return bytes;
    },
    // Kept only for the browser test (tests/web/), which reads the display back
    // from the canvas and checks where Step leaves the idle pass.
    forTest: Object.freeze({
      segmentCharacter: (pattern) => String.fromCharCode(segmentCharacter(pattern)),
      passPosition: c("tarvo_pass_position", "number", []),
    }),
  });
}
