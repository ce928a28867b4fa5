// Z80 colouring in pasmo's syntax for the source editor: comments, strings,
// pasmo's number forms, labels, and the reserved words by kind. The words come
// from the core's assembler (kind letters as tarvo_asm_words gives them), so
// the colouring knows exactly the mnemonics, registers and directives that
// the assembler knows.
import { StreamLanguage } from "@codemirror/language";

const styleOfKind = { D: "keyword", O: "operatorKeyword", M: "controlKeyword", R: "atom" };

// pasmo's numbers: $FF, 0xFF, #FF, &HFF, %1010, and digits with a suffix (0FFh, 1010b, 17o, 17q, 255d).
const numberPattern = /^(?:\$[0-9A-Fa-f][0-9A-Fa-f$]*|0[xX][0-9A-Fa-f]+|#[0-9A-Fa-f]+|&[hH][0-9A-Fa-f]+|%[01]+|[0-9][0-9A-Fa-f$]*[hHbBoOqQdD]?)/;
const namePattern = /^\.?[A-Za-z_][A-Za-z0-9_.?]*/;

// words: {UPPER-CASE WORD: kind letter}.
export function z80Language(words) {
  return StreamLanguage.define({
    name: "z80",
    startState: () => ({}),
    token(stream) {
      if (stream.eatSpace()) return null;
      if (stream.peek() === ";") {
        stream.skipToEnd();
        return "comment";
      }
      const quote = stream.peek();
      if (quote === "'" || quote === '"') {
        stream.next();
        // '...' doubles a quote ('it''s'); "..." escapes with a backslash.
        while (!stream.eol()) {
          const c = stream.next();
          if (quote === '"' && c === "\\") stream.next();
          else if (c === quote && !(quote === "'" && stream.eat("'"))) break;
        }
        return "string";
      }
      const startOfLine = stream.sol();
      if (stream.match(numberPattern)) return "number";
      const name = stream.match(namePattern);
      if (name) {
        let word = name[0].toUpperCase();
        if (word === "AF" && stream.eat("'")) word = "AF'";
        const kind = words[word];
        if (kind) return styleOfKind[kind];
        // A name in column 1, or with a colon, defines a label.
        return startOfLine || stream.peek() === ":" ? "labelName" : "variableName";
      }
      if (stream.eat("$")) return "atom";
      stream.next();
      return "operator";
    },
    languageData: { commentTokens: { line: ";" } },
  });
}
