// The board canvas: the board picture with the six digits painted as the
// window paints them, the keypad picture below, and presses on it by mouse,
// touch or keyboard; beside it, the display as text for screen readers.
import { gridForKeyboard } from "./keypad_keys.js";

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

// Focus in a text field or list (the source editor too) keeps the keys for itself.
const fieldTags = ["INPUT", "SELECT", "TEXTAREA"];
const isTextField = (target) => target && (fieldTags.includes(target.tagName) || target.isContentEditable);

export class BoardView {
  // root holds the canvas (#board) and the display's text (#display-text).
  constructor(root, core, pictures) {
    this.core = core;
    this.canvas = root.querySelector("#board");
    this.displayText = root.querySelector("#display-text");
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

  // A point of the page to canvas pixels, whatever size CSS gives the canvas.
  canvasPoint(clientX, clientY) {
    const box = this.canvas.getBoundingClientRect();
    return {
      x: Math.floor(((clientX - box.left) * this.canvas.width) / box.width),
      y: Math.floor(((clientY - box.top) * this.canvas.height) / box.height),
    };
  }

  // Mouse (left or right button), touch and pen presses go through the
  // window's hit test, keyboard shortcuts while keysAllowed() says so;
  // onPress runs after each, for the tape keys.
  listen({ onPress, keysAllowed }) {
    // A mouse or pen presses on the way down, as in the window; a finger when
    // it lifts, since only then may TAPE RD open the browser's file picker.
    const press = (e) => {
      if (e.button !== 0 && e.button !== 2) return;
      e.preventDefault();
      const p = this.canvasPoint(e.clientX, e.clientY);
      if (this.core.pressAt(p.x, p.y)) onPress();
    };
    this.canvas.addEventListener("pointerdown", (e) => { if (e.pointerType !== "touch") press(e); });
    this.canvas.addEventListener("pointerup", (e) => { if (e.pointerType === "touch") press(e); });
    // A right-button press is a key press like any other: no menu after it.
    this.canvas.addEventListener("contextmenu", (e) => e.preventDefault());
    document.addEventListener("keydown", (e) => {
      if (e.ctrlKey || e.altKey || e.metaKey || e.repeat) return;
      const target = e.target;
      if (isTextField(target)) return;
      if (!keysAllowed()) return;
      // Enter on a focused button belongs to the button.
      if (e.key === "Enter" && target && target.tagName === "BUTTON") return;
      const grid = gridForKeyboard(e.key);
      if (grid === null) return;
      e.preventDefault();
      this.core.pressKey(grid.row, grid.column);
      onPress();
    });
  }
}
