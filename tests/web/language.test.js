// The page's words: both tables complete and alike, every key the page
// names in them, the language chosen as the browser asks, counts and
// numbers as each language writes them.
'use strict';
const assert = require('assert');
const fs = require('fs');
const path = require('path');
const { test } = require('node:test');
const { loadModule } = require('./support');

const language = loadModule('web/language.js');
const { TABLES } = language;
const web = path.join(__dirname, '..', '..', 'web');

// Returns: the placeholders and code spans of a text, each form's, sorted.
const marks = (value) =>
  Object.entries(typeof value === 'string' ? { text: value } : value).map(([form, words]) => [
    form,
    (words.match(/\{\w+\}|`[^`]*`/g) || []).sort().join(' '),
  ]);

test('every language has every text, with the same placeholders and code, and both forms of a count', () => {
  const keys = Object.keys(TABLES.en).sort();
  for (const [lang, table] of Object.entries(TABLES)) {
    assert.deepStrictEqual(Object.keys(table).sort(), keys, `the keys of ${lang}`);
    for (const key of keys) {
      const value = table[key];
      assert.ok(typeof value === 'string' ? value !== '' : value.one && value.other, `${lang} ${key}`);
      assert.deepStrictEqual(marks(value), marks(TABLES.en[key]), `${lang} ${key}: placeholders and code`);
    }
  }
});

test('no text of another language is left as the English one, but those alike in every language', () => {
  const alike = ['language.label', 'map.sideKnown', 'catalogue.crc'];
  for (const [lang, table] of Object.entries(TABLES).filter(([name]) => name !== 'en')) {
    const same = Object.keys(table).filter((key) => JSON.stringify(table[key]) === JSON.stringify(TABLES.en[key]));
    assert.deepStrictEqual(same, alike, lang);
  }
});

test('every key the page names is in the tables', () => {
  const named = new Set();
  for (const file of fs.readdirSync(web).filter((name) => name.endsWith('.js') || name.endsWith('.html'))) {
    const source = fs.readFileSync(path.join(web, file), 'utf8');
    for (const [, key] of source.matchAll(/\b(?:text|say|words)\('([\w.]+)'/g)) named.add(key);
    if (file.endsWith('.html')) for (const [, key] of source.matchAll(/data-t(?:-[\w-]+)?="([\w.]+)"/g)) named.add(key);
  }
  assert.ok(named.size > 100, `${named.size} keys found`);
  const missing = [...named].filter((key) => !Object.hasOwn(TABLES.en, key));
  assert.deepStrictEqual(missing, [], 'keys named but not in the tables');
});

test("the language: the one chosen, else the first of the browser's the page speaks, else English", () => {
  for (const [chosen, asked, shown] of [
    [null, ['de-AT', 'en-US'], 'de'],
    [null, ['fr-FR', 'DE'], 'de'],
    [null, ['fr-FR', 'it'], 'en'],
    [null, undefined, 'en'],
    ['en', ['de-DE'], 'en'],
    ['de', ['en-GB'], 'de'],
    ['xx', ['de-CH'], 'de'],
  ])
    assert.strictEqual(language.chooseLanguage(chosen, asked), shown, `${chosen} ${asked}`);
});

test('counts, numbers and sizes as each language writes them', () => {
  const cases = [
    ['en', () => language.text('files.count', { n: 1 }), '1 file'],
    ['en', () => language.text('files.count', { n: 2048 }), '2,048 files'],
    ['de', () => language.text('files.count', { n: 1 }), '1 Datei'],
    ['de', () => language.text('files.count', { n: 2048 }), '2.048 Dateien'],
    ['en', () => language.sizeWords(3.4e6), '3.4 MB'],
    ['de', () => language.sizeWords(3.4e6), '3,4 MB'],
    ['de', () => language.sizeWords(1500), '2 KB'],
    [
      'de',
      () => language.text('form.unreadable', { error: 'x' }),
      'crc.ini lässt sich nicht lesen: x. Nichts wurde geschrieben.',
    ],
  ];
  try {
    for (const [lang, said, expected] of cases) {
      language.setLanguage(lang);
      assert.strictEqual(said(), expected, lang);
    }
    assert.throws(() => language.text('files.count', {}), /no value for \{n\}/);
    assert.throws(() => language.text('no.such.text'), /no text for no\.such\.text/);
  } finally {
    language.setLanguage('en');
  }
});
