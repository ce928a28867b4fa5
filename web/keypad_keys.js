// The keypad's keys by grid position (as on the keypad picture) and the
// computer keyboard's shortcuts for them.

// Row by row from the top, column 0 at the left, as the picture shows them.
export const keypadLegends = [
  ["RESET", "MOVE", "INS", "SBR", "PC", "C", "D", "E", "F"],
  ["MONI", "RELA", "DEL", "CBR", "REG", "8", "9", "A", "B"],
  ["INTR", "TAPE WR", "STEP", "\u2212", "DATA", "4", "5", "6", "7"],
  ["USER KEY", "TAPE RD", "GO", "+", "ADDR", "0", "1", "2", "3"],
];

// Keyboard key (KeyboardEvent.key, upper case for letters) to keypad legend.
// The letters A-F and digits are the hexadecimal keys; the other letters are
// chosen not to clash with them.
export const shortcuts = [
  { keys: ["0 \u2013 9", "A \u2013 F"], legend: "the hexadecimal keys" },
  { keys: ["X"], legend: "ADDR", match: ["X"] },
  { keys: ["T"], legend: "DATA", match: ["T"] },
  { keys: ["+", "="], legend: "+", match: ["+", "="] },
  { keys: ["\u2212"], legend: "\u2212", match: ["-"] },
  { keys: ["G", "Enter"], legend: "GO", match: ["G", "ENTER"] },
  { keys: ["S"], legend: "STEP", match: ["S"] },
  { keys: ["R"], legend: "REG", match: ["R"] },
  { keys: ["P"], legend: "PC", match: ["P"] },
  { keys: ["M"], legend: "MOVE", match: ["M"] },
  { keys: ["L"], legend: "RELA", match: ["L"] },
  { keys: ["I"], legend: "INS", match: ["I"] },
  { keys: ["K"], legend: "DEL", match: ["K"] },
  { keys: ["Y"], legend: "SBR", match: ["Y"] },
  { keys: ["Z"], legend: "CBR", match: ["Z"] },
  { keys: ["F6"], legend: "RESET", match: ["F6"] },
  { keys: ["F7"], legend: "MONI", match: ["F7"] },
  { keys: ["F8"], legend: "INTR", match: ["F8"] },
  { keys: ["F9"], legend: "USER KEY", match: ["F9"] },
  { keys: ["F2"], legend: "TAPE RD (open hex file)", gridLegend: "TAPE RD", match: ["F2"] },
  { keys: ["F4"], legend: "TAPE WR (save hex file)", gridLegend: "TAPE WR", match: ["F4"] },
];

// The grid position {row, column} of a legend, or null.
export function gridOf(legend) {
  for (let row = 0; row < keypadLegends.length; ++row) {
    const column = keypadLegends[row].indexOf(legend);
    if (column >= 0) return { row, column };
  }
  return null;
}

// The grid position a keyboard event's key stands for, or null.
export function gridForKeyboard(key) {
  const k = key.toUpperCase();
  if (/^[0-9A-F]$/.test(k)) return gridOf(k);
  const shortcut = shortcuts.find((s) => s.match && s.match.includes(k));
  return shortcut ? gridOf(shortcut.gridLegend || shortcut.legend) : null;
}

// The shortcuts as a table of the help section: keyboard keys, keypad key.
export function fillShortcutTable(table) {
  const head = table.createTHead().insertRow();
  for (const title of ["Keyboard", "Keypad"]) {
    const th = document.createElement("th");
    th.textContent = title;
    head.appendChild(th);
  }
  const body = table.createTBody();
  for (const s of shortcuts) {
    const row = body.insertRow();
    const keys = row.insertCell();
    s.keys.forEach((k, i) => {
      if (i > 0) keys.appendChild(document.createTextNode(" or "));
      const kbd = document.createElement("kbd");
      kbd.textContent = k;
      keys.appendChild(kbd);
    });
    row.insertCell().textContent = s.legend;
  }
}
