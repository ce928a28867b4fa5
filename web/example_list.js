// The list of example programs that the site carries (examples/examples.json,
// written by make_site.py): a button for each, which loads it as Intel HEX.
export class ExampleList {
  // root holds the list (#examples); load(name, bytes) puts a program into memory.
  constructor(root, { load, say }) {
    this.list = root.querySelector("#examples");
    this.load = load;
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
    try {
      const response = await fetch("examples/" + file);
      if (!response.ok) throw new Error(response.statusText);
      this.load(file, new Uint8Array(await response.arrayBuffer()));
    } catch {
      this.say("There was an error opening the file! examples/" + file + " could not be fetched.", true);
    }
  }
}
