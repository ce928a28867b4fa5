// The page's links: the Share button, and the links the page is opened with
// (at its start, or pasted into the address bar of a tab that has it open).
// Only this much loads with the page; the link's code (share_link.js,
// link_codec.js) loads when a link is made or opened.

// "#1.p.…": a link's fragment. The help's own anchors (#help-keys) are none.
const linkFragment = /^#[0-9]+\.[a-z]+\./;

export class PageLinks {
  // root holds the Share button (#share) and the box that shows the link
  // (#share-link); parts are what share_link.js works with (core, sources,
  // examples, files, power, press, pacer, say). openers has, for each other
  // kind of link, an async function that opens its text (asking first where
  // it would replace work); programs ("p") are share_link.js's.
  constructor(root, parts, openers = {}) {
    this.parts = { ...parts, linkBox: root.querySelector("#share-link") };
    this.openers = openers;
    this.module = null;
    root.querySelector("#share").addEventListener("click", () => this.share());
  }

  load() {
    if (!this.module) this.module = import("./share_link.js").catch((error) => { this.module = null; throw error; });
    return this.module;
  }

  // True when the link was opened or declined, false when the page cannot read it.
  async open(fragment) {
    const { decodeLink } = await import("./link_codec.js");
    const link = await decodeLink(fragment);
    if (link.kind === "p") {
      await (await this.load()).openProgram(link.text, this.parts);
      return true;
    }
    const opener = this.openers[link.kind];
    if (!opener) {
      this.parts.say("This page cannot open this link: it holds a kind of content (\"" + link.kind + "\") that a " +
                     "newer version of the page may know. Reload the page to get the newest version.", true);
      return false;
    }
    await opener(link.text);
    return true;
  }

  async share() {
    try {
      await (await this.load()).shareProgram(this.parts);
    } catch (error) {
      this.parts.say("Share: the link could not be made: " + error.message, true);
    }
  }

  // Opens the link the page was opened with, and any pasted later.
  listen() {
    window.addEventListener("hashchange", () => this.openFragment());
    return this.openFragment();
  }

  async openFragment() {
    const fragment = window.location.hash;
    if (!linkFragment.test(fragment)) return;
    try {
      // Kept in the address when it cannot be read yet: a reload that brings a newer page opens it then.
      if (await this.open(fragment)) {
        // Handled: a reload does not open it again over what was done since.
        window.history.replaceState(null, "", window.location.pathname + window.location.search);
      }
    } catch (error) {
      this.parts.say("The link could not be opened: " + error.message, true);
    }
  }
}
