// The page's links: a text (a program, an exercise) carried in the URL's
// fragment, so that no server ever sees it. The fragment is
//   "#<version>.<kind>.<base64url, unpadded, of the deflate-raw of the UTF-8 text>"
// with kind one or more of a-z. Every later version must still read the
// fragments of version 1: links people have saved do not go stale.
export const LINK_VERSION = 1;

// A link opens in a tab: a text far beyond any program's is a broken or
// hostile link, and is refused before it fills the tab's memory.
const MOST_TEXT_BYTES = 4 * 1024 * 1024;

const KIND = /^[a-z]+$/;
const BASE64URL = /^[A-Za-z0-9_-]*$/;

async function throughStream(bytes, stream, mostBytes) {
  const reader = new Blob([bytes]).stream().pipeThrough(stream).getReader();
  const chunks = [];
  let total = 0;
  for (;;) {
    const { done, value } = await reader.read();
    if (done) break;
    total += value.length;
    if (total > mostBytes) {
      reader.cancel();
      throw new Error("This link holds more than the page opens (over " + (mostBytes >> 20) + " MB of text).");
    }
    chunks.push(value);
  }
  const out = new Uint8Array(total);
  let at = 0;
  for (const chunk of chunks) { out.set(chunk, at); at += chunk.length; }
  return out;
}

function toBase64url(bytes) {
  let binary = "";
  for (let i = 0; i < bytes.length; i += 0x8000) binary += String.fromCharCode(...bytes.subarray(i, i + 0x8000));
  return btoa(binary).replace(/\+/g, "-").replace(/\//g, "_").replace(/=+$/, "");
}

function fromBase64url(text) {
  // A length of 4n+1 is no whole byte: atob would refuse it with a message of its own.
  if (!BASE64URL.test(text) || text.length % 4 === 1) return null;
  const binary = atob(text.replace(/-/g, "+").replace(/_/g, "/"));
  const bytes = new Uint8Array(binary.length);
  for (let i = 0; i < binary.length; ++i) bytes[i] = binary.charCodeAt(i);
  return bytes;
}

// The fragment, starting with "#", that carries text as the given kind.
export async function encodeLink(kind, text) {
  if (!KIND.test(kind)) throw new Error("A link's kind is letters a-z, not \"" + kind + "\".");
  const packed = await throughStream(new TextEncoder().encode(text), new CompressionStream("deflate-raw"), Infinity);
  return "#" + LINK_VERSION + "." + kind + "." + toBase64url(packed);
}

// {version, kind, text} from a fragment (with or without its "#"). Throws an
// Error whose message tells the learner what is wrong with the link.
export async function decodeLink(fragment) {
  const body = String(fragment).trim().replace(/^#/, "");
  const parts = body.split(".");
  const version = /^[0-9]+$/.test(parts[0]) ? Number(parts[0]) : NaN;
  if (parts.length !== 3 || !Number.isSafeInteger(version) || version < 1 || !KIND.test(parts[1])) {
    throw new Error("This is not a link of this page: it should read #" + LINK_VERSION +
                    ".<kind>.<data> after the page's address.");
  }
  if (version > LINK_VERSION) {
    throw new Error("This link was made by a newer version of the page (link version " + version +
                    ", this page reads " + LINK_VERSION + "): reload the page to get the newer version.");
  }
  const packed = fromBase64url(parts[2]);
  if (packed === null) {
    throw new Error("This link is damaged: its data holds characters a link never has, or is cut short. " +
                    "Copy the whole link again.");
  }
  let bytes;
  try {
    bytes = await throughStream(packed, new DecompressionStream("deflate-raw"), MOST_TEXT_BYTES);
  } catch (error) {
    if (error.message.startsWith("This link")) throw error;
    throw new Error("This link is damaged: its data does not unpack (cut short when copied?). " +
                    "Copy the whole link again.");
  }
  let text;
  try {
    text = new TextDecoder("utf-8", { fatal: true }).decode(bytes);
  } catch {
    throw new Error("This link is damaged: its data is not text. Copy the whole link again.");
  }
  return { version, kind: parts[1], text };
}
