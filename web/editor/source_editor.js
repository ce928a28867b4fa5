// The page's source editor: CodeMirror 6 with line numbers, Z80 colouring,
// undo, find, a gutter for breakpoints, the assembler's messages at their
// lines, and the line of the instruction the CPU stands on. esbuild bundles
// it with CodeMirror at build time into the site's source_editor.js, which
// the page loads when the editor is first opened.
//
// What the last Assemble said about each line (the address and size of its
// bytes) is kept as marks in the text that move with it as it is edited, so
// that breakpoints and the CPU's line stay on their lines until the next
// Assemble.
import { EditorState, RangeSet, RangeValue, StateEffect, StateField } from "@codemirror/state";
import { Decoration, EditorView, GutterMarker, WidgetType, drawSelection, gutter, highlightActiveLine,
         highlightSpecialChars, keymap, lineNumbers } from "@codemirror/view";
import { defaultKeymap, history, historyKeymap, insertTab } from "@codemirror/commands";
import { highlightSelectionMatches, search, searchKeymap } from "@codemirror/search";
import { HighlightStyle, syntaxHighlighting } from "@codemirror/language";
import { tags } from "@lezer/highlight";
import { z80Language } from "./z80_language.js";

const colours = HighlightStyle.define([
  { tag: tags.comment, color: "#707070", fontStyle: "italic" },
  { tag: tags.string, color: "#1a7f37" },
  { tag: tags.number, color: "#9a4f00" },
  { tag: tags.keyword, color: "#8250df" },
  { tag: tags.operatorKeyword, color: "#8250df" },
  { tag: tags.controlKeyword, color: "#0550ae", fontWeight: "600" },
  { tag: tags.atom, color: "#0a7c86" },
  { tag: tags.labelName, color: "#a40e26", fontWeight: "600" },
]);

// --- the line map of the last Assemble ---------------------------------------

class LineCode extends RangeValue {
  constructor(address, size) {
    super();
    this.address = address;
    this.size = size;
  }
}
LineCode.prototype.point = true;

const setLineMap = StateEffect.define();
const lineMap = StateField.define({
  create: () => RangeSet.empty,
  update: (map, tr) => {
    for (const e of tr.effects) if (e.is(setLineMap)) return e.value;
    return map.map(tr.changes);
  },
});

// --- breakpoints and the CPU's line ------------------------------------------

const setBreakpoints = StateEffect.define();
const breakpoints = StateField.define({
  create: () => new Set(),
  update: (set, tr) => tr.effects.reduce((s, e) => (e.is(setBreakpoints) ? e.value : s), set),
});

const setCpuLine = StateEffect.define();  // a position in the text, or null
const cpuLine = StateField.define({
  create: () => null,
  update: (at, tr) => {
    for (const e of tr.effects) if (e.is(setCpuLine)) return e.value;
    return at === null ? null : tr.changes.mapPos(at);
  },
  provide: (field) => EditorView.decorations.from(field, (at) =>
    at === null ? Decoration.none : Decoration.set([Decoration.line({ class: "cm-cpu-line" }).range(at)])),
});

// A gutter mark: one or more signs, each [text, class], and a title.
class Mark extends GutterMarker {
  constructor(signs, title) {
    super();
    this.signs = signs;
    this.title = title;
  }
  eq(other) { return other.signs === this.signs && other.title === this.title; }
  toDOM() {
    const box = document.createElement("span");
    for (const [text, className] of this.signs) {
      const sign = document.createElement("span");
      sign.textContent = text;
      sign.className = className;
      box.appendChild(sign);
    }
    box.title = this.title;
    return box;
  }
}
const breakpointSign = ["\u25CF", "cm-breakpoint-mark"];
const cpuSign = ["\u25B6", "cm-cpu-mark"];
const breakpointMark = new Mark([breakpointSign], "breakpoint: click to clear");
const cpuMark = new Mark([cpuSign], "the CPU stands here");
const cpuAtBreakpointMark = new Mark([breakpointSign, cpuSign], "a breakpoint, where the CPU stands");

