// The ways into an exercise, there from the start: the shipped exercises
// listed, "Open exercise file...", and an exercise link. The panel that
// shows one and checks it (exercise_panel.js) is loaded when the first one
// opens, with the checker's module (check_core.js), so that neither is part
// of the page's first load.
import { loadChecker } from "./check_core.js";

const listUrl = "exercises/exercises.json";
// Far above any exercise; keeps a wrong file out of the panel.
const largestExercise = 1024 * 1024;

export class ExerciseEntry {
  // root is the exercise panel (#exercise-panel); sources the program
  // source's panel, where an exercise's starting source goes.
  constructor(root, { core, sources, say }) {
    this.root = root;
    this.parts = { core, sources, say };
    this.say = say;
    this.loading = null;
    this.input = root.querySelector("#exercise-input");
    root.querySelector("#open-exercise").addEventListener("click", () => this.input.click());
    this.input.addEventListener("change", () => {
      if (this.input.files.length > 0) this.openFile(this.input.files[0]);
      this.input.value = "";
    });
    root.querySelector("#exercise-list").addEventListener("click", (e) => {
      const button = e.target.closest("button[data-file]");
      if (button) this.openShipped(button.dataset.file);
    });
  }

  // The shipped exercises, in order, a button each.
  async fill() {
    const list = this.root.querySelector("#exercise-list");
    try {
      const response = await fetch(listUrl);
      if (!response.ok) throw new Error(response.statusText);
      for (const { file, title } of await response.json()) {
        const item = document.createElement("li");
        const button = document.createElement("button");
        button.type = "button";
        button.dataset.file = file;
        button.textContent = title;
        item.append(button);
        list.append(item);
      }
    } catch (error) {
      list.textContent = "The exercises could not be listed: " + error.message;
    }
  }

  // The panel, loaded on first use.
  panel() {
    if (!this.loading) {
      this.loading = Promise.all([import("./exercise_panel.js"), loadChecker()])
        .then(([{ ExercisePanel }, checker]) => new ExercisePanel(this.root, { ...this.parts, checker }))
        .catch((error) => {
          this.loading = null;
          this.say("The exercise panel could not be loaded: " + error.message, true);
          throw error;
        });
    }
    return this.loading;
  }

  // The exercise's text under a file name: shown, its starting source offered to the editor.
  async open(name, text) {
    return (await this.panel()).open(name, text);
  }

  async openShipped(file) {
    let text;
    try {
      const response = await fetch("exercises/" + file);
      if (!response.ok) throw new Error(response.statusText);
      text = await response.text();
    } catch (error) {
      this.say("There was an error opening the exercise " + file + ": " + error.message, true);
      return false;
    }
    return this.open(file, text);
  }

  async openFile(file) {
    if (file.size > largestExercise) {
      this.say("There was an error opening the exercise! " + file.name + " has " + file.size +
               " bytes, more than an exercise file has (1 MB).", true);
      return false;
    }
    let text;
    try {
      text = await file.text();
    } catch {
      this.say("There was an error opening the exercise! " + file.name + " could not be read.", true);
      return false;
    }
    return this.open(file.name, text);
  }
}
