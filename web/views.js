// What the page shows, built from what the engine gave: elements, sizes,
// downloads and console text. Nothing here decides what a file holds.
const Views = (() => {
  'use strict';

  const decoder = new TextDecoder();
  let links = [];  // object URLs of the downloads shown, let go when they are replaced

  // Returns: a new element with properties and children (strings become text).
  function element(tag, properties = {}, ...children) {
    const node = document.createElement(tag);
    for (const [key, value] of Object.entries(properties)) {
      if (key.startsWith('data-') || key.startsWith('aria-')) node.setAttribute(key, value);
      else node[key] = value;
    }
    node.append(...children.filter((child) => child !== null && child !== undefined));
    return node;
  }

  const sizeText = (size) => `${size.toLocaleString('en')} bytes`;

  function forgetLinks() {
    links.forEach((url) => URL.revokeObjectURL(url));
    links = [];
  }

  // Returns: a link that saves bytes as the file name.
  function downloadLink(name, bytes, text = name, label = undefined) {
    const url = URL.createObjectURL(new Blob([bytes], { type: 'application/octet-stream' }));
    links.push(url);
    return element('a', { href: url, download: name, ...(label ? { 'aria-label': label } : {}) }, text);
  }

  // Shows console text in the order written; what went to standard error is set apart.
  function showConsole(target, pieces) {
    target.replaceChildren(...pieces.map(([stream, bytes]) => {
      const text = decoder.decode(bytes);
      return stream === 'stderr' ? element('span', { className: 'stderr', title: 'standard error' }, text) : text;
    }));
  }

  // Fills a select with names, keeping the chosen one where it is still offered.
  function fillChoice(select, names, preferred) {
    const keep = names.includes(select.value) ? select.value : preferred;
    select.replaceChildren(...names.map((name) => element('option', { value: name }, name)));
    if (names.includes(keep)) select.value = keep;
  }

  const shellWord = (word) => (/^[\w@%+=:,./-]+$/.test(word) ? word : `'${word.replace(/'/g, "'\\''")}'`);

  return { element, sizeText, forgetLinks, downloadLink, showConsole, fillChoice, shellWord, decode: (b) => decoder.decode(b) };
})();
