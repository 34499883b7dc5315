// ESLint, flat config: its recommended rules over the page's modules, its
// build script, its tests and its benchmark; and on the page's modules,
// rules that keep each function small and plain.
'use strict';
const js = require('@eslint/js');

const readonly = (names) => Object.fromEntries(names.map((name) => [name, 'readonly']));
const shared = [
  'console',
  'setTimeout',
  'clearTimeout',
  'setInterval',
  'clearInterval',
  'URL',
  'TextDecoder',
  'TextEncoder',
  'WebAssembly',
  'structuredClone',
  'atob',
  'Blob',
  'DataView',
  'DecompressionStream',
  'Response',
];
const browser = [
  'window',
  'location',
  'document',
  'navigator',
  'Navigator',
  'indexedDB',
  'IDBKeyRange',
  'performance',
  'BroadcastChannel',
  'DOMException',
  'Event',
  'IDBObjectStore',
  'queueMicrotask',
  'Worker',
  'self',
  'crypto',
  'PerformanceObserver',
  'MutationObserver',
  'NodeFilter',
  'axe',
];
const node = ['require', 'module', 'process', '__dirname', 'Buffer'];

module.exports = [
  { ignores: ['build/**', 'node_modules/**', 'demo/**'] },
  js.configs.recommended,
  {
    files: ['web/**/*.js'],
    ignores: ['web/build.js', 'web/sw.js'],
    // The engine also runs under node, where it takes its bytes from a Buffer.
    languageOptions: { sourceType: 'module', globals: readonly([...shared, ...browser, 'Buffer']) },
    rules: {
      complexity: ['error', 10],
      'max-depth': ['error', 3],
      'max-lines-per-function': ['error', { max: 40, skipBlankLines: true, skipComments: true }],
      'max-lines': ['error', { max: 400, skipBlankLines: false, skipComments: false }],
      'max-params': ['error', 5],
      'no-shadow': 'error', // a name of the module (say, text) never hidden by a local one
    },
  },
  {
    // The site's service worker: a classic script of its own.
    files: ['web/sw.js'],
    languageOptions: { sourceType: 'script', globals: readonly(['self', 'caches', 'fetch', 'URL', 'Request']) },
  },
  {
    // Node scripts; the tests' page functions run in the browser.
    files: ['web/build.js', 'tests/web/**/*.js', 'bench/**/*.js', 'eslint.config.js'],
    languageOptions: { sourceType: 'commonjs', globals: readonly([...shared, ...browser, ...node]) },
  },
];
