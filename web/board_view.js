// The board canvas: the board picture with the six digits painted as the
// window paints them, the keypad picture below, and presses on it by mouse,
// touch or keyboard.
"use strict";
var Tarvo = window.Tarvo || (window.Tarvo = {});

Tarvo.canvasWidth = 540;
Tarvo.boardPictureHeight = 498;
// The window's segment colours; every segment has a one-pixel black outline.
Tarvo.litColour = "rgb(255, 64, 64)";
Tarvo.unlitColour = "rgb(96, 0, 0)";

Tarvo.BoardView = function (canvas, core, pictures) {
  this.canvas = canvas;
  this.context = canvas.getContext("2d");
  this.core = core;
  this.context.drawImage(pictures.board, 0, 0);
  this.context.drawImage(pictures.keypad, 0, Tarvo.boardPictureHeight);
  this.paintDigits();
};

// Paints every segment of every digit over the board picture, lit or unlit.
// As in the window, the digits are painted into the picture and stay there:
// nothing of the picture around them is painted again.
Tarvo.BoardView.prototype.paintDigits = function () {
  var rects = this.core.segments();
  var g = this.context;
  for (var i = 0; i < rects.length; i += 6) {
    var left = rects[i], top = rects[i + 1], right = rects[i + 2], bottom = rects[i + 3];
    g.fillStyle = "#000";
    g.fillRect(left, top, right - left + 1, bottom - top + 1);
    g.fillStyle = rects[i + 4] ? Tarvo.litColour : Tarvo.unlitColour;
    g.fillRect(left + 1, top + 1, right - left - 1, bottom - top - 1);
  }
};

// A point of the page to canvas pixels, whatever size CSS gives the canvas.
Tarvo.BoardView.prototype.canvasPoint = function (clientX, clientY) {
  var box = this.canvas.getBoundingClientRect();
  return {
    x: Math.floor(((clientX - box.left) * this.canvas.width) / box.width),
    y: Math.floor(((clientY - box.top) * this.canvas.height) / box.height),
  };
};

// Mouse (left or right button), touch and pen presses go through the
// window's hit test; onPress runs after each, for the tape keys.
Tarvo.BoardView.prototype.listen = function (onPress) {
  var self = this;
  // A mouse or pen presses on the way down, as in the window; a finger when
  // it lifts, since only then may TAPE RD open the browser's file picker.
  var press = function (e) {
    if (e.button !== 0 && e.button !== 2) return;
    e.preventDefault();
    var p = self.canvasPoint(e.clientX, e.clientY);
    if (self.core.pressAt(p.x, p.y)) onPress();
  };
  this.canvas.addEventListener("pointerdown", function (e) { if (e.pointerType !== "touch") press(e); });
  this.canvas.addEventListener("pointerup", function (e) { if (e.pointerType === "touch") press(e); });
  // A right-button press is a key press like any other: no menu after it.
  this.canvas.addEventListener("contextmenu", function (e) { e.preventDefault(); });
  document.addEventListener("keydown", function (e) {
    if (e.ctrlKey || e.altKey || e.metaKey || e.repeat) return;
    var target = e.target;
    if (target && (target.tagName === "INPUT" || target.tagName === "SELECT" || target.tagName === "TEXTAREA")) return;
    if (!document.getElementById("range-overlay").hidden) return;
    // Enter on a focused button belongs to the button.
    if (e.key === "Enter" && target && target.tagName === "BUTTON") return;
    var grid = Tarvo.gridForKeyboard(e.key);
    if (grid === null) return;
    e.preventDefault();
    self.core.pressKey(grid.row, grid.column);
    onPress();
  });
};
