// The page's own words, in the user's language: English or German, chosen
// from the browser's languages until the user picks one ("Sprache /
// Language"), which is remembered. Every text of the page is a key of the
// tables in texts/; what the tools print (console, reports, file names) is
// never translated: it is their interface.
//
// A text may hold {name} placeholders, filled from params (numbers written
// as the language writes them, elements and lists of them as they are), and
// `code` spans, shown as code and never translated. A text that depends on
// a count is { one, other }, chosen by params.n.
import en from './texts/en.js';
import de from './texts/de.js';

export const TABLES = Object.freeze({ en, de });
export const LANGUAGES = Object.keys(TABLES);
const CHOICE_KEY = 'quillmore-language';

const now = { lang: 'en', numbers: null, tenths: null, plurals: null, listeners: [] };

// Returns: the language to show: the one chosen before, else the first of
// the browser's languages the page speaks, else English.
export function chooseLanguage(chosen, preferred) {
  if (LANGUAGES.includes(chosen)) return chosen;
  for (const tag of preferred || []) {
    const lang = String(tag).toLowerCase().split('-')[0];
    if (LANGUAGES.includes(lang)) return lang;
  }
  return 'en';
}

// The choice kept across visits; where the browser keeps nothing, for this visit only.
export function storedChoice() {
  try {
    return window.localStorage.getItem(CHOICE_KEY);
  } catch {
    return null;
  }
}

function storeChoice(lang) {
  try {
    window.localStorage.setItem(CHOICE_KEY, lang);
  } catch {
    // nothing kept: the choice holds while the page is open
  }
}

export const language = () => now.lang;

// Returns: whether key names a text of the page.
export const known = (key) => typeof key === 'string' && Object.hasOwn(TABLES.en, key);

// Sets the language the page speaks; remember: whether the user chose it.
export function setLanguage(lang, remember = false) {
  now.lang = LANGUAGES.includes(lang) ? lang : 'en';
  now.numbers = new Intl.NumberFormat(now.lang);
  now.tenths = new Intl.NumberFormat(now.lang, { minimumFractionDigits: 1, maximumFractionDigits: 1 });
  now.plurals = new Intl.PluralRules(now.lang);
  if (typeof document === 'object') document.documentElement.lang = now.lang;
  if (remember) storeChoice(now.lang);
  for (const listener of now.listeners) listener(now.lang);
}

export const onLanguage = (listener) => now.listeners.push(listener);

setLanguage('en');

// Numbers as the language writes them: "2,048" / "2.048".
export const number = (n) => now.numbers.format(n);

// Returns: a size in round figures: "17 KB", "3.4 MB" ("3,4 MB").
export const sizeWords = (bytes) =>
  bytes < 1e6
    ? `${number(Math.ceil(bytes / 1e3))} KB`
    : bytes < 1e9
      ? `${now.tenths.format(bytes / 1e6)} MB`
      : `${now.tenths.format(bytes / 1e9)} GB`;

// Returns: the text of key as the table of the language has it, the count form chosen.
function template(key, params) {
  const entry = TABLES[now.lang][key] ?? TABLES.en[key];
  if (entry === undefined) throw new Error(`no text for ${key}`);
  if (typeof entry === 'string') return entry;
  return entry[now.plurals.select(params.n)] ?? entry.other;
}

function filled(piece, params) {
  return piece.split(/(\{\w+\})/).map((part) => {
    const name = /^\{(\w+)\}$/.exec(part);
    if (!name) return part;
    const value = params[name[1]];
    if (value === undefined) throw new Error(`no value for {${name[1]}}`);
    return typeof value === 'number' ? number(value) : value;
  });
}

// Returns: the text of key, as parts for element(): strings, nodes, lists.
export function say(key, params = {}) {
  return template(key, params)
    .split(/(`[^`]*`)/)
    .filter((piece) => piece !== '')
    .map((piece) => {
      if (!piece.startsWith('`')) return filled(piece, params);
      const code = document.createElement('code');
      code.translate = false;
      code.append(...filled(piece.slice(1, -1), params).flat(Infinity));
      return code;
    });
}

const plain = (part) =>
  Array.isArray(part) ? part.map(plain).join('') : typeof part === 'string' ? part : part.textContent;

// Returns: the text of key as a string (code spans as their text).
export function text(key, params = {}) {
  return template(key, params)
    .replace(/`/g, '')
    .split(/(\{\w+\})/)
    .map((part) => {
      const name = /^\{(\w+)\}$/.exec(part);
      if (!name) return part;
      const value = params[name[1]];
      if (value === undefined) throw new Error(`no value for {${name[1]}}`);
      return typeof value === 'number' ? number(value) : plain(value);
    })
    .join('');
}

const ATTRIBUTES = ['aria-label', 'placeholder', 'title'];

// Writes the page's fixed texts in the language: each element with
// data-t="key" gets the text, data-t-aria-label="key" (and the like) the attribute.
export function translatePage(root = document) {
  for (const node of root.querySelectorAll('[data-t]')) node.replaceChildren(...say(node.dataset.t).flat(Infinity));
  for (const attribute of ATTRIBUTES) {
    for (const node of root.querySelectorAll(`[data-t-${attribute}]`))
      node.setAttribute(attribute, text(node.getAttribute(`data-t-${attribute}`)));
  }
}
