// What the page shows, built from what the engine gave: elements, sizes,
// downloads and console text. Nothing here decides what a file holds.
const decoder = new TextDecoder();

export const decode = (bytes) => decoder.decode(bytes);
let links = [];  // object URLs of the downloads shown, let go when they are replaced

// Returns: a new element with properties and children (strings become text).
export function element(tag, properties = {}, ...children) {
  const node = document.createElement(tag);
  for (const [key, value] of Object.entries(properties)) {
    if (key === 'role' || key.startsWith('data-') || key.startsWith('aria-')) node.setAttribute(key, value);
    else node[key] = value;
  }
  node.append(...children.filter((child) => child !== null && child !== undefined));
  return node;
}

export const sizeText = (size) => `${size.toLocaleString('en')} byte${size === 1 ? '' : 's'}`;

// Returns: a name set apart from the text around it, so that its own
// writing direction (a U+202E in a ROM name) never turns the rest round.
export const isolated = (name) => element('bdi', {}, name);

// Returns: a list of names for a sentence, each isolated: "a, b and c".
export function nameList(names) {
  const parts = [];
  names.forEach((name, i) => {
    if (i > 0) parts.push(i === names.length - 1 ? ' and ' : ', ');
    parts.push(isolated(name));
  });
  return parts;
}

// Shows a message that stays until it is replaced or dismissed: the
// failures of a run or of the storage, said where the user looks.
// key: one message per key; parts: text and elements; actions: [[label, handler]].
export function alert(area, key, parts, actions = [], dismissable = true) {
  const old = area.querySelector(`[data-key="${key}"]`);
  const box = element('div', { className: 'alert', role: 'alert', 'data-key': key }, element('p', {}, ...parts));
  const buttons = actions.map(([label, handler]) => {
    const button = element('button', { type: 'button' }, label);
    button.addEventListener('click', handler);
    return button;
  });
  if (dismissable) {
    const dismiss = element('button', { type: 'button' }, 'Dismiss');
    dismiss.addEventListener('click', () => box.remove());
    buttons.push(dismiss);
  }
  if (buttons.length > 0) box.append(element('p', {}, ...buttons));
  if (old) old.replaceWith(box);
  else area.append(box);
}

export function unalert(area, key) {
  const old = area.querySelector(`[data-key="${key}"]`);
  if (old) old.remove();
}

// Asks a question in a modal dialog. Returns: a promise of true when the
// user chose yes, false for the other button or Escape.
export function ask(parts, yes, no) {
  const dialog = element('dialog', { className: 'ask' });
  const yesButton = element('button', { type: 'button', value: 'yes' }, yes);
  const noButton = element('button', { type: 'button', value: 'no' }, no);
  dialog.append(element('p', {}, ...parts), element('p', {}, yesButton, ' ', noButton));
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

export function forgetLinks() {
  links.forEach((url) => URL.revokeObjectURL(url));
  links = [];
}

// Returns: a link that saves bytes as the file name.
export function downloadLink(name, bytes, text = name, label = undefined) {
  const url = URL.createObjectURL(new Blob([bytes], { type: 'application/octet-stream' }));
  links.push(url);
  return element('a', { href: url, download: name, ...(label ? { 'aria-label': label } : {}) }, text);
}

// Shows console text in the order written; what went to standard error is set apart.
export function showConsole(target, pieces) {
  target.replaceChildren(...pieces.map(([stream, bytes]) => {
    const text = decoder.decode(bytes);
    return stream === 'stderr' ? element('span', { className: 'stderr', title: 'standard error' }, text) : text;
  }));
}

// Fills a select with names, keeping the chosen one where it is still offered.
export function fillChoice(select, names, preferred) {
  const keep = names.includes(select.value) ? select.value : preferred;
  select.replaceChildren(...names.map((name) => element('option', { value: name }, name)));
  if (names.includes(keep)) select.value = keep;
}

export const shellWord = (word) => (/^[\w@%+=:,./-]+$/.test(word) ? word : `'${word.replace(/'/g, "'\\''")}'`);
