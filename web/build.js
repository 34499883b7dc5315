// Builds the engine script and the page from the compiled module, bundling
// the page's modules with esbuild:
//   node web/build.js GLUE.js MODULE.wasm VERSION OUT_DIR [SITE_DIR]
// OUT_DIR/quillmore.js is the engine, usable with require() and as a
// classic script (window.quillmore); OUT_DIR/quillmore-flashtool.html is the
// page, one file with every style and script inside, allowed no request at
// all. SITE_DIR, for any static host: index.html (the same page, which may
// also load its manifest and icon and register its service worker), sw.js,
// manifest.webmanifest and icon.svg; nothing else.
'use strict';
const crypto = require('crypto');
const esbuild = require('esbuild');
const zlib = require('zlib');
const fs = require('fs');
const path = require('path');

const here = __dirname;
const read = (file) => fs.readFileSync(file, 'utf8');

// The in-memory file system of this emscripten keeps a folder's entries in
// a plain object, where a file named "__proto__" is lost and one named
// "constructor" finds Object's own; its folders get objects without a
// prototype instead. Each mend must match exactly once, or the build stops.
const GLUE_MENDS = [
  ['node.contents={}}else if(FS.isFile(node.mode))', 'node.contents=Object.create(null)}else if(FS.isFile(node.mode))'],
  ['if(!node.contents.hasOwnProperty(key))', 'if(!Object.prototype.hasOwnProperty.call(node.contents,key))'],
];

function mendedGlue(glueFile) {
  let glue = read(glueFile);
  for (const [from, to] of GLUE_MENDS) {
    const found = glue.split(from).length - 1;
    if (found !== 1)
      throw new Error(`${glueFile}: "${from}" found ${found} times, not once: the file system mend no longer fits`);
    glue = glue.replace(from, () => to);
  }
  return glue;
}

// The build's own module "quillmore:module": emscripten's loader, which runs
// in a scope of its own where it cannot export itself, the module's bytes,
// deflated, as base64, and the version.
function modulePlugin(glueFile, wasmFile, version) {
  const contents = [
    'const createModule = (function (module, exports, define) {',
    mendedGlue(glueFile),
    'return createQuillmoreEngine;',
    '})();',
    'export { createModule };',
    // Deflated (zlib), the module is less than half its size: the page and the script carry it so.
    `export const wasmBase64 = "${zlib.deflateSync(fs.readFileSync(wasmFile), { level: 9 }).toString('base64')}";`,
    `export const version = ${JSON.stringify(version)};`,
  ].join('\n');
  return {
    name: 'quillmore-module',
    setup(build) {
      build.onResolve({ filter: /^quillmore:module$/ }, () => ({ path: 'module', namespace: 'quillmore' }));
      build.onLoad({ filter: /.*/, namespace: 'quillmore' }, () => ({ contents, loader: 'js' }));
    },
  };
}

// The page's module "quillmore:worker": the engine's worker, bundled first, as text.
function workerPlugin(workerText) {
  return {
    name: 'quillmore-worker',
    setup(build) {
      build.onResolve({ filter: /^quillmore:worker$/ }, () => ({ path: 'worker', namespace: 'quillmore-worker' }));
      build.onLoad({ filter: /.*/, namespace: 'quillmore-worker' }, () => ({
        contents: `export default ${JSON.stringify(workerText)};`,
        loader: 'js',
      }));
    },
  };
}

// Returns: the text of entry with every module it imports, as one classic script.
async function bundle(entry, plugins, options = {}) {
  const result = await esbuild.build({
    entryPoints: [path.join(here, entry)],
    bundle: true,
    write: false,
    format: 'iife',
    target: 'es2020',
    charset: 'utf8',
    legalComments: 'inline',
    minifyWhitespace: true, // the loader is minified already; the page's own modules are read in web/
    absWorkingDir: path.join(here, '..'),
    external: ['fs', 'path', 'crypto'], // the loader's node-only paths, which the engine never takes
    plugins,
    ...options,
  });
  return result.outputFiles[0].text;
}

