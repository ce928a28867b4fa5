// Source files (.asm) beside the HEX commands: opened through the picker or
// by dropping them on the page, into the editor; saved as a download of the
// editor's text.
import { download } from "./file_panel.js";

// Far above any program for a 64 KiB board; keeps a wrong file from
// filling the editor.
const largestSource = 4 * 1024 * 1024;
const sourceNamePattern = /\.(asm|z80|s)$/i;

export class SourceFiles {
  // root holds the Open / Save source buttons and the source file input.
  constructor(root, { sources, say }) {
    this.sources = sources;
    this.say = say;
    this.input = root.querySelector("#source-input");
    root.querySelector("#open-source").addEventListener("click", () => this.input.click());
    root.querySelector("#save-source").addEventListener("click", () => this.save());
    this.input.addEventListener("change", () => {
      if (this.input.files.length > 0) this.openFile(this.input.files[0]);
      this.input.value = "";
    });
  }

  // A dropped file: true when it is a source, which then opens in the editor.
  openDropped(file) {
    if (!sourceNamePattern.test(file.name)) return false;
    this.openFile(file);
    return true;
  }

  async openFile(file) {
    if (file.size > largestSource) {
      this.say("There was an error opening the file! " + file.name + " has " + file.size +
               " bytes, more than a source for the board can have (4 MB); the editor was left as it was.", true);
      return;
    }
    let text;
    try {
      text = await file.text();
    } catch {
      this.say("There was an error opening the file! " + file.name + " could not be read.", true);
      return;
    }
    await this.sources.openSource(file.name, text);
  }

  save() {
    if (!this.sources.editor) {
      this.say("Save source file: open the editor and write a program first.", true);
      return;
    }
    const name = this.sources.name;
    const text = this.sources.text();
    download(new TextEncoder().encode(text), name, "text/plain");
    this.sources.keptText = text;
    this.say("Saved the source as " + name + ".", false);
  }
}
