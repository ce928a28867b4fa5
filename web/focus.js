// Where the keyboard's keys go: to the board, unless the focus is in a text
// field. isTextField is the one check for that; an element that takes typing
// of its own (an editor, say) is covered when it is contenteditable, or can
// be marked with the attribute data-text-field.

const textInputTypes = ["text", "search", "number", "email", "password", "tel", "url"];

export function isTextField(element) {
  if (!element || element.nodeType !== Node.ELEMENT_NODE) return false;
  if (element.isContentEditable || element.closest("[data-text-field]")) return true;
  if (element.tagName === "TEXTAREA") return true;
  return element.tagName === "INPUT" && textInputTypes.includes(element.type);
}

// Hands the focus back to the board (focusBoard) after the page's other
// controls have been used with a mouse or a finger: a button clicked, an entry
// chosen from a list. A control reached with Tab keeps the focus, so that
// Enter and Space stay its own for keyboard users. Escape in a text field
// leaves it for the board too.
export function returnFocusToBoard(focusBoard) {
  let pointedAt = null;  // the control the last pointer press went to
  document.addEventListener("pointerdown", (e) => { pointedAt = e.target.closest("button, select"); }, true);
  document.addEventListener("keydown", (e) => {
    if (e.key !== "Tab") return;
    pointedAt = null;
  }, true);
  const leftWith = (control) => {
    const focused = document.activeElement;
    // The control kept the focus, or lost it by going away (a form closed, a list rebuilt).
    if (focused === control || focused === null || focused === document.body) focusBoard();
    pointedAt = null;
  };
  // A click's detail counts the pointer's clicks: 0 for Enter or Space on a focused button.
  document.addEventListener("click", (e) => {
    const button = e.target.closest("button");
    if (button && e.detail > 0) leftWith(button);
  });
  document.addEventListener("change", (e) => {
    if (e.target.tagName === "SELECT" && pointedAt === e.target) leftWith(e.target);
  });
  document.addEventListener("keydown", (e) => {
    if (e.key === "Escape" && isTextField(e.target)) focusBoard();
  });
}
