// The board canvas: the board picture with the six digits painted as the
// window paints them, the keypad picture below, and presses on it by mouse,
// touch or keyboard, each shown for a moment on the key; over the board, a
// line that says when the run is paused and how many typed keys wait; beside
// it, the display as text for screen readers.
import { isTextField } from "./focus.js";
import { gridForKeyboard, keypadLegends } from "./keypad_keys.js";
import { plural } from "./page_text.js";

function loadPicture(src) {
  return new Promise((resolve, reject) => {
    const picture = new Image();
    picture.onload = () => resolve(picture);
    picture.onerror = () => reject(new Error("could not load " + src));
    picture.src = src;
  });
}

// The two pictures the canvas is made of, as the site carries them.
export async function loadBoardPictures() {
  const [board, keypad] = await Promise.all([loadPicture("board.png"), loadPicture("keypad.png")]);
  return { board, keypad };
}

// How long a pressed key stays darkened.
const pressShownMs = 200;
// Keys that a running program leaves waiting this long are shown as waiting.
const slowKeysMs = 500;

export class BoardView {
  // root holds the canvas (#board), the display's text (#display-text) and
  // the status line over the board (#board-status).
  constructor(root, core, pictures) {
    this.core = core;
    this.pictures = pictures;
    this.canvas = root.querySelector("#board");
    this.displayText = root.querySelector("#display-text");
    this.status = root.querySelector("#board-status");
    this.waitingSince = null;
    const layout = core.layout;
    this.canvas.width = layout.canvasWidth;
    this.canvas.height = layout.canvasHeight;
    this.context = this.canvas.getContext("2d");
    this.context.drawImage(pictures.board, 0, 0);
    this.context.drawImage(pictures.keypad, 0, layout.boardPictureHeight);
    this.showDisplay();
  }

  // Paints every segment of every digit over the board picture, lit or unlit,
  // each with a one-pixel black outline. As in the window, the digits are
  // painted into the picture and stay there: nothing of the picture around
  // them is painted again.
  showDisplay() {
    const g = this.context;
    const { litColour, unlitColour } = this.core.layout;
    for (const s of this.core.segments()) {
      g.fillStyle = "#000";
      g.fillRect(s.left, s.top, s.right - s.left + 1, s.bottom - s.top + 1);
      g.fillStyle = s.lit ? litColour : unlitColour;
      g.fillRect(s.left + 1, s.top + 1, s.right - s.left - 1, s.bottom - s.top - 1);
    }
    this.displayText.textContent = "Display: " + this.core.displayText();
  }

  // The line over the board: "Paused at ...h" while the run is paused, and the
  // keys typed that the program has not taken, at once while paused, else once
  // they have waited a while (a program that does not read the keypad).
  showStatus(paused, pc) {
    const waiting = this.core.keysWaiting();
    const now = performance.now();
    if (waiting === 0) this.waitingSince = null;
    else if (this.waitingSince === null) this.waitingSince = now;
    const parts = [];
    if (paused) parts.push("Paused at " + pc + "h: Run in the CPU panel goes on");
    if (waiting > 0 && (paused || now - this.waitingSince >= slowKeysMs)) parts.push(plural(waiting, "key") + " waiting");
    const text = parts.join(" \u00b7 ");
    if (this.status.textContent !== text) this.status.textContent = text;
    this.status.hidden = text === "";
  }

  focus() { this.canvas.focus({ preventScroll: true }); }

  // A point of the page to canvas pixels, whatever size CSS gives the canvas.
  canvasPoint(clientX, clientY) {
    const box = this.canvas.getBoundingClientRect();
    return {
      x: Math.floor(((clientX - box.left) * this.canvas.width) / box.width),
      y: Math.floor(((clientY - box.top) * this.canvas.height) / box.height),
    };
  }

  // A key's cell on the canvas, from the keypad picture's 9 by 4 grid.
  cellOf(grid) {
    const { canvasWidth, boardPictureHeight, keypadPictureHeight } = this.core.layout;
    const w = canvasWidth / keypadLegends[0].length;
    const h = keypadPictureHeight / keypadLegends.length;
    return { x: Math.round(grid.column * w), y: Math.round(grid.row * h), w: Math.round(w), h: Math.round(h),
             top: boardPictureHeight };
  }

  // Darkens the key's cell for a moment, then paints the keypad picture back.
  showPressed(grid) {
    const c = this.cellOf(grid);
    this.context.fillStyle = "rgba(0, 0, 0, 0.45)";
    this.context.fillRect(c.x, c.top + c.y, c.w, c.h);
    setTimeout(() => this.context.drawImage(this.pictures.keypad, c.x, c.y, c.w, c.h, c.x, c.top + c.y, c.w, c.h),
               pressShownMs);
  }

  // Mouse (left or right button), touch and pen presses go through the
  // window's hit test, keyboard shortcuts while keysAllowed() says so and the
  // focus is not in a text field; each press is shown on its key and handed to
  // press(grid).
  listen({ press, keysAllowed }) {
    const pressGrid = (grid) => {
      this.showPressed(grid);
      press(grid);
    };
    // A mouse or pen presses on the way down, as in the window; a finger when
    // it lifts, since only then may TAPE RD open the browser's file picker.
    // Either way the board takes the focus, so that the shortcuts are its own.
    const pointer = (e) => {
      if (e.button !== 0 && e.button !== 2) return;
      e.preventDefault();
      this.focus();
      const p = this.canvasPoint(e.clientX, e.clientY);
      const grid = this.core.keyAt(p.x, p.y);
      if (grid !== null) pressGrid(grid);
    };
    this.canvas.addEventListener("pointerdown", (e) => { if (e.pointerType !== "touch") pointer(e); });
    this.canvas.addEventListener("pointerup", (e) => { if (e.pointerType === "touch") pointer(e); });
    // A right-button press is a key press like any other: no menu after it.
    this.canvas.addEventListener("contextmenu", (e) => e.preventDefault());
    document.addEventListener("keydown", (e) => {
      if (e.ctrlKey || e.altKey || e.metaKey || e.repeat) return;
      const target = e.target;
      if (isTextField(target) || !keysAllowed()) return;
      // Enter on a button reached with Tab belongs to the button.
      if (e.key === "Enter" && target && target.tagName === "BUTTON") return;
      const grid = gridForKeyboard(e.key);
      if (grid === null) return;
      e.preventDefault();
      pressGrid(grid);
    });
  }
}
