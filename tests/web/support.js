// Shared by the web tests: blocks with a chosen CRC-16, loader records, and
// the native tools run on a folder, to compare the engine with.
'use strict';
const { spawnSync } = require('child_process');
const fs = require('fs');
const os = require('os');
const path = require('path');

const root = path.join(__dirname, '..', '..');
const native = process.env.QUILLMORE_NATIVE_DIR || path.join(root, 'build', 'native', 'src');
const engineFile = process.env.QUILLMORE_ENGINE || path.join(root, 'build', 'web', 'quillmore.js');
const pageFile = path.join(path.dirname(engineFile), 'quillmore-flashtool.html');

// The CRC-16 of the catalogue: polynomial 0x8005 over the data alone, most significant bit first.
function crc16(bytes) {
  let register = 0;
  for (const byte of bytes) {
    for (let bit = 7; bit >= 0; bit--) {
      const feedback = register & 0x8000;
      register = ((register << 1) | ((byte >> bit) & 1)) & 0xffff;
      if (feedback) register ^= 0x8005;
    }
  }
  return register;
}

// Returns: an 8192-byte block patterned from seed, never blank, whose CRC-16 is target.
function forgedBlock(target, seed) {
  const block = new Uint8Array(8192);
  for (let i = 0; i < block.length; i++) block[i] = (seed + i * 3 + (i >> 8)) & 0xff;
  block[8190] = block[8191] = 0;  // the last two bytes are added to the remainder as they are
  const tail = crc16(block) ^ target;
  block[8190] = tail >> 8;
  block[8191] = tail & 0xff;
  return block;
}

const concat = (...parts) => Uint8Array.from(parts.flatMap((part) => Array.from(part)));
const text = (s) => new TextEncoder().encode(s);
const filled = (size, value) => new Uint8Array(size).fill(value);

// Returns: a 512 KB image, all 0xFF but for these slots ({bank: block}).
function imageWith(slots) {
  const image = filled(524288, 0xff);
  for (const [bank, block] of Object.entries(slots)) image.set(block, Number(bank) * 8192);
  return image;
}

const readFolder = (dir) => Object.fromEntries(fs.readdirSync(dir, { recursive: true }).sort()
  .filter((name) => fs.lstatSync(path.join(dir, name)).isFile())
  .map((name) => [name, new Uint8Array(fs.readFileSync(path.join(dir, name)))]));

// Runs a built native tool in a fresh folder holding files.
// Returns: what quillmore.run returns for the same run.
function runNative(program, args, files) {
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'quillmore-web-'));
  try {
    for (const [name, bytes] of Object.entries(files)) {
      fs.mkdirSync(path.dirname(path.join(dir, name)), { recursive: true });
      fs.writeFileSync(path.join(dir, name), bytes);
    }
    const run = spawnSync(path.join(native, program), args, { cwd: dir });
    return { status: run.status, stdout: new Uint8Array(run.stdout), stderr: new Uint8Array(run.stderr), files: readFolder(dir) };
  } finally {
    fs.rmSync(dir, { recursive: true, force: true });
  }
}

module.exports = { root, engineFile, pageFile, forgedBlock, concat, text, filled, imageWith, runNative };
