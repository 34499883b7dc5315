// The engine under node: every run gives the native tool's files, console
// bytes and status, and a run that aborts leaves the next one whole.
'use strict';
const assert = require('assert');
const { test } = require('node:test');
const {
  engineFile,
  concat,
  text,
  decode,
  filled,
  example,
  speedDos,
  quickDos,
  unknown,
  imageWith,
  runNative,
} = require('./support');

const quillmore = require(engineFile);
const blank = filled(8192, 0xff);
const flasher = Uint8Array.from([0x00, 0x03, 0xaa, 0xbb]);
const ready = (files) => ({ 'fcFlash.prg': flasher, ...files });
const allBanks = ready({
  'memFlashBank_00.bin': quickDos,
  'memFlashBank_05.bin': unknown,
  'memFlashBank_22.bin': concat([0x00, 0x80], speedDos),
});
const catalogue = text('# mine\n1111; 01; one\n2222; 40; too high\nbad line\nd3da; 05; moved\n');
const [tool, info, disk] = ['quillmore-flashtool', 'quillmore-flashinfo', 'quillmore-flashdisk'];
// 25 bank loader files' worth: more than a .d64 holds.
const loaders = Object.fromEntries(Array.from({ length: 25 }, (_, i) => [`l${i}.prg`, filled(8344, i)]));

// program, arguments, the folder before the run
const cases = [
  [tool, [], {}],
  [tool, ['--version'], ready({})],
  [tool, ['DD2.bin', '-t'], { 'DD2.bin': example('DD2.bin'), 'fcFlash.prg': example('fcFlash.prg') }],
  [
    tool,
    ['r.bin', '-t', '-b', '-v3'],
    ready({ 'r.bin': concat(speedDos, unknown, blank), 'flash.bin': imageWith({ 1: quickDos }) }),
  ],
  [tool, ['r.bin', '-t', '-v2'], ready({ 'r.bin': concat([1, 8], quickDos), 'flash.bin': filled(1000, 0) })],
  [tool, ['-a', '-t', '-b'], allBanks],
  [tool, ['r.bin', '-sb05', '-v0'], ready({ 'r.bin': speedDos })],
  [tool, ['r.bin', '-sb40', '-t'], ready({ 'r.bin': speedDos })],
  [tool, ['r.bin', '-sbZZ'], ready({ 'r.bin': speedDos })],
  [tool, ['r.bin', 'bad.bin', 'r.bin'], ready({ 'r.bin': quickDos, 'bad.bin': filled(8193, 0) })],
  [tool, ['r.bin', 'missing.bin'], ready({ 'r.bin': quickDos, 'crc.ini': catalogue })],
  [tool, ['r.bin'], { 'r.bin': quickDos }],
  [tool, ['r.bin'], { 'r.bin': quickDos, 'fcFlash.prg': filled(1025, 1) }],
  [tool, ['r.bin'], { 'r.bin': quickDos, 'fcFlash.prg': Uint8Array.from([1]) }],
  [tool, ['sub/r.bin', '-b'], ready({ 'sub/r.bin': speedDos })],
  [
    info,
    ['flash.bin', 'r.bin', '&flashbank0b.prg'],
    runNative(tool, ['r.bin', '-t'], ready({ 'r.bin': concat(speedDos, unknown) })).files,
  ],
  [
    info,
    ['--json', 'image.bin', 'odd.txt', 'empty.bin'],
    {
      'image.bin': imageWith({ 5: speedDos, 7: unknown }),
      'odd.txt': text('odd'),
      'empty.bin': new Uint8Array(0),
      'crc.ini': catalogue,
    },
  ],
  [
    info,
    ['--compare', 'a.bin', 'b.bin'],
    { 'a.bin': imageWith({ 11: speedDos }), 'b.bin': imageWith({ 11: quickDos }) },
  ],
  [info, ['--json', '--compare', 'a.bin', 'missing.bin'], { 'a.bin': imageWith({}) }],
  [info, ['-x'], {}],
  [disk, ['all.d64', ...Object.keys(loaders)], loaders],
  [disk, ['-n', 'banks', 'all.d81', ...Object.keys(loaders)], loaders],
  [disk, ['all.d64', 'l1.prg', 'missing.prg'], loaders],
  [info, ['--json', 'all-1.d64', 'all-2.d64'], runNative(disk, ['all.d64', ...Object.keys(loaders)], loaders).files],
];

test('the engine gives what the native tools give', async () => {
  for (const [program, args, files] of cases) {
    const label = `${program} ${args.join(' ')}`;
    const { written, ...engine } = await quillmore.run(program, args, files);
    assert.deepStrictEqual(engine, runNative(program, args, files), label);
    assert.ok(
      written.every((name) => name in engine.files),
      label,
    );
  }
});

