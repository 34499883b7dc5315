// Builds the engine script and the page from the compiled module:
//   node web/build.js GLUE.js MODULE.wasm VERSION OUT_DIR
// OUT_DIR/quillmore.js is the engine, usable with require() and as a
// classic script (window.quillmore); OUT_DIR/quillmore-flashtool.html is the
// page, one file with every style and script inside, allowed no request at all.
'use strict';
const crypto = require('crypto');
const fs = require('fs');
const path = require('path');

const [glueFile, wasmFile, version, outDir] = process.argv.slice(2);
const here = __dirname;
const read = (file) => fs.readFileSync(file, 'utf8');

// The module's loader runs in a scope of its own, where it cannot export itself.
const engine = `// quillmore.js ${version}: quillmore-flashtool and quillmore-flashinfo in WebAssembly.
(function (root) {
const createQuillmoreEngine = (function (module, exports, define) {
${read(glueFile)}
return createQuillmoreEngine;
})();
const ENGINE_WASM = "${fs.readFileSync(wasmFile).toString('base64')}";
const ENGINE_VERSION = ${JSON.stringify(version)};
${read(path.join(here, 'engine.js'))}
if (typeof module === 'object' && module.exports) module.exports = quillmore;
else root.quillmore = quillmore;
})(typeof globalThis === 'object' ? globalThis : this);
`;

// The page's own scripts, in the order they build on each other.
const PAGE_SCRIPTS = ['workspace.js', 'views.js', 'map.js', 'app.js'];

function page() {
  const zip = read(path.join(here, '..', 'node_modules', 'fflate', 'umd', 'index.js'));
  const scripts = [engine, zip, ...PAGE_SCRIPTS.map((name) => read(path.join(here, name)))];
  const style = read(path.join(here, 'page.css'));
  const hash = (text) => `'sha256-${crypto.createHash('sha256').update(text, 'utf8').digest('base64')}'`;
  const policy = [
    "default-src 'none'",
    `script-src ${scripts.map(hash).join(' ')} 'wasm-unsafe-eval'`,
    `style-src ${hash(style)}`,
    'img-src data: blob:',
    "base-uri 'none'",
    "form-action 'none'",
  ].join('; ');
  // A script's text must not close its own element early.
  const inline = (text) => `<script>${text.replace(/<\/script/gi, '<\\/script')}</script>`;
  const scriptText = scripts.map(inline).join('\n');
  return read(path.join(here, 'page.html'))
    .replace('@POLICY@', () => policy)
    .replace('@VERSION@', () => version)
    .replace('<style></style>', () => `<style>${style}</style>`)
    .replace('<!-- scripts -->', () => scriptText);
}

fs.mkdirSync(outDir, { recursive: true });
fs.writeFileSync(path.join(outDir, 'quillmore.js'), engine);
if (fs.existsSync(path.join(here, 'page.html'))) fs.writeFileSync(path.join(outDir, 'quillmore-flashtool.html'), page());
