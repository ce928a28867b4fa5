// The list of example programs that the site carries (examples/examples.json,
// written by make_site.py): a button for each, which starts it as a learner
// would (program_start.js). An example with a source opens in the editor and
// is assembled into memory; one without is loaded as Intel HEX.
import { startProgram, startedText } from "./program_start.js";

export class ExampleList {
  // root holds the list (#examples); load(name, bytes) puts a program into
  // memory and gives what the load wrote (null when it failed); sources is
  // the source panel; press(grid) presses a keypad key.
  constructor(root, { load, sources, press, pacer, say }) {
    this.list = root.querySelector("#examples");
    this.load = load;
    this.sources = sources;
    this.starter = { press, pacer };
    this.say = say;
  }

  async fill() {
    let examples;
    try {
      examples = await (await fetch("examples/examples.json")).json();
    } catch {
      this.say("The list of examples could not be fetched.", true);
      return;
    }
    for (const example of examples) {
      const item = document.createElement("li");
      const button = document.createElement("button");
      button.type = "button";
      button.textContent = example.source || example.file;
      button.addEventListener("click", () => this.fetchExample(example));
      item.appendChild(button);
      item.appendChild(document.createTextNode(" " + example.about));
      this.list.appendChild(item);
    }
  }

  async fetchExample(example) {
    const file = example.source || example.file;
    let body;
    try {
      const response = await fetch("examples/" + file);
      if (!response.ok) throw new Error(response.statusText);
      body = example.source ? await response.text() : new Uint8Array(await response.arrayBuffer());
    } catch {
      this.say("There was an error opening the file! examples/" + file + " could not be fetched.", true);
      return;
    }
    if (example.source) await this.startSource(file, body);
    else this.startHex(file, body);
  }

  async startSource(file, text) {
    try {
      await this.sources.openSource(file, text);
    } catch {
      return;  // the source panel has said why
    }
    const keys = startProgram(this.starter, () => this.sources.assembleToStart());
    if (keys !== null) this.say(startedText("Assembled " + file, keys), false);
  }

  startHex(file, bytes) {
    const keys = startProgram(this.starter, () => {
      const loaded = this.load(file, bytes);
      return loaded === null || loaded.lowest < 0 ? null : loaded.lowest;
    });
    if (keys !== null) this.say(startedText("Loaded " + file, keys), false);
  }
}
