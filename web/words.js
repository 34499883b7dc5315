// The tools' names, the fixed names of the files they use, and the words of
// the inspector's JSON that the page reads: written once, here.
export const TOOL = 'quillmore-flashtool';
export const INFO = 'quillmore-flashinfo';
export const DISK = 'quillmore-flashdisk';

export const FLASHER = 'fcFlash.prg';
export const IMAGE = 'flash.bin';
export const CATALOGUE = 'crc.ini';

// A file's "kind" in the inspector's JSON.
export const KIND = Object.freeze({
  IMAGE: 'flash image',
  ROM: 'ROM file',
  LOADER: 'bank loader',
  CATALOGUE: 'catalogue',
  DISK: 'disk image',
});

// A block's or a bank's "content".
export const CONTENT = Object.freeze({ KNOWN: 'known', UNKNOWN: 'unknown', BLANK: 'blank' });