test('a run that aborts says why with status -1, and the next run works', async () => {
  // Each line an entry: more of them than a run's memory holds.
  const huge = text('0000; 01; x\n'.repeat(3000000));
  const aborted = await quillmore.run(tool, ['DD2.bin'], {
    'DD2.bin': example('DD2.bin'),
    'fcFlash.prg': flasher,
    'crc.ini': huge,
  });
  assert.strictEqual(aborted.status, -1);
  assert.strictEqual(
    decode(aborted.stderr),
    'quillmore-flashtool: out of memory\nquillmore-flashtool: the run was aborted\n',
  );
  const next = await quillmore.run(info, ['--version'], {});
  assert.deepStrictEqual([next.status, decode(next.stdout)], [0, `quillmore-flashinfo ${quillmore.version}\n`]);
});

test('console text comes in the order written, each piece with its stream', async () => {
  const pieces = [];
  const result = await quillmore.run(tool, ['r.bin', 'missing.bin', '-v0'], ready({ 'r.bin': unknown }), {
    onOutput: (stream, bytes) => pieces.push([stream, decode(bytes)]),
  });
  assert.strictEqual(result.status, 0);
  assert.deepStrictEqual(pieces, [
    ['stdout', '##### Quillmore Flash Tool #####\n'],
    ['stderr', '** unknown block: 00 ...  (CRC-16:1a2b)\n** cannot open file: missing.bin'],
  ]);
});

test('the engine refuses wrong values before the run, naming them', async () => {
  const refused = [
    [['r.bin'], { 'r.bin': new Blob([quickDos]) }, /the bytes of "r\.bin" must be .* not a Blob/],
    [['r.bin'], { 'r.bin': 'text' }, /the bytes of "r\.bin" must be .* not a string/],
    [['r.bin'], { 'r.bin': null }, /the bytes of "r\.bin" .* not null/],
    [['r.bin'], { 'r.bin': 8192 }, /the bytes of "r\.bin" .* not a number/],
    [['r.bin'], [quickDos], /files must be an object or a Map/],
    ['r.bin', {}, /args must be an array of strings, not a string/],
    [[1], {}, /args must be an array of strings/],
    [['DD2.bin\0-t'], {}, /an argument must not hold NUL: "DD2\.bin\\u0000-t"/],
    [[], { '': quickDos }, /a file name must be a non-empty string: ""/],
    [[], { '/r.bin': quickDos }, /not a relative path inside the folder: "\/r\.bin"/],
    [[], { 'a/../r.bin': quickDos }, /not a relative path/],
    [[], { 'a\ud800.bin': quickDos }, /well-formed text .*: "a\\ud800\.bin"/],
    [[], { a: quickDos, 'a/b': quickDos }, /both a file and a folder: "a"/],
  ];
  for (const [args, files, message] of refused) {
    await assert.rejects(
      quillmore.run(info, args, files),
      (error) => error instanceof TypeError && message.test(error.message),
      String(message),
    );
  }
});

test('any view of bytes is a file, and every name is its own key both ways', async () => {
  const bytes = concat([0x00, 0x40], quickDos);
  const framed = concat([1, 2, 3], bytes, [4, 5, 6]);
  const views = [
    bytes.buffer,
    new DataView(framed.buffer, 3, bytes.length),
    Buffer.from(bytes),
    new Int8Array(framed.buffer, 3, bytes.length),
  ];
  for (const view of views) {
    const files = new Map([
      ['__proto__', view],
      ['fcFlash.prg', flasher],
      ['constructor', flasher],
      ['toString', new Uint8Array(0)],
    ]);
    const result = await quillmore.run(tool, ['__proto__', '-sb05'], files);
    assert.deepStrictEqual(Object.keys(result.files).sort(), [
      '&flashbank05.prg',
      '__proto__',
      'constructor',
      'crc.ini',
      'fcFlash.prg',
      'toString',
    ]);
    assert.deepStrictEqual([result.files.__proto__, result.files.constructor], [bytes, flasher]);
  }
});

test('written and read: the files a run opened, in order, a rewrite with the same bytes too; no other file', async () => {
  const files = ready({ 'r.bin': concat(speedDos, unknown), 'flash.bin': imageWith({}), 'other.bin': quickDos });
  const first = await quillmore.run(tool, ['r.bin', '-b', '-t'], files);
  assert.deepStrictEqual(first.written, [
    'crc.ini',
    'flash.bin',
    'block00.bin',
    '&flashbank0b.prg',
    '&flashbank18.prg',
    'block01.bin',
  ]);
  const reads = [];
  const again = await quillmore.run(tool, ['r.bin', '-t'], { ...files, ...first.files }, { reads });
  assert.deepStrictEqual(again.written, ['flash.bin', '&flashbank0b.prg', '&flashbank18.prg']);
  assert.deepStrictEqual(reads, ['fcFlash.prg', 'crc.ini', 'r.bin']);
  assert.deepStrictEqual(again.files['&flashbank0b.prg'], first.files['&flashbank0b.prg']);
});
