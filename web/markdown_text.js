// Short Markdown from a file the learner opened (an exercise's task and
// hints) as page elements: paragraphs, lists, code blocks and inline code,
// bold and emphasis. Everything is built with createElement and textContent,
// never innerHTML, so any other markup in the file shows as the text it is.

// **bold**, *emphasis* or _emphasis_, `code`: the first that opens wins; an
// unclosed mark is plain text.
const inlineMark = /(`+)([^]*?)\1|\*\*(?=\S)([^]*?\S)\*\*|\*(?=\S)([^*]*?\S)\*|\b_(?=\S)([^_]*?\S)_\b/;

// The inline parts of a run of text, appended to parent.
function appendInline(parent, text) {
  let rest = text;
  for (;;) {
    const m = inlineMark.exec(rest);
    if (m === null) break;
    if (m.index > 0) parent.append(rest.slice(0, m.index));
    let element;
    if (m[1] !== undefined) {
      element = document.createElement("code");
      element.textContent = m[2].trim() === "" ? m[2] : m[2].trim();
    } else if (m[3] !== undefined) {
      element = document.createElement("strong");
      appendInline(element, m[3]);
    } else {
      element = document.createElement("em");
      appendInline(element, m[4] !== undefined ? m[4] : m[5]);
    }
    parent.append(element);
    rest = rest.slice(m.index + m[0].length);
  }
  if (rest) parent.append(rest);
}

const listItem = /^\s{0,3}([-*+]|\d{1,9}[.)])\s+(.*)$/;
const fence = /^\s{0,3}```/;

// The blocks of the text as elements, in order.
export function markdownElements(text) {
  const lines = String(text).replace(/\r\n?/g, "\n").split("\n");
  const blocks = [];
  let paragraph = [];
  let list = null;
  const endParagraph = () => {
    if (paragraph.length === 0) return;
    const p = document.createElement("p");
    appendInline(p, paragraph.join(" "));
    blocks.push(p);
    paragraph = [];
  };
  for (let i = 0; i < lines.length; ++i) {
    const line = lines[i];
    if (fence.test(line)) {
      endParagraph();
      list = null;
      const code = [];
      for (++i; i < lines.length && !fence.test(lines[i]); ++i) code.push(lines[i]);
      const pre = document.createElement("pre");
      const inner = document.createElement("code");
      inner.textContent = code.join("\n");
      pre.append(inner);
      blocks.push(pre);
      continue;
    }
    const item = listItem.exec(line);
    if (item) {
      endParagraph();
      const ordered = /\d/.test(item[1]);
      if (list === null || (list.tagName === "OL") !== ordered) {
        list = document.createElement(ordered ? "ol" : "ul");
        blocks.push(list);
      }
      const li = document.createElement("li");
      appendInline(li, item[2]);
      list.append(li);
      continue;
    }
    if (line.trim() === "") {
      endParagraph();
      list = null;
    } else if (list !== null && /^\s+\S/.test(line)) {
      list.lastChild.append(" ");  // a list item's continued line
      appendInline(list.lastChild, line.trim());
    } else {
      list = null;
      paragraph.push(line.trim());
    }
  }
  endParagraph();
  return blocks;
}

// The inline Markdown of one line (a hint) as the children of parent.
export function fillInline(parent, text) {
  parent.textContent = "";
  appendInline(parent, String(text));
}