function codeAtLine(state, line) {
  let found = null;
  state.field(lineMap).between(line.from, line.from, (from, to, value) => {
    if (from === line.from) found = value;
  });
  return found;
}

// --- the assembler's messages ---------------------------------------------------

class MessageWidget extends WidgetType {
  constructor(messages) {
    super();
    this.messages = messages;
  }
  eq(other) { return other.messages === this.messages; }
  toDOM() {
    const box = document.createElement("div");
    box.className = "cm-asm-messages";
    for (const m of this.messages) {
      const line = document.createElement("div");
      line.className = m.error ? "cm-asm-error" : "cm-asm-warning";
      line.textContent = (m.error ? "error: " : "warning: ") + m.text;
      box.appendChild(line);
    }
    return box;
  }
}

const setMessages = StateEffect.define();  // [{line, column, error, text}]
const messageMarks = StateField.define({
  create: () => ({ decorations: Decoration.none, gutter: RangeSet.empty }),
  update: (marks, tr) => {
    for (const e of tr.effects) if (e.is(setMessages)) return messageDecorations(tr.state.doc, e.value);
    return { decorations: marks.decorations.map(tr.changes), gutter: marks.gutter.map(tr.changes) };
  },
  provide: (field) => EditorView.decorations.from(field, (marks) => marks.decorations),
});

function messageDecorations(doc, messages) {
  const byLine = new Map();
  for (const m of messages) {
    if (m.line < 1 || m.line > doc.lines) continue;
    if (!byLine.has(m.line)) byLine.set(m.line, []);
    byLine.get(m.line).push(m);
  }
  const decorations = [];
  const marks = [];
  for (const [number, list] of [...byLine.entries()].sort((a, b) => a[0] - b[0])) {
    const line = doc.line(number);
    const error = list.some((m) => m.error);
    decorations.push(Decoration.line({ class: error ? "cm-error-line" : "cm-warning-line" }).range(line.from));
    decorations.push(Decoration.widget({ widget: new MessageWidget(list), block: true, side: 1 }).range(line.to));
    marks.push(new Mark([[error ? "\u2716" : "\u25B2", error ? "cm-error-mark" : "cm-warning-mark"]],
                        list.map((m) => m.text).join("\n")).range(line.from));
  }
  return { decorations: Decoration.set(decorations, true), gutter: RangeSet.of(marks, true) };
}

const theme = EditorView.theme({
  "&": { height: "100%", fontSize: "14px", backgroundColor: "#fff" },
  ".cm-scroller": { fontFamily: "ui-monospace, 'DejaVu Sans Mono', monospace" },
  ".cm-stop-gutter .cm-gutterElement": { cursor: "pointer", padding: "0 2px" },
  ".cm-lineNumbers .cm-gutterElement": { cursor: "pointer" },
  ".cm-breakpoint-mark": { color: "#c00000" },
  ".cm-cpu-mark": { color: "#b06000" },
  ".cm-cpu-line": { backgroundColor: "#ffe08a" },
  ".cm-error-line": { backgroundColor: "#fde7e7" },
  ".cm-warning-line": { backgroundColor: "#fff6d6" },
  ".cm-error-mark": { color: "#c00000" },
  ".cm-warning-mark": { color: "#a06000" },
  ".cm-asm-messages": { fontFamily: "system-ui, sans-serif", fontSize: "13px", padding: "1px 6px 3px 2em" },
  ".cm-asm-error": { color: "#a00000" },
  ".cm-asm-warning": { color: "#805000" },
});

