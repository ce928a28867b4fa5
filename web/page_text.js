// The page's texts: hexadecimal numbers as the board shows them, and the
// message line that every panel writes to.

export const hex2 = (value) => value.toString(16).toUpperCase().padStart(2, "0");
export const hex4 = (value) => value.toString(16).toUpperCase().padStart(4, "0");
// "1 key", "3 keys".
export const plural = (count, one) => count + " " + one + (count === 1 ? "" : "s");

// say(text, isError) for the given element: one message at a time, errors marked.
export function messageLine(element) {
  return (text, isError) => {
    element.textContent = text;
    element.className = isError ? "error" : "";
  };
}
