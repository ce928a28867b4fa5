// Programs in links: Share makes a link that holds the program itself, and a
// link opened in the page starts its program as an example starts. The
// program is the JSON text of a link of kind "p":
//   {"name": "counter.asm", "source": "...Z80 source..."}                  a source, or
//   {"name": "memory", "ranges": [{"start": "1800", "hex": "31802721..."}],
//    "start": "1800"}                                                      bytes of RAM.
// Fields a page does not know are passed over, so that later pages may add some.
import { MemoryArea } from "./core.js";
import { encodeLink } from "./link_codec.js";
import { addressesOf } from "./memory_areas.js";
import { hex2, hex4, plural } from "./page_text.js";
import { startProgram, startedText } from "./program_start.js";

// Longer links are cut or refused by some browsers, chat programs and mail.
export const MOST_LINK_CHARACTERS = 8000;
// Zeros inside a program (LD A,0, a table) keep it one range; longer runs of zeros part two.
const ZEROS_INSIDE_A_RANGE = 16;
const memoryProgramName = "shared program";

// The stretches of RAM that hold anything: [{start, bytes}].
export function rangesInUse(core) {
  const ranges = [];
  let open = null;
  let lastUsed = -1;
  for (const a of addressesOf(core, MemoryArea.ram)) {
    const byte = core.storedByte(a);
    if (byte === 0) continue;
    if (open === null || a - lastUsed > ZEROS_INSIDE_A_RANGE) {
      open = { start: a, bytes: [] };
      ranges.push(open);
    } else {
      for (let gap = lastUsed + 1; gap < a; ++gap) open.bytes.push(core.storedByte(gap));
    }
    open.bytes.push(byte);
    lastUsed = a;
  }
  return ranges;
}

// The program to share: the editor's source when it holds one, else RAM's bytes; null when there is none.
function programToShare({ core, sources }) {
  const source = sources.text();
  if (source.trim() !== "") return { kind: "source", json: { name: sources.name, source } };
  const ranges = rangesInUse(core);
  if (ranges.length === 0) return null;
  return { kind: "memory", ranges, json: {
    name: memoryProgramName,
    ranges: ranges.map((r) => ({ start: hex4(r.start), hex: r.bytes.map(hex2).join("") })),
    start: hex4(ranges[0].start),
  } };
}

// "3 ranges of RAM (1800h-1801h, 1900h-1904h and 2000h)".
function rangesText(ranges) {
  const each = ranges.map((r) => hex4(r.start) + "h" + (r.bytes.length > 1 ? "-" + hex4(r.start + r.bytes.length - 1) + "h" : ""));
  const listed = each.length > 1 ? each.slice(0, -1).join(", ") + " and " + each[each.length - 1] : each[0];
  return plural(ranges.length, "range") + " of RAM (" + listed + ")";
}