// The editor in parent. words: the assembler's reserved words ({WORD: kind});
// onAssemble: Ctrl+Enter; onGutterClick(line): a click beside a line number.
export function createSourceEditor(parent, { words, onAssemble, onGutterClick }) {
  const gutterClick = {
    mousedown: (view, line) => {
      onGutterClick(view.state.doc.lineAt(line.from).number);
      return true;
    },
  };
  const stopGutter = gutter({
    class: "cm-stop-gutter",
    lineMarker: (view, line) => {
      const state = view.state;
      const at = state.field(cpuLine);
      const cpuHere = at !== null && state.doc.lineAt(at).from === line.from;
      const code = codeAtLine(state, line);
      const stop = code !== null && code.size > 0 && state.field(breakpoints).has(code.address);
      return cpuHere ? (stop ? cpuAtBreakpointMark : cpuMark) : stop ? breakpointMark : null;
    },
    lineMarkerChange: (update) => update.transactions.some((tr) => tr.effects.length > 0) || update.docChanged,
    initialSpacer: () => cpuAtBreakpointMark,
    domEventHandlers: gutterClick,
  });
  const messageGutter = gutter({
    class: "cm-message-gutter",
    markers: (view) => view.state.field(messageMarks).gutter,
  });
  const extensions = [
    stopGutter, lineNumbers({ domEventHandlers: gutterClick }), messageGutter,
    highlightSpecialChars(), history(), drawSelection(), highlightActiveLine(), highlightSelectionMatches(),
    search({ top: true }), z80Language(words), syntaxHighlighting(colours), theme,
    lineMap, breakpoints, cpuLine, messageMarks,
    keymap.of([{ key: "Mod-Enter", run: () => { onAssemble(); return true; } }, { key: "Tab", run: insertTab },
               ...defaultKeymap, ...historyKeymap, ...searchKeymap]),
  ];
  const stateOf = (text) => EditorState.create({ doc: text, extensions });
  const view = new EditorView({ state: stateOf(""), parent });
  const doc = () => view.state.doc;

  return Object.freeze({
    view,
    text: () => doc().toString(),
    // A new text, with a history of its own.
    setText: (text) => view.setState(stateOf(text)),
    focus: () => view.focus(),
    // After an Assemble of the text as it stands: lines (address and size
    // for each line, two ints a line) and the messages.
    showAssembly: (lines, messages) => {
      const marks = [];
      for (let n = 1; n <= doc().lines && 2 * n <= lines.length; ++n) {
        marks.push(new LineCode(lines[2 * n - 2], lines[2 * n - 1]).range(doc().line(n).from));
      }
      view.dispatch({ effects: [setLineMap.of(RangeSet.of(marks)), setMessages.of(messages)] });
    },
    showBreakpoints: (addresses) => view.dispatch({ effects: setBreakpoints.of(new Set(addresses)) }),
    // The line whose bytes hold address (the last one to write it), or 0.
    lineOfAddress: (address) => {
      let found = -1;
      const map = view.state.field(lineMap);
      for (let i = map.iter(); i.value !== null; i.next()) {
        if (address >= i.value.address && address < i.value.address + i.value.size) found = i.from;
      }
      return found < 0 ? 0 : doc().lineAt(found).number;
    },
    // {address, size} of a line's bytes as last assembled, or null.
    codeOfLine: (number) => (number >= 1 && number <= doc().lines ? codeAtLine(view.state, doc().line(number)) : null),
    lineCount: () => doc().lines,
    cursorLine: () => doc().lineAt(view.state.selection.main.head).number,
    // Marks the CPU's line (0: none) and scrolls it into view.
    showCpuLine: (number) => {
      if (number < 1 || number > doc().lines) {
        view.dispatch({ effects: setCpuLine.of(null) });
        return;
      }
      const at = doc().line(number).from;
      view.dispatch({ effects: [setCpuLine.of(at), EditorView.scrollIntoView(at, { y: "nearest" })] });
    },
    // The cursor to a line and column (from 1), in view, with the focus.
    goTo: (number, column) => {
      const line = doc().line(Math.min(Math.max(number, 1), doc().lines));
      const at = Math.min(line.from + Math.max(column - 1, 0), line.to);
      view.dispatch({ selection: { anchor: at }, effects: EditorView.scrollIntoView(at, { y: "center" }) });
      view.focus();
    },
  });
}
