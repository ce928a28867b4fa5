// What the page tells the learner about where bytes go: the monitor ROM, RAM,
// the monitor's own RAM, or addresses where the board has no memory. The
// memory editor refuses what the board would not take; loads warn about it.
import { MemoryArea } from "./core.js";
import { hex2, hex4, plural } from "./page_text.js";

// The stretches of an area as text, as in "0801h-17FFh and 2800h-FFFFh".
export function stretchesOf(core, area) {
  const texts = core.memoryMap().filter((s) => s.area === area)
    .map((s) => hex4(s.from) + "h" + (s.to > s.from ? "-" + hex4(s.to) + "h" : ""));
  return texts.length > 1 ? texts.slice(0, -1).join(", ") + " and " + texts[texts.length - 1] : texts.join("");
}

// The addresses of an area, one after the other.
export function* addressesOf(core, area) {
  for (const s of core.memoryMap()) {
    if (s.area !== area) continue;
    for (let a = s.from; a <= s.to; ++a) yield a;
  }
}

// A sentence for each part of a load (core.openHex, core.openBinary) that
// went where a program cannot use it; "" when none did.
export function loadWarnings(core, loaded) {
  const warnings = [];
  if (loaded.intoRom > 0) {
    warnings.push(plural(loaded.intoRom, "byte") + " went into the monitor ROM (" + stretchesOf(core, MemoryArea.rom) +
                  "), changing the monitor until Power off and on.");
  }
  if (loaded.intoMonitorRam > 0) {
    warnings.push(plural(loaded.intoMonitorRam, "byte") + " went into the monitor's working area (" +
                  stretchesOf(core, MemoryArea.monitorRam) + "): the monitor may misbehave until RESET.");
  }
  if (loaded.intoUnmapped > 0) {
    warnings.push(plural(loaded.intoUnmapped, "byte") + " went where the board has no memory (" +
                  stretchesOf(core, MemoryArea.unmapped) + "): the CPU reads FFh there, though a save writes them.");
  }
  return warnings.join(" ");
}

// The memory editor's write of one byte, as the board takes it: {text, isError}.
export function writeByte(core, address, value) {
  const at = hex4(address) + "h";
  switch (core.writeByte(address, value)) {
    case MemoryArea.rom:
      return { text: "Nothing written: " + at + " is in the monitor ROM (" + stretchesOf(core, MemoryArea.rom) +
                     "), which the CPU cannot write.", isError: true };
    case MemoryArea.unmapped:
      return { text: "Nothing written: " + at + " is not in the board's memory: the CPU reads FFh there.",
               isError: true };
    case MemoryArea.monitorRam:
      return { text: "Wrote " + hex2(value) + " at " + at + ", in the monitor's working area (" +
                     stretchesOf(core, MemoryArea.monitorRam) + "): the monitor may misbehave until RESET.",
               isError: false };
    default:
      return { text: "Wrote " + hex2(value) + " at " + at + ".", isError: false };
  }
}
