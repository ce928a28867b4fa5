// Starts the page: loads the core, its monitor image and the pictures, starts
// the board in the window's start order, and wires the panels together. Each
// panel gets its own root element and the parts it works with; the panels
// never reach into each other's elements. A new panel is made and wired here.
import { loadCore } from "./core.js";
import { BoardView, loadBoardPictures } from "./board_view.js";
import { CpuPanel } from "./cpu_panel.js";
import { ExampleList } from "./example_list.js";
import { ExerciseEntry } from "./exercise_entry.js";
import { FilePanel } from "./file_panel.js";
import { HistoryPanel } from "./history_panel.js";
import { returnFocusToBoard } from "./focus.js";
import { HelpPanel } from "./help_panel.js";
import { fillShortcutTable, gridOf, keypadLegends } from "./keypad_keys.js";
import { Pacer } from "./pacing.js";
import { PageLinks } from "./page_links.js";
import { hex4, messageLine, plural } from "./page_text.js";
import { Autosave } from "./autosave.js";
import { PageState, StateFiles } from "./page_state.js";
import { PowerSwitch } from "./power_switch.js";
import { RangeDialog } from "./range_dialog.js";
import { SourceFiles } from "./source_files.js";
import { SourcePanel } from "./source_panel.js";
import { SpeedPanel } from "./speed_panel.js";
import { TimePanel } from "./time_panel.js";
import { WatchPanel } from "./watch_panel.js";

const byId = (id) => document.getElementById(id);

async function startPage() {
  const say = messageLine(byId("message"));
  fillShortcutTable(byId("shortcuts"));
  const focusBoard = () => byId("board").focus({ preventScroll: true });
  const help = new HelpPanel(byId("help"), byId("help-button"), focusBoard);
  help.listen();
  try {
    const [core, pictures] = await Promise.all([loadCore(), loadBoardPictures()]);
    const view = new BoardView(byId("board-view"), core, pictures);
    const pacer = new Pacer(core);
    const speed = new SpeedPanel(byId("speed-panel"), pacer);
    const ranges = new RangeDialog(byId("range-overlay"), { core, pacer, say });
    const files = new FilePanel(byId("file-panel"), { core, ranges, say });
    // After the board ran or was changed: the digits, when the core says they changed.
    const afterChange = () => { if (core.takeRepaint()) view.showDisplay(); };
    const showStatus = () => view.showStatus(pacer.paused, pacer.paused ? hex4(core.registers().PC) : "");
    const time = new TimePanel(byId("time-panel"), { core });
    const watches = new WatchPanel(byId("watch-panel"), { core, say });
    const history = new HistoryPanel(byId("history-panel"), { core, pacer, say, afterMove: () => {
      cpu.endStepOver();  // a step under way does not go on in another time
      afterChange();
      cpu.refresh();
      time.refresh();
      showStatus();
    } });
    const cpu = new CpuPanel(byId("cpu-panel"), { core, pacer, say, lastWriter: (a) => history.lastWriter(a) });
    // Every press of a keypad key, from the canvas, the keyboard or the page itself.
    const press = (grid) => {
      const legend = keypadLegends[grid.row][grid.column];
      const dropped = core.pressKey(grid.row, grid.column);
      if (dropped < 0) say(legend + " was not taken: too many keys are waiting for the board's program.", true);
      else if (dropped > 0) say(legend + " dropped " + plural(dropped, "waiting key") + ".", false);
      files.tapeCommand(core.takeTapeCommand());
      if (pacer.paused) { afterChange(); cpu.refresh(); }
      showStatus();
    };
    const sources = new SourcePanel(byId("source-panel"), { core, pacer, cpu, files, press, say });
    const sourceFiles = new SourceFiles(byId("file-panel"), { sources, say });
    const examples = new ExampleList(byId("examples-panel"), {
      load: (name, bytes) => files.loadHexBytes(name, bytes), sources, press, pacer, say });
    const exercises = new ExerciseEntry(byId("exercise-panel"), { core, sources, say });
    const afterPower = () => {
      cpu.endStepOver();  // the core has dropped its temporary stops
      view.showDisplay();
      cpu.refresh();
      showStatus();
    };
    const power = new PowerSwitch(byId("power-panel"), byId("power-overlay"),
                                  { core, pacer, say, focusBoard, afterPower });
    const links = new PageLinks(byId("share-panel"), { core, sources, examples, files, power, press, pacer, say },
                                { x: (text) => exercises.open("linked-exercise.json", text) });

    const state = new PageState({ core, pacer, speed, cpu, watches, time, sources, afterLoad: () => {
      afterPower();
      time.refresh();
      history.refresh();
    } });
    const stateFiles = new StateFiles(byId("state-panel"), { state, say });
    const autosave = new Autosave(byId("resume-line"), { state, power, say });

    if (!core.start()) say("There was an error opening the Tarvo files!", true);
    view.listen({
      press,
      // Not while the range form or the power question is open: the keys are the form's.
      keysAllowed: () => !ranges.isOpen() && !power.isOpen(),
    });
    returnFocusToBoard(focusBoard);
    files.acceptDropsOn(document, (file) => sourceFiles.openDropped(file));
    examples.fill();
    exercises.fill();
    cpu.listen(afterChange);
    sources.listen();
    cpu.refresh();
    pacer.start(() => {
      afterChange();
      cpu.tick();
      time.refresh();
      history.refresh();
      sources.tick();
      speed.showRate();
      showStatus();
    });
    // The learner's work as it was when the page last closed, and kept from now on.
    await autosave.resume();
    autosave.start();
    // A link opened with the page comes after the resumed work, so that it asks before replacing it.
    links.listen();
    // The page's scripting handle, documented in web/README.md; the only global.
    window.Tarvo = Object.freeze({
      page: Object.freeze({ core, pacer, view, speed, ranges, files, examples, cpu, help, sources, power, press,
                            time, history, watches, links, exercises, state, stateFiles, autosave }),
      keypad: Object.freeze({ gridOf }),
    });
    // Offline use, once the page has what it needs (sw.js fetches the whole site
    // again). Browsers run service workers only over https and on localhost.
    // A page the worker served looks for a new version at its start (none while offline).
    if (window.isSecureContext && "serviceWorker" in navigator) {
      const served = navigator.serviceWorker.controller !== null;
      navigator.serviceWorker.register("sw.js").then((r) => { if (served) r.update().catch(() => {}); },
                                                     (error) => console.warn("No offline use: " + error.message));
    }
  } catch (error) {
    say("The page could not start: " + error.message, true);
  }
}

startPage();
