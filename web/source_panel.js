// The program source beside the board: the editor (loaded when first
// opened), Assemble, the assembler's messages, listing and symbols, and
// source-level debugging: the CPU's line while paused, breakpoints set in the
// editor's gutter (the CPU panel's breakpoints), Step, Step over and Run to
// cursor. The editor itself is web/editor/source_editor.js.
import { steppedOver } from "./cpu_panel.js";
import { hex4, plural } from "./page_text.js";
import { startProgram, startedText } from "./program_start.js";

const editorModule = "./source_editor.js";

export class SourcePanel {
  // root holds the editor's container (#editor), its toolbar and the lists.
  // press(grid) presses a keypad key, through the key queue.
  constructor(root, { core, pacer, cpu, files, press, say }) {
    this.core = core;
    this.pacer = pacer;
    this.cpu = cpu;
    this.files = files;
    this.say = say;
    this.element = (id) => root.querySelector("#" + id);
    this.name = "program.asm";
    this.editor = null;
    this.keptText = "";     // the text last opened or saved
    this.loading = null;
    this.assembly = null;   // the last successful Assemble: {start, startIsLabel}
    this.shownPc = null;    // the PC whose line is marked, null while running
    this.starter = { press, pacer };
  }

  listen() {
    const on = (id, handler) => this.element(id).addEventListener("click", handler);
    on("open-editor", () => this.open().then((editor) => editor.focus()));
    on("assemble", () => this.assemble());
    on("run-from-start", () => this.runFromStart());
    on("source-step", () => this.step(false));
    on("source-step-over", () => this.step(true));
    on("run-to-cursor", () => this.runToCursor());
    this.element("asm-messages").addEventListener("click", (e) => {
      const item = e.target.closest("[data-line]");
      if (item && this.editor) this.editor.goTo(Number(item.dataset.line), Number(item.dataset.column));
    });
    this.cpu.onBreakpointsChange = () => { if (this.editor) this.editor.showBreakpoints(this.cpu.breakpoints); };
  }

  // The editor, loaded and shown on first use.
  open() {
    if (!this.loading) {
      this.loading = import(editorModule).then(({ createSourceEditor }) => {
        this.element("source-closed").hidden = true;
        this.element("source-open").hidden = false;
        this.editor = createSourceEditor(this.element("editor"), {
          words: this.core.assembler.words(),
          onAssemble: () => this.assemble(),
          onGutterClick: (line) => this.toggleBreakpointAt(line),
        });
        this.editor.showBreakpoints(this.cpu.breakpoints);
        return this.editor;
      }).catch((error) => {
        this.loading = null;
        this.say("The editor could not be loaded: " + error.message, true);
        throw error;
      });
    }
    return this.loading;
  }

  // A source from a file or the examples: into the editor, with a history of its own.
  async openSource(name, text) {
    const editor = await this.open();
    this.name = name;
    editor.setText(text);
    this.keptText = text;
    this.assembly = null;
    this.showMessages([]);
    this.say("Opened " + name + ". Ctrl+Enter assembles it.", false);
  }

  text() { return this.editor ? this.editor.text() : ""; }

  // Whether the editor's text was changed since it was last opened or saved.
  hasUnsavedText() { return this.text() !== this.keptText; }

  // Assembles the editor's text; on success its bytes go into memory as a HEX
  // file's would. Returns whether it succeeded.
  assemble() {
    if (!this.editor) return false;
    const result = this.core.assembler.assemble(this.name, this.editor.text());
    this.editor.showAssembly(result.lines, result.messages);
    this.showMessages(result.messages);
    this.element("asm-listing").textContent = result.errors === 0 ? this.core.assembler.listing() : "";
    this.element("asm-symbols").textContent = result.errors === 0 ? this.core.assembler.symbols() : "";
    const counts = plural(result.errors, "error") + ", " + plural(result.warnings, "warning");
    if (result.errors > 0) {
      this.assembly = null;
      const first = result.messages.find((m) => m.error && m.line > 0);
      this.say(this.name + ": " + counts + "; nothing was loaded." + (first ? " The first is at line " + first.line + "." : ""),
               true);
      return false;
    }
    const hex = this.core.assembler.hexFile();
    if (hex === null || !this.files.loadHexBytes(this.name, hex)) {
      this.say("There was an error loading the assembled bytes of " + this.name + ".", true);
      return false;
    }
    this.assembly = result;
    this.cpu.refresh();
    this.showCpuLine(true);
    this.say("Assembled " + this.name + " (" + counts + ") and loaded it. " +
             (result.start === null ? "It has no label start and no ORG to run from."
                                    : "Run from start begins at " + hex4(result.start) + "h" +
                                      (result.startIsLabel ? " (the label start)." : " (the first ORG).")), false);
    return true;
  }

