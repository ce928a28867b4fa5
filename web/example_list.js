// The list of example programs that the site carries (examples/examples.json,
// written by make_site.py): a button for each, which starts it as a learner
// would: RESET, the program loaded as Intel HEX, then ADDR, its first
// address and GO typed through the key queue.
import { gridOf } from "./keypad_keys.js";
import { hex4 } from "./page_text.js";

export class ExampleList {
  // root holds the list (#examples); load(name, bytes) puts a program into
  // memory and gives what the load wrote (null when it failed); press(grid)
  // presses a keypad key.
  constructor(root, { load, press, pacer, say }) {
    this.list = root.querySelector("#examples");
    this.load = load;
    this.press = press;
    this.pacer = pacer;
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
      button.textContent = example.file;
      button.addEventListener("click", () => this.fetchExample(example.file));
      item.appendChild(button);
      item.appendChild(document.createTextNode(" " + example.about));
      this.list.appendChild(item);
    }
  }

  async fetchExample(file) {
    let bytes;
    try {
      const response = await fetch("examples/" + file);
      if (!response.ok) throw new Error(response.statusText);
      bytes = new Uint8Array(await response.arrayBuffer());
    } catch {
      this.say("There was an error opening the file! examples/" + file + " could not be fetched.", true);
      return;
    }
    this.start(file, bytes);
  }

  // RESET first, so that no program still running meets the new one half
  // loaded; the run goes on if it was paused, for the keys to arrive.
  start(file, bytes) {
    this.press(gridOf("RESET"));
    const loaded = this.load(file, bytes);
    if (loaded === null || loaded.lowest < 0) return;
    const keys = ["ADDR", ...hex4(loaded.lowest), "GO"];
    for (const legend of keys) this.press(gridOf(legend));
    this.pacer.paused = false;
    this.say("Loaded " + file + " after RESET, and typed " + keys.join(" ") + " to start it.", false);
  }
}
