// A program started as a learner starts it: RESET first, so that no program
// still running meets the new one half loaded; the program put into memory;
// then ADDR, its first address and GO through the key queue. The run goes on
// if it was paused, for the keys to arrive.
import { gridOf } from "./keypad_keys.js";
import { hex4 } from "./page_text.js";

// load() puts the program into memory and gives its first address, or null
// when it could not (it has said why). Returns the keys typed, or null.
export function startProgram({ press, pacer }, load) {
  press(gridOf("RESET"));
  const start = load();
  if (start === null) return null;
  const keys = ["ADDR", ...hex4(start), "GO"];
  for (const legend of keys) press(gridOf(legend));
  pacer.paused = false;
  return keys;
}

// What the message line says after startProgram.
export const startedText = (what, keys) => what + " after RESET, and typed " + keys.join(" ") + " to start it.";
