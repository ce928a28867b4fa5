// The file commands of the page: Intel HEX and binary files opened through a
// picker or by dropping them, saved as downloads, the address range asked in
// the range form. The core's own readers and writers do the work.
import { TapeKey } from "./core.js";
import { loadWarnings } from "./memory_areas.js";
import { hex2, hex4, plural } from "./page_text.js";

const programName = "Tarvo Emulator";

// The two saves: the core writes the file, the page hands it to the browser as a download.
const saveKinds = {
  hex: { caption: "Save mem as Intel Hex", rule: "Saves From up to To, both included.", type: "text/plain" },
  bin: { caption: "Save memory as binary file", rule: "Saves From up to To \u2212 1.", type: "application/octet-stream" },
};
const binaryCaption = "Read binary file";
const binaryRule = "Bytes go to From up to To \u2212 1.";

export class FilePanel {
  // root holds the four command buttons and the two file inputs.
  constructor(root, { core, ranges, say }) {
    this.core = core;
    this.ranges = ranges;
    this.say = say;
    this.hexInput = root.querySelector("#hex-input");
    this.binaryInput = root.querySelector("#binary-input");
    this.pendingBinaryRange = null;
    root.querySelector("#open-hex").addEventListener("click", () => this.hexInput.click());
    root.querySelector("#open-binary").addEventListener("click", () => this.chooseBinaryFile());
    root.querySelector("#save-hex").addEventListener("click", () => this.saveFile("hex"));
    root.querySelector("#save-binary").addEventListener("click", () => this.saveFile("bin"));
    this.hexInput.addEventListener("change", () => {
      if (this.hexInput.files.length > 0) this.openHexFile(this.hexInput.files[0]);
      this.hexInput.value = "";
    });
    this.binaryInput.addEventListener("change", () => {
      const range = this.pendingBinaryRange;
      if (this.binaryInput.files.length > 0 && range) {
        const file = this.binaryInput.files[0];
        this.readFile(file, (bytes) => this.loadBinaryBytes(file.name, bytes, range.from, range.to));
      }
      this.binaryInput.value = "";
    });
  }

  // A dropped .hex file opens as Intel HEX, a file that openSource(file)
  // takes (a .asm source) in the editor, any other file as binary.
  acceptDropsOn(target, openSource) {
    target.addEventListener("dragover", (e) => e.preventDefault());
    target.addEventListener("drop", (e) => {
      e.preventDefault();
      const files = e.dataTransfer ? e.dataTransfer.files : null;
      if (!files || files.length === 0) return;
      if (/\.(hex|ihx)$/i.test(files[0].name)) this.openHexFile(files[0]);
      else if (!openSource(files[0])) this.openBinaryFile(files[0]);
    });
  }

  // TAPE RD and TAPE WR, from the keypad: the hex file commands, as in the window.
  tapeCommand(command) {
    if (command === TapeKey.read) this.hexInput.click();
    else if (command === TapeKey.write) this.saveFile("hex");
  }

  // --- opening -----------------------------------------------------------------

  readFile(file, then) {
    const reader = new FileReader();
    reader.onload = () => then(new Uint8Array(reader.result));
    reader.onerror = () => this.say("There was an error opening the file! " + file.name + " could not be read.", true);
    reader.readAsArrayBuffer(file);
  }

  // Also the way in for programs from the page's own lists. Returns what the
  // load wrote (core.openHex), or null when the file was bad.
  loadHexBytes(name, bytes) {
    const loaded = this.core.openHex(bytes);
    if (loaded.result < 0) {
      const line = loaded.badLine;
      const checksums = loaded.checksumGiven < 0 ? ""
        : " (the line gives " + hex2(loaded.checksumGiven) + ", its bytes need " + hex2(loaded.checksumWanted) + ")";
      this.say("There was an error opening the file! " + name + " is not a valid Intel HEX file: " +
               (line > 0 ? name + ":" + line + ": " + loaded.reason + checksums + "; the records before line " + line +
                           " were loaded." : "it could not be read."), true);
      return null;
    }
    document.title = name + " - " + programName;
    const where = loaded.written === 0 ? "no data records."
      : plural(loaded.written, "byte") + ", " + hex4(loaded.lowest) + "h to " + hex4(loaded.highest) + "h.";
    this.say(joined("Loaded " + name + ": " + where, loadWarnings(this.core, loaded)), false);
    return loaded;
  }

  loadBinaryBytes(name, fileBytes, from, to) {
    const loaded = this.core.openBinary(fileBytes, from, to);
    if (loaded.result < 0) {
      this.say("There was an error opening the file! " + name + " could not be read.", true);
      return;
    }
    document.title = name + " - " + programName;
    const dropped = fileBytes.length - loaded.written;
    const where = loaded.written === 0 ? "nothing" : plural(loaded.written, "byte") + " at " + hex4(from) + "h-" +
                  hex4(from + loaded.written - 1) + "h";
    const rest = dropped > 0 ? "; dropped the file's last " + plural(dropped, "byte") + ": the range stops before " +
                               hex4(to) + "h (To)."
               : loaded.result === 0 ? " (the file ended before " + hex4(to) + "h)." : ".";
    this.say(joined("Loaded " + name + ": " + where + rest, loadWarnings(this.core, loaded)), false);
  }

  openHexFile(file) {
    this.readFile(file, (bytes) => this.loadHexBytes(file.name, bytes));
  }

  // The range first, then the file, in the window's order.
  openBinaryFile(file) {
    this.ranges.ask(binaryCaption, binaryRule, (from, to) => {
      this.readFile(file, (bytes) => this.loadBinaryBytes(file.name, bytes, from, to));
    });
  }

  chooseBinaryFile() {
    this.ranges.ask(binaryCaption, binaryRule, (from, to) => {
      this.pendingBinaryRange = { from, to };
      this.binaryInput.click();
    });
  }

  // --- saving ------------------------------------------------------------------

  saveFile(suffix) {
    const kind = saveKinds[suffix];
    this.ranges.ask(kind.caption, kind.rule, (from, to) => {
      const bytes = this.core.save(suffix, from, to);
      if (bytes === null) {
        this.say("There was an error saving the file!", true);
        return;
      }
      const name = "tarvo-" + hex4(from) + "-" + hex4(to) + "." + suffix;
      download(bytes, name, kind.type);
      const count = suffix === "hex" ? to - from + 1 : to - from;
      this.say("Saved " + count + " bytes from " + hex4(from) + "h as " + name + ".", false);
    });
  }
}

const joined = (text, warnings) => (warnings === "" ? text : text + " Warning: " + warnings);

export function download(bytes, name, type) {
  const link = document.createElement("a");
  link.href = URL.createObjectURL(new Blob([bytes], { type }));
  link.download = name;
  document.body.appendChild(link);
  link.click();
  link.remove();
  setTimeout(() => URL.revokeObjectURL(link.href), 10000);
}
