// What the user does to the workspace as a whole: adds files (picked or
// dropped), removes one, starts over, downloads them as one .zip; and where
// the workspace is kept, with the room left.
import { zipSync } from 'fflate';
import { change, unlessChangedElsewhere } from './actions.js';
import { focusAfter } from './files-view.js';
import { say, sizeWords, text } from './language.js';
import { reportSkipped } from './notices.js';
import { page } from './state.js';
import * as Views from './views.js';
import * as Workspace from './workspace.js';
import { IMAGE } from './words.js';

const { element, isolated, nameList } = Views;

// The zip of files named, made when the link is followed.
export const zipOf = (names) => () =>
  zipSync(Object.fromEntries(names.filter((name) => Workspace.get(name)).map((name) => [name, Workspace.get(name)])));

// Returns: whether the user lets the files named replace the workspace's files of those names.
function replaceAsked(taken) {
  return Views.ask(
    say('ask.replaceTaken', { n: taken.length, names: nameList(taken) }),
    text('ask.replace'),
    text('ask.keepWorkspace'),
  );
}

// Adds files, asking before one replaces a file of the same name, and
// again when another tab changed or added one of them meanwhile.
async function addEntries(entries) {
  const taken = entries.filter(([name]) => Workspace.get(name)).map(([name]) => name);
  if (taken.length > 0 && !(await replaceAsked(taken))) entries = entries.filter(([name]) => !taken.includes(name));
  let seen = new Map(entries.map(([name]) => [name, Workspace.get(name)]));
  const only = entries.map(([name]) => name);
  while (entries.length > 0) {
    const outcome = await change(
      (files) => {
        const changed = entries.filter(([name]) => !Workspace.sameBytes(files.get(name), seen.get(name)));
        return changed.length ? { conflict: { names: changed.map(([name]) => name), files } } : { puts: entries };
      },
      { only },
    );
    if (!outcome.conflict) return;
    const { names, files } = outcome.conflict;
    const replace = await Views.ask(
      say('ask.replaceChanged', { n: names.length, names: nameList(names) }),
      text('ask.replace'),
      text('ask.leave'),
    );
    if (!replace) entries = entries.filter(([name]) => !names.includes(name));
    seen = new Map(entries.map(([name]) => [name, files.get(name)]));
  }
}

// Returns: why a file given cannot join the workspace, or '' when it can: its name, or its size.
function fileProblem(file) {
  const problem = Workspace.nameProblem(file.name);
  if (problem || file.size <= Workspace.MOST_BYTES) return problem;
  return text('files.tooBig', { size: sizeWords(file.size), most: Workspace.MOST_BYTES / 1024 / 1024 });
}

// Adds files the user gave (File objects); folders, files too large for
// the workspace and unreadable ones are named and skipped, before any is read.
export async function addFiles(list, folders) {
  const skipped = folders.map((name) => [name, text('files.folder')]);
  const given = [...list].filter((file) => {
    const problem = fileProblem(file);
    if (problem) skipped.push([file.name, problem]);
    return !problem;
  });
  const read = await Promise.allSettled(given.map((file) => file.arrayBuffer()));
  const entries = [];
  read.forEach((outcome, i) => {
    if (outcome.status === 'rejected') skipped.push([given[i].name, text('files.unreadable')]);
    else entries.push([given[i].name, new Uint8Array(outcome.value)]);
  });
  reportSkipped(skipped);
  if (entries.length > 0) await addEntries(entries);
}

// Returns: the files and folders dropped on the page.
export function dropped(dataTransfer) {
  const items = [...(dataTransfer.items || [])];
  if (items.length === 0 || typeof items[0].webkitGetAsEntry !== 'function') {
    return { files: [...dataTransfer.files], folders: [] };
  }
  const files = [];
  const folders = [];
  for (const item of items.filter((each) => each.kind === 'file')) {
    const entry = item.webkitGetAsEntry();
    if (entry && entry.isDirectory) folders.push(entry.name);
    else if (item.getAsFile()) files.push(item.getAsFile());
  }
  return { files, folders };
}

// Removes a file, asking first when another tab changed it since this tab showed it.
export async function removeFile(name) {
  let seen = Workspace.get(name);
  const focusNext = focusAfter(name);
  for (;;) {
    const outcome = await change(
      unlessChangedElsewhere(name, seen, () => ({ removals: [name] })),
      { only: [name] },
    );
    if (!outcome.conflict || !outcome.conflict.now) break;
    const asked = say('ask.removeChanged', { name: element('code', { translate: false }, isolated(name)) });
    if (!(await Views.ask(asked, text('ask.removeIt'), text('ask.leave')))) return;
    seen = outcome.conflict.now;
  }
  page.chosen = page.chosen.filter((rom) => rom !== name);
  focusNext();
}

// Deletes every file of the workspace, and the last run, after asking.
// Returns: whether it did.
export async function startOver() {
  const count = Workspace.count();
  if (count === 0) return false;
  const image = Workspace.get(IMAGE) ? say('ask.startOverImage') : '';
  const asked = say('ask.startOver', { n: count, image });
  if (!(await Views.ask(asked, text('ask.delete', { n: count }), text('ask.keep', { n: count })))) return false;
  page.chosen = [];
  page.record = null;
  page.lost = null;
  page.comparison = null;
  page.report = null;
  await Workspace.saveState('run', null);
  await Workspace.saveState('lost', null);
  await change(() => ({ clear: true }));
  return true;
}

// Says where the workspace is kept, and how much room is left there.
export async function showStorage() {
  const note = document.getElementById('storage-note');
  if (!page.kept) {
    note.textContent = text('storage.noneNote');
    return;
  }
  const space = await Workspace.space();
  const room =
    space && space.quota
      ? text('storage.keptRoom', {
          used: sizeWords(space.usage),
          left: sizeWords(Math.max(0, space.quota - space.usage)),
        })
      : '';
  note.textContent = text(space && space.persisted ? 'storage.keptNote' : 'storage.keptNoteBestEffort', { room });
}