// Returns: the page, one HTML file holding these scripts (texts, in order)
// and the style sheet, under a policy that lets only them run; for a site,
// the page's own manifest, icon and service worker are allowed too.
function inlinePage(scripts, version, { site = false } = {}) {
  const style = read(path.join(here, 'page.css'));
  const hash = (text) => `'sha256-${crypto.createHash('sha256').update(text, 'utf8').digest('base64')}'`;
  // A script's text must not end its element early ("</script") nor start
  // a comment the parser would read on into the next element ("<!--"); the
  // policy names each script by the hash of the very text the page holds.
  const inlined = scripts.map((text) => text.replace(/<(\/script|!--)/gi, '<\\$1'));
  const policy = [
    "default-src 'none'",
    `script-src ${inlined.map(hash).join(' ')} 'wasm-unsafe-eval'`,
    `worker-src blob:${site ? " 'self'" : ''}`, // the engine's worker, made from the page's own text; a site's sw.js
    `style-src ${hash(style)}`,
    `img-src data: blob:${site ? " 'self'" : ''}`,
    ...(site ? ["manifest-src 'self'"] : []),
    "base-uri 'none'",
    "form-action 'none'",
  ].join('; ');
  const siteHead = site
    ? '<link rel="manifest" href="manifest.webmanifest">\n<link rel="icon" href="icon.svg" type="image/svg+xml">\n' +
      '<meta name="quillmore-site" content="sw.js">'
    : '';
  const scriptText = inlined.map((text) => `<script>${text}</script>`).join('\n');
  return read(path.join(here, 'page.html'))
    .replace('@POLICY@', () => policy)
    .replace('@VERSION@', () => version)
    .replace('<!-- site -->', () => siteHead)
    .replace('<style></style>', () => `<style>${style}</style>`)
    .replace('<!-- scripts -->', () => scriptText);
}

// Writes the site: the page, its service worker (named by the version and
// the page's bytes, so that a new page is a new worker), manifest and icon.
function writeSite(siteDir, page, version) {
  const index = inlinePage([page], version, { site: true });
  const digest = crypto.createHash('sha256').update(index, 'utf8').digest('hex').slice(0, 16);
  const manifest = {
    name: 'quillmore-flashtool',
    short_name: 'quillmore',
    description: "Prepares ROM images for the 64 banks of a drive's flash, and checks what came out",
    start_url: './',
    scope: './',
    display: 'standalone',
    background_color: '#fdfdfb',
    theme_color: '#0b5cad',
    icons: [{ src: 'icon.svg', sizes: 'any', type: 'image/svg+xml' }],
  };
  fs.rmSync(siteDir, { recursive: true, force: true });
  fs.mkdirSync(siteDir, { recursive: true });
  fs.writeFileSync(path.join(siteDir, 'index.html'), index);
  fs.writeFileSync(
    path.join(siteDir, 'sw.js'),
    read(path.join(here, 'sw.js')).replace('@VERSION@', `${version}-${digest}`),
  );
  fs.writeFileSync(path.join(siteDir, 'manifest.webmanifest'), `${JSON.stringify(manifest, null, 2)}\n`);
  fs.copyFileSync(path.join(here, 'icon.svg'), path.join(siteDir, 'icon.svg'));
}

async function main() {
  const [glueFile, wasmFile, version, outDir, siteDir] = process.argv.slice(2);
  const plugin = modulePlugin(glueFile, wasmFile, version);
  const engine = await bundle('quillmore.js', [plugin], {
    globalName: 'quillmore',
    banner: {
      js: `// quillmore.js ${version}: quillmore-flashtool, quillmore-flashinfo and quillmore-flashdisk in WebAssembly.`,
    },
    footer: { js: "if (typeof module === 'object' && module.exports) module.exports = quillmore;" },
  });
  const worker = await bundle('worker.js', [plugin]);
  const page = await bundle('app.js', [workerPlugin(worker)]);
  fs.mkdirSync(outDir, { recursive: true });
  fs.writeFileSync(path.join(outDir, 'quillmore.js'), engine);
  fs.writeFileSync(path.join(outDir, 'quillmore-flashtool.html'), inlinePage([page], version));
  if (siteDir) writeSite(siteDir, page, version);
}

if (require.main === module) {
  main().catch((error) => {
    console.error(error);
    process.exit(1);
  });
}
module.exports = { inlinePage };
