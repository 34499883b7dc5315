// What the page shows, built from what the engine gave: elements, sizes,
// downloads and console text. Nothing here decides what a file holds.
import { text } from './language.js';

const decoder = new TextDecoder();

export const decode = (bytes) => decoder.decode(bytes);

// Appends children to node: strings become text, arrays are taken item by
// item (never spread, so a list of any length fits), nothing for null.
function appendAll(node, children) {
  for (const child of children) {
    if (Array.isArray(child)) appendAll(node, child);
    else if (child !== null && child !== undefined && child !== false && child !== '') node.append(child);
  }
}

// Returns: a new element with properties and children (strings become
// text, arrays their items).
export function element(tag, properties = {}, ...children) {
  const node = document.createElement(tag);
  for (const [key, value] of Object.entries(properties)) {
    if (key === 'role' || key.startsWith('data-') || key.startsWith('aria-')) node.setAttribute(key, value);
    else node[key] = value;
  }
  appendAll(node, children);
  return node;
}

// Replaces node's children as element() takes them.
export function fill(node, ...children) {
  node.replaceChildren();
  appendAll(node, children);
  return node;
}

// Returns: a name set apart from the text around it, so that its own
// writing direction (a U+202E in a ROM name) never turns the rest round.
export const isolated = (name) => element('bdi', { translate: false }, name);

// Returns: a size in bytes, as text: "1 byte", "8,192 bytes".
export const sizeText = (size) => text('size.bytes', { n: size });

// Returns: a list of names for a sentence, each isolated: "a, b and c".
export function nameList(names) {
  const parts = [];
  names.forEach((name, i) => {
    if (i > 0) parts.push(i === names.length - 1 ? text('list.and') : ', ');
    parts.push(isolated(name));
  });
  return parts;
}

const sayings = new WeakMap(); // an alert's box -> how to say it again, in another language

// Shows a message that stays until it is replaced or dismissed: the
// failures of a run or of the storage, said where the user looks.
// key: one message per key; parts(): its text and elements, made anew when
// the language changes; actions: [[label's key, handler]].
export function alert(area, key, parts, actions = [], dismissable = true) {
  const old = area.querySelector(`[data-key="${key}"]`);
  const box = element('div', { className: 'alert', role: 'alert', 'data-key': key }, element('p', {}, parts()));
  sayings.set(box, () => alert(area, key, parts, actions, dismissable));
  const buttons = actions.map(([label, handler]) => {
    const button = element('button', { type: 'button' }, text(label));
    button.addEventListener('click', handler);
    return button;
  });
  if (dismissable) {
    const dismiss = element('button', { type: 'button' }, text('alert.dismiss'));
    dismiss.addEventListener('click', () => {
      box.remove();
      document.getElementById('alerts').focus();
    });
    buttons.push(dismiss);
  }
  if (buttons.length > 0) box.append(element('p', {}, ...buttons));
  if (old) old.replaceWith(box);
  else area.append(box);
}

// Says every alert of area again, in the language now chosen.
export function sayAlertsAgain(area) {
  for (const box of area.querySelectorAll('[data-key]')) if (sayings.has(box)) sayings.get(box)();
}

export function unalert(area, key) {
  const old = area.querySelector(`[data-key="${key}"]`);
  if (old) old.remove();
}

// Asks a question in a modal dialog. Returns: a promise of true when the
// user chose yes, false for the other button or Escape. The focus goes
// back to where it was.
export function ask(parts, yes, no) {
  const dialog = element('dialog', { className: 'ask' });
  const yesButton = element('button', { type: 'button', value: 'yes' }, yes);
  const noButton = element('button', { type: 'button', value: 'no' }, no);
  const question = element('p', { id: 'ask-text' }, ...parts);
  dialog.setAttribute('aria-labelledby', 'ask-text');
  dialog.append(question, element('p', { className: 'actions' }, yesButton, ' ', noButton));
  document.body.append(dialog);
  const focused = document.activeElement;
  return new Promise((resolve) => {
    const close = (answer) => {
      dialog.close();
      dialog.remove();
      if (focused && focused.isConnected) focused.focus();
      resolve(answer);
    };
    yesButton.addEventListener('click', () => close(true));
    noButton.addEventListener('click', () => close(false));
    dialog.addEventListener('cancel', (event) => {
      event.preventDefault();
      close(false);
    });
    dialog.showModal();
    noButton.focus();
  });
}

// Returns: a link that saves what bytes() gives as the file name; the bytes
// are taken, and their object URL made, only when it is followed.
export function downloadLink(name, bytes, words = name, label = undefined) {
  const link = element('a', { href: '#', download: name, ...(label ? { 'aria-label': label } : {}) }, words);
  link.addEventListener('click', () => {
    const made = typeof bytes === 'function' ? bytes() : bytes;
    link.href = URL.createObjectURL(new Blob([made], { type: 'application/octet-stream' }));
    setTimeout(() => {
      URL.revokeObjectURL(link.href);
      link.href = '#';
    }, 60000);
  });
  return link;
}

// Shows console text in the order written; what went to standard error is
// set apart, its first piece at #console-error-1. Keeps the end in view.
export function showConsole(target, pieces) {
  let errors = 0;
  fill(
    target,
    pieces.map(([stream, piece]) => {
      if (stream !== 'stderr') return piece;
      errors++;
      return element(
        'span',
        { className: 'stderr', title: text('console.stderr'), ...(errors === 1 ? { id: 'console-error-1' } : {}) },
        piece,
      );
    }),
  );
  target.scrollTop = target.scrollHeight;
}

// Fills a select with names, keeping the chosen one where it is still offered.
export function fillChoice(select, names, preferred) {
  const keep = names.includes(select.value) ? select.value : preferred;
  const offered = [...select.options];
  if (offered.length !== names.length || offered.some((option, i) => option.value !== names[i])) {
    fill(
      select,
      names.map((name) => element('option', { value: name }, name)),
    );
  }
  if (names.includes(keep)) select.value = keep;
}

export const shellWord = (word) => (/^[\w@%+=:,./-]+$/.test(word) ? word : `'${word.replace(/'/g, "'\\''")}'`);

// Returns: a command line as the shell takes it, each word isolated, so
// that a name's own writing direction never turns the line round.
export function commandLine(words) {
  const parts = [];
  words.forEach((word, i) => parts.push(i ? ' ' : '', isolated(shellWord(word))));
  return element('code', { className: 'command-line', translate: false }, parts);
}

// Returns: a command line as plain text.
export const commandText = (words) => words.map(shellWord).join(' ');
