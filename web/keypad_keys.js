// The keypad's keys by grid position (as on the keypad picture) and the
// computer keyboard's shortcuts for them.
"use strict";
var Tarvo = window.Tarvo || (window.Tarvo = {});

// Row by row from the top, column 0 at the left, as the picture shows them.
Tarvo.keypadLegends = [
  ["RESET", "MOVE", "INS", "SBR", "PC", "C", "D", "E", "F"],
  ["MONI", "RELA", "DEL", "CBR", "REG", "8", "9", "A", "B"],
  ["INTR", "TAPE WR", "STEP", "\u2212", "DATA", "4", "5", "6", "7"],
  ["USER KEY", "TAPE RD", "GO", "+", "ADDR", "0", "1", "2", "3"],
];

// Keyboard key (KeyboardEvent.key, upper case for letters) to keypad legend.
// The letters A-F and digits are the hexadecimal keys; the other letters are
// chosen not to clash with them.
Tarvo.shortcuts = [
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
Tarvo.gridOf = function (legend) {
  for (var row = 0; row < Tarvo.keypadLegends.length; ++row) {
    var column = Tarvo.keypadLegends[row].indexOf(legend);
    if (column >= 0) return { row: row, column: column };
  }
  return null;
};

// The grid position a keyboard event stands for, or null.
Tarvo.gridForKeyboard = function (key) {
  var k = key.toUpperCase();
  if (/^[0-9A-F]$/.test(k)) return Tarvo.gridOf(k);
  for (var i = 0; i < Tarvo.shortcuts.length; ++i) {
    var s = Tarvo.shortcuts[i];
    if (s.match && s.match.indexOf(k) >= 0) return Tarvo.gridOf(s.gridLegend || s.legend);
  }
  return null;
};

Tarvo.fillShortcutTable = function (table) {
  var head = table.createTHead().insertRow();
  ["Keyboard", "Keypad"].forEach(function (t) {
    var th = document.createElement("th");
    th.textContent = t;
    head.appendChild(th);
  });
  var body = table.createTBody();
  Tarvo.shortcuts.forEach(function (s) {
    var row = body.insertRow();
    var keys = row.insertCell();
    s.keys.forEach(function (k, i) {
      if (i > 0) keys.appendChild(document.createTextNode(" or "));
      var kbd = document.createElement("kbd");
      kbd.textContent = k;
      keys.appendChild(kbd);
    });
    row.insertCell().textContent = s.legend;
  });
};
