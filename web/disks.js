// Disk images for the drive, made by quillmore-flashdisk from bank loader
// files of the workspace, and kept in the workspace like every output.
import { say, text } from './language.js';
import { run } from './runner.js';
import { fileArgument } from './run-view.js';
import { decode, downloadLink, element, fill, sizeText } from './views.js';
import { DISK } from './words.js';
import * as Workspace from './workspace.js';

// Puts files (workspace names) onto the disk image name (IMAGE-1, -2, ...
// when they take more than one) and keeps the images; change keeps them
// (see app.js). Returns: { images, status, pieces }: what the program wrote and said.
export async function makeDisk(name, files, change) {
  const args = [name, ...files.map(fileArgument)];
  const result = await run(DISK, args, new Map(files.map((file) => [file, Workspace.get(file)])));
  const images = result.written.filter((image) => result.files.has(image));
  if (images.length > 0) await change(() => ({ puts: images.map((image) => [image, result.files.get(image)]) }));
  return { images, status: result.status, pieces: result.pieces.map(([stream, bytes]) => [stream, decode(bytes)]) };
}

// Shows disk images made (those the workspace still holds), each to
// download, with what the program said.
export function showDisks(target, disks) {
  if (!disks) {
    fill(target);
    return;
  }
  const said = element('pre', { tabIndex: 0, role: 'region', 'aria-label': text('disks.said', { program: DISK }) });
  said.textContent = disks.pieces.map(([, piece]) => piece).join('');
  const kept = disks.images.filter((image) => Workspace.get(image));
  fill(
    target,
    disks.status === 0
      ? null
      : element(
          'p',
          { role: 'alert' },
          say('disks.failed', { program: element('code', { translate: false }, DISK), status: disks.status }),
        ),
    element(
      'ul',
      { 'aria-label': text('disks.label') },
      kept.map((image) =>
        element(
          'li',
          {},
          downloadLink(image, () => Workspace.get(image)),
          text('disks.kept', { size: sizeText(Workspace.get(image).length) }),
        ),
      ),
    ),
    kept.length < disks.images.length ? element('p', { className: 'note' }, text('disks.removed')) : null,
    said,
  );
}
