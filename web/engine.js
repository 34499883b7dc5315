// The engine: both tools, compiled to WebAssembly, run on a folder held in
// memory. Every run gets a fresh instance of the module, which is compiled
// once; nothing carries over from one run to the next.
//
//   const result = await quillmore.run(program, args, files[, options]);
//   program: "quillmore-flashtool" or "quillmore-flashinfo"
//   args:    the arguments after the program name, as strings
//   files:   { "relative/path": Uint8Array, ... }, the working folder before the run
//   result:  { status, stdout, stderr, files }: the exit status (-1 when the
//            run aborted), every byte written to each stream, and every
//            regular file of the folder after the run
//   options.onOutput(stream, bytes): called after the run for each piece of
//            console text in the order written ("stdout" or "stderr")
//
// createQuillmoreEngine (the module's loader), ENGINE_WASM (the module,
// base64) and ENGINE_VERSION are put before this text when it is built.
/* global createQuillmoreEngine, ENGINE_WASM, ENGINE_VERSION */
const quillmore = (() => {
  'use strict';

  const PROGRAMS = ['quillmore-flashtool', 'quillmore-flashinfo'];
  const FOLDER = '/work';
  let compiled = null;

  function moduleBytes() {
    if (typeof Buffer === 'function') return new Uint8Array(Buffer.from(ENGINE_WASM, 'base64'));
    const text = atob(ENGINE_WASM);
    const bytes = new Uint8Array(text.length);
    for (let i = 0; i < text.length; i++) bytes[i] = text.charCodeAt(i);
    return bytes;
  }

  // The console text of a run: pieces in the order written, each from one stream.
  function consoleLog() {
    const pieces = [];
    const write = (stream) => (byte) => {
      let last = pieces[pieces.length - 1];
      if (!last || last.stream !== stream) pieces.push((last = { stream, bytes: [] }));
      last.bytes.push(byte);
    };
    const join = (stream) => Uint8Array.from(pieces.filter((p) => p.stream === stream).flatMap((p) => p.bytes));
    return { pieces, stdout: write('stdout'), stderr: write('stderr'), join };
  }

  function checkedPath(path) {
    const parts = String(path).split('/');
    if (path.startsWith('/') || parts.some((part) => part === '' || part === '.' || part === '..')) {
      throw new TypeError(`not a relative path inside the folder: ${path}`);
    }
    return parts;
  }

  function writeFolder(FS, files) {
    FS.mkdir(FOLDER);
    FS.chdir(FOLDER);
    for (const [path, bytes] of Object.entries(files || {})) {
      const parts = checkedPath(path);
      if (parts.length > 1) FS.mkdirTree(`${FOLDER}/${parts.slice(0, -1).join('/')}`);
      FS.writeFile(`${FOLDER}/${path}`, bytes instanceof Uint8Array ? bytes : new Uint8Array(bytes));
    }
  }

  function readFolder(FS, dir = FOLDER, prefix = '', files = {}) {
    for (const name of FS.readdir(dir).sort()) {
      if (name === '.' || name === '..') continue;
      const path = `${dir}/${name}`;
      const mode = FS.lstat(path).mode;
      if (FS.isDir(mode)) readFolder(FS, path, `${prefix}${name}/`, files);
      else if (FS.isFile(mode)) files[prefix + name] = FS.readFile(path);
    }
    return files;
  }

  async function instantiate(program, log) {
    if (!compiled) compiled = WebAssembly.compile(moduleBytes());
    const module = await compiled;
    return createQuillmoreEngine({
      thisProgram: program,
      noInitialRun: true,
      quit: (status, toThrow) => {
        throw toThrow;
      },
      print: () => {},
      printErr: () => {},
      instantiateWasm(imports, receive) {
        WebAssembly.instantiate(module, imports).then((instance) => receive(instance, module));
        return {};
      },
      preRun: [(engine) => engine.FS.init(() => null, log.stdout, log.stderr)],
    });
  }

  // Returns: the line that closes the console text of a run that aborted.
  // Memory that ran out the run has said itself; anything else is a trap.
  function abortLine(program, error) {
    const message = String((error && error.message) || error);
    return `${program}: the run was aborted${message.startsWith('Aborted(') ? '' : `: ${message}`}\n`;
  }

  async function run(program, args, files, options = {}) {
    if (!PROGRAMS.includes(program)) throw new TypeError(`no such program: ${program}`);
    const log = consoleLog();
    const engine = await instantiate(program, log);
    writeFolder(engine.FS, files);
    let status;
    try {
      status = engine.callMain((args || []).map(String));
    } catch (error) {
      status = -1;
      for (const byte of new TextEncoder().encode(abortLine(program, error))) log.stderr(byte);
    }
    const result = { status, stdout: log.join('stdout'), stderr: log.join('stderr'), files: readFolder(engine.FS) };
    if (options.onOutput) for (const piece of log.pieces) options.onOutput(piece.stream, Uint8Array.from(piece.bytes));
    return result;
  }

  return Object.freeze({ run, version: ENGINE_VERSION });
})();
