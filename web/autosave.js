// Keeps the page's latest state in the browser (IndexedDB) as it changes, at
// most every two seconds and whenever the page is hidden or closed, and
// resumes it when the page opens again, with "Start fresh" beside the line
// that says so. A failed write (no room, a private window) is reported once.
const databaseName = "tarvo";
const storeName = "state";
const key = "latest";
const everyMs = 2000;

function request(r) {
  return new Promise((resolve, reject) => {
    r.onsuccess = () => resolve(r.result);
    r.onerror = () => reject(r.error || new Error("the browser gave no reason"));
  });
}

function openDatabase() {
  const r = indexedDB.open(databaseName, 1);
  r.onupgradeneeded = () => r.result.createObjectStore(storeName);
  return request(r);
}

// One request on the store, in a transaction of its own that has completed.
async function onStore(mode, act) {
  const db = await openDatabase();
  try {
    const t = db.transaction(storeName, mode);
    const done = new Promise((resolve, reject) => {
      t.oncomplete = resolve;
      t.onabort = t.onerror = () => reject(t.error || new Error("the browser gave no reason"));
    });
    const result = await request(act(t.objectStore(storeName)));
    await done;
    return result;
  } finally {
    db.close();
  }
}

const sameBytes = (a, b) => a !== null && a.length === b.length && a.every((v, i) => v === b[i]);

export class Autosave {
  // root holds the line #resume-text and the button #start-fresh; power is
  // the page's PowerSwitch.
  constructor(root, { state, power, say }) {
    Object.assign(this, { root, state, power, say });
    this.text = root.querySelector("#resume-text");
    this.last = null;        // the bytes last written
    this.reported = false;   // a failed write has been reported
    root.querySelector("#start-fresh").addEventListener("click", () => this.startFresh());
  }

  // The saved state back in the page, saying so; false when there was none.
  async resume() {
    let saved;
    try {
      saved = await onStore("readonly", (s) => s.get(key));
    } catch (error) {
      this.failed(error);
      return false;
    }
    if (!saved) return false;
    try {
      await this.state.restore(saved.bytes);
    } catch (error) {
      this.say("The session kept in this browser could not be resumed (" + error.message + "); the board starts afresh.",
               true);
      return false;
    }
    this.last = saved.bytes;
    const when = new Date(saved.at).toLocaleString("en-GB", { dateStyle: "medium", timeStyle: "short" });
    this.text.textContent = "Resumed where you left off (saved " + when + ").";
    this.root.hidden = false;
    return true;
  }

  // From now on: a write when the state has changed, every two seconds, and
  // at once when the page is hidden or closed.
  start() {
    window.setInterval(() => this.save(), everyMs);
    document.addEventListener("visibilitychange", () => { if (document.visibilityState === "hidden") this.save(); });
    window.addEventListener("pagehide", () => this.save());
  }

  async save() {
    let bytes;
    try {
      bytes = this.state.bytes();
    } catch (error) {
      this.failed(error);
      return;
    }
    if (sameBytes(this.last, bytes)) return;
    this.last = bytes;
    try {
      await onStore("readwrite", (s) => s.put({ bytes, at: Date.now() }, key));
    } catch (error) {
      this.last = null;
      this.failed(error);
    }
  }

  failed(error) {
    if (this.reported) return;
    this.reported = true;
    this.say("Your work cannot be kept in this browser (" + error.message + "): it is lost when the page closes. " +
             "Save state keeps it in a file.", true);
  }

  // The board powered off and on, and the kept state gone.
  async startFresh() {
    this.root.hidden = true;
    this.power.cycle();
    this.last = null;
    try {
      await onStore("readwrite", (s) => s.delete(key));
    } catch (error) {
      this.failed(error);
    }
  }
}