export async function shareProgram({ core, sources, say, linkBox }) {
  const program = programToShare({ core, sources });
  if (program === null) {
    say("Share: there is no program to share: the editor is empty and RAM holds nothing.", true);
    return;
  }
  const fragment = await encodeLink("p", JSON.stringify(program.json));
  const base = window.location.href.replace(/#.*$/, "");
  const link = base + fragment;
  const what = program.kind === "source" ? "the source " + program.json.name : rangesText(program.ranges);
  if (link.length > MOST_LINK_CHARACTERS) {
    linkBox.hidden = true;
    say("Share: " + what + " is too large for a link: the link would be " + link.length.toLocaleString("en") +
        " characters long, and links over " + MOST_LINK_CHARACTERS.toLocaleString("en") + " do not open everywhere. " +
        "Send a file instead: Save state writes the whole board to a state file" +
        (program.kind === "source" ? " (or Save source file, the source alone)." : " (or Save hex file, memory alone)."),
        true);
    return;
  }
  linkBox.value = link;
  linkBox.hidden = false;
  linkBox.select();
  let copied = true;
  try {
    await navigator.clipboard.writeText(link);
  } catch {
    copied = false;  // no clipboard without the page's focus or the browser's permission: the box has it
  }
  say("Share: a link to " + what + (copied ? " is on the clipboard and" : "") + " in the box beside Share (" +
      link.length.toLocaleString("en") + " characters). It holds the program itself, after the #: no server sees it.",
      false);
}

// --- opening -------------------------------------------------------------------

const isHexDigits = (text) => typeof text === "string" && /^[0-9A-Fa-f]*$/.test(text);

function address(text, what) {
  if (!isHexDigits(text) || text.length < 1 || text.length > 4) {
    throw new Error(what + " should be an address of 1 to 4 hexadecimal digits, not " + JSON.stringify(text) + ".");
  }
  return parseInt(text, 16);
}

// {name, source} or {name, ranges: [{start, bytes}], start} from the JSON text; throws with what is wrong.
export function readProgram(text) {
  let json;
  try {
    json = JSON.parse(text);
  } catch {
    throw new Error("the program in it is not readable (not JSON).");
  }
  if (json === null || typeof json !== "object" || Array.isArray(json)) throw new Error("it holds no program.");
  const name = typeof json.name === "string" && json.name.trim() !== "" ? json.name.slice(0, 100) : null;
  if (typeof json.source === "string") return { name: name || "program.asm", source: json.source };
  if (!Array.isArray(json.ranges) || json.ranges.length === 0) throw new Error("it holds neither a source nor bytes.");
  const ranges = json.ranges.map((range, i) => {
    const what = "range " + (i + 1);
    const start = address(range && range.start, what + "'s start");
    const hex = range.hex;
    if (!isHexDigits(hex) || hex.length % 2 !== 0) {
      throw new Error(what + "'s bytes should be pairs of hexadecimal digits.");
    }
    if (start + hex.length / 2 > 0x10000) throw new Error(what + " runs past FFFFh.");
    const bytes = new Uint8Array(hex.length / 2);
    for (let b = 0; b < bytes.length; ++b) bytes[b] = parseInt(hex.substr(2 * b, 2), 16);
    return { start, bytes };
  });
  const start = json.start === undefined ? ranges[0].start : address(json.start, "the start");
  return { name: name || memoryProgramName, ranges, start };
}

// Intel HEX of the ranges, for the page's own HEX load.
function hexText(ranges) {
  const lines = [];
  for (const { start, bytes } of ranges) {
    for (let at = 0; at < bytes.length; at += 16) {
      const chunk = bytes.subarray(at, at + 16);
      const record = [chunk.length, ((start + at) >> 8) & 0xFF, (start + at) & 0xFF, 0, ...chunk];
      const sum = record.reduce((s, b) => s + b, 0);
      lines.push(":" + record.map(hex2).join("") + hex2((0x100 - (sum & 0xFF)) & 0xFF));
    }
  }
  return lines.concat(":00000001FF", "").join("\n");
}

// What opening a program would replace that was not kept: the editor's text
// changed since it was last opened or saved; or, when the editor holds no
// text that put them there, bytes in RAM. "" when nothing.
export function unsavedWork({ core, sources }) {
  if (sources.hasUnsavedText()) return "the text in the editor, changed since it was last opened or saved";
  if (sources.text().trim() === "" && rangesInUse(core).length > 0) return "the program in RAM";
  return "";
}

// Opens a link's program (its JSON text) unless the learner keeps their work; then starts it.
export async function openProgram(text, parts) {
  let program;
  try {
    program = readProgram(text);
  } catch (error) {
    parts.say("This link's program could not be opened: " + error.message, true);
    return;
  }
  const unsaved = unsavedWork(parts);
  const what = program.source !== undefined ? "the source " + program.name
                                            : rangesText(program.ranges) + ", started at " + hex4(program.start) + "h";
  if (unsaved !== "" && !(await askToReplace(unsaved, what, parts.pacer))) {
    parts.say("The link's program " + program.name + " was not opened; your work is as it was.", false);
    return;
  }
  if (program.source !== undefined) {
    await parts.examples.startSource(program.name, program.source);
    return;
  }
  // The link holds all of RAM that is not zero: the board starts afresh, so that the rest is zero as it was.
  parts.power.cycle();
  const hex = new TextEncoder().encode(hexText(program.ranges));
  const keys = startProgram(parts, () => (parts.files.loadHexBytes(program.name, hex) === null ? null : program.start));
  if (keys !== null) parts.say(startedText("Loaded the link's " + rangesText(program.ranges), keys), false);
}

// A question over the page, the board standing still as behind the power
// question; Keep (with the focus) or Escape keeps the work.
function askToReplace(unsaved, what, pacer) {
  const dialog = document.createElement("dialog");
  dialog.className = "question";
  dialog.setAttribute("aria-labelledby", "link-caption");
  dialog.innerHTML = '<form method="dialog"><h2 id="link-caption">Open a shared program</h2><p id="link-question"></p>' +
    '<p><button value="open" id="link-open">Open it</button> <button value="keep" id="link-keep">Keep my work</button></p></form>';
  dialog.querySelector("#link-question").textContent = "This link holds " + what +
    ". Opening it replaces " + unsaved + ". Open it?";
  document.body.appendChild(dialog);
  pacer.holds += 1;
  return new Promise((resolve) => {
    dialog.addEventListener("close", () => {
      pacer.holds -= 1;
      dialog.remove();
      resolve(dialog.returnValue === "open");
    });
    dialog.showModal();
    dialog.querySelector("#link-keep").focus();
  });
}