  showMessages(messages) {
    const list = this.element("asm-messages");
    list.innerHTML = "";
    for (const m of messages) {
      const item = document.createElement("li");
      item.className = m.error ? "error" : "warning";
      const where = document.createElement("button");
      where.type = "button";
      where.textContent = m.line > 0 ? "line " + m.line : this.name;
      where.dataset.line = m.line;
      where.dataset.column = m.column;
      item.append(where, (m.error ? " error: " : " warning: ") + m.text);
      list.appendChild(item);
    }
  }

  // Assembles the editor's text into memory and gives the address it starts
  // at, or null after a message.
  assembleToStart() {
    if (!this.assemble()) return null;
    if (this.assembly.start !== null) return this.assembly.start;
    this.say(this.name + " has no label start and no ORG to run from.", true);
    return null;
  }

  // The editor's program, assembled again, started as the examples are: the
  // board's own keys RESET, ADDR (start) GO.
  runFromStart() {
    if (!this.editor) {
      this.say("Run from start: open the editor and write a program first.", true);
      return;
    }
    this.core.clearTemporaryStops();
    const keys = startProgram(this.starter, () => this.assembleToStart());
    if (keys !== null) this.say(startedText("Assembled " + this.name, keys), false);
  }

  // --- stepping through the source ---------------------------------------------

  // Paused with the program assembled: the CPU's PC, else null after a message.
  pausedPc(what) {
    if (!this.assembly) {
      this.say(what + ": assemble the program first.", true);
      return null;
    }
    if (!this.pacer.paused) {
      this.say(what + ": pause the board first (Pause, or a breakpoint).", true);
      return null;
    }
    return this.core.registers().PC;
  }

  // Step: on to the next line of the source, wherever it is (into a CALL).
  // Step over: a CALL, RST or DJNZ runs until it has come back.
  step(over) {
    const pc = this.pausedPc(over ? "Step over" : "Step");
    if (pc === null) return;
    const here = this.core.disassemble(pc);
    this.core.clearTemporaryStops();
    // A block instruction such as LDIR is one step already.
    if (over && steppedOver.test(here.text)) {
      this.core.addTemporaryStop((pc + here.length) & 0xFFFF, this.core.registers().SP);
    } else {
      this.core.stopAtSourceLines();
    }
    this.go();
  }

  // From where the board stands, paused or running, to the cursor's line (or
  // the first line after it with bytes).
  runToCursor() {
    if (!this.assembly) {
      this.say("Run to cursor: assemble the program first.", true);
      return;
    }
    const line = this.editor.cursorLine();
    const code = this.nextCodeFrom(line);
    if (code === null) {
      this.say("Run to cursor: no line from " + line + " on puts bytes into memory.", true);
      return;
    }
    this.core.clearTemporaryStops();
    this.core.addTemporaryStop(code.address, -1);
    this.go();
  }

  go() {
    this.shownPc = null;
    this.editor.showCpuLine(0);
    this.pacer.paused = false;
    this.cpu.refresh();
  }

  // The first line from number on that puts bytes into memory, or null.
  nextCodeFrom(number) {
    for (let n = Math.max(number, 1); n <= this.editor.lineCount(); ++n) {
      const code = this.editor.codeOfLine(n);
      if (code && code.size > 0) return { line: n, address: code.address };
    }
    return null;
  }

  toggleBreakpointAt(line) {
    const code = this.assembly ? this.nextCodeFrom(line) : null;
    if (code === null) {
      this.say(this.assembly ? "No line from " + line + " on puts bytes into memory: no breakpoint."
                             : "Assemble the program first: a breakpoint needs the line's address.", true);
      return;
    }
    this.cpu.toggleBreakpoint(code.address);
  }

  // After every frame: while paused, the line of the instruction at PC.
  tick() {
    this.showCpuLine(false);
  }

  showCpuLine(again) {
    if (!this.editor) return;
    const pc = this.pacer.paused ? this.core.registers().PC : null;
    if (pc === this.shownPc && !again) return;
    this.shownPc = pc;
    const line = pc === null || !this.assembly ? 0 : this.editor.lineOfAddress(pc);
    this.editor.showCpuLine(line);
    this.element("source-state").textContent = pc === null ? "" : line > 0 ? "Paused at line " + line + " (" + hex4(pc) + "h)"
                                                             : "Paused at " + hex4(pc) + "h, outside the source";
  }
}
