// What the user does to the workspace as a whole: adds files (picked or
// dropped), starts over, downloads them as one .zip; and what the page says
// when storage refused to keep a change.
import { zipSync } from 'fflate';
import { page } from './state.js';
import * as Views from './views.js';
import * as Workspace from './workspace.js';
import { IMAGE } from './words.js';

const { element, isolated, nameList, plural } = Views;
const alerts = () => document.getElementById('alerts');

// The zip of files named, made when the link is followed.
export const zipOf = (names) => () =>
  zipSync(Object.fromEntries(names.filter((name) => Workspace.get(name)).map((name) => [name, Workspace.get(name)])));

// Says what a change of the workspace could not keep, with the room the
// browser gives; or takes back the last such message when all is kept now.
// retry: what "Try again" does.
export function reportChange(outcome, retry) {
  if (outcome.left && outcome.left.length > 0) {
    Views.alert(alerts(), 'left', [
      'Left out of the workspace, not being files: ',
      outcome.left.map(({ name, why }, i) => [i ? '; ' : '', element('code', {}, isolated(name)), ` (${why})`]),
      '.',
    ]);
  }
  if (outcome.failure) {
    const room = element('span', { className: 'room' });
    Views.alert(
      alerts(),
      'storage',
      [
        'Not kept: ',
        nameList(outcome.failure.names),
        `: ${outcome.failure.why}.`,
        room,
        ' They stay here, marked "not kept", until the page is closed: download what matters. ',
        'Each later change tries to keep them again.',
      ],
      [['Try again', retry]],
    );
    Workspace.space().then((space) => {
      if (space && space.quota) {
        room.textContent = ` The browser gives this page ${Views.sizeWords(space.quota)}: ${Views.sizeWords(space.usage)} used, ${Views.sizeWords(Math.max(0, space.quota - space.usage))} left.`;
      }
    });
  } else if (Workspace.notKept().length === 0) {
    Views.unalert(alerts(), 'storage');
  }
}

// Adds files, asking before one replaces a file of the same name.
async function addEntries(entries, change) {
  const taken = entries.filter(([name]) => Workspace.get(name)).map(([name]) => name);
  const one = taken.length === 1;
  if (
    taken.length > 0 &&
    !(await Views.ask(
      [
        nameList(taken),
        one ? ' is' : ' are',
        ' in the workspace already. Replace ',
        one ? 'it' : 'them',
        ' with the file',
        one ? '' : 's',
        ' you are adding?',
      ],
      'Replace',
      "Keep the workspace's",
    ))
  ) {
    entries = entries.filter(([name]) => !taken.includes(name));
  }
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
      [
        nameList(names),
        names.length === 1 ? ' was' : ' were',
        ' changed or added in another tab since this tab showed the workspace. Replace with the file you are adding?',
      ],
      'Replace',
      'Leave it',
    );
    if (!replace) entries = entries.filter(([name]) => !names.includes(name));
    seen = new Map(entries.map(([name]) => [name, files.get(name)]));
  }
}

// Adds files the user gave (File objects); folders, files too large for
// the workspace and unreadable ones are named and skipped, before any is read.
export async function addFiles(list, folders, change) {
  const skipped = folders.map((name) => [name, 'a folder']);
  const given = [];
  for (const file of list) {
    const problem = Workspace.nameProblem(file.name);
    if (problem) skipped.push([file.name, problem]);
    else if (file.size > Workspace.MOST_BYTES) {
      skipped.push([
        file.name,
        `${Views.sizeWords(file.size)}: more than the ${Workspace.MOST_BYTES / 1024 / 1024} MB a workspace file may hold`,
      ]);
    } else given.push(file);
  }
  const read = await Promise.allSettled(given.map((file) => file.arrayBuffer()));
  const entries = [];
  read.forEach((outcome, i) => {
    if (outcome.status === 'rejected') skipped.push([given[i].name, 'cannot be read; a folder?']);
    else entries.push([given[i].name, new Uint8Array(outcome.value)]);
  });
  if (skipped.length > 0) {
    Views.alert(alerts(), 'skipped', [
      'Not added: ',
      skipped.map(([name, why], i) => [i ? '; ' : '', element('code', {}, isolated(name)), ` (${why})`]),
      '. Only files join the workspace: add the files inside a folder by choosing them.',
    ]);
  } else {
    Views.unalert(alerts(), 'skipped');
  }
  if (entries.length > 0) await addEntries(entries, change);
}

// Returns: the files and folders dropped on the page.
export function dropped(dataTransfer) {
  const files = [];
  const folders = [];
  const items = [...(dataTransfer.items || [])];
  if (items.length > 0 && typeof items[0].webkitGetAsEntry === 'function') {
    for (const item of items) {
      if (item.kind !== 'file') continue;
      const entry = item.webkitGetAsEntry();
      if (entry && entry.isDirectory) folders.push(entry.name);
      else if (item.getAsFile()) files.push(item.getAsFile());
    }
  } else {
    files.push(...dataTransfer.files);
  }
  return { files, folders };
}

// Deletes every file of the workspace, and the last run, after asking.
// Returns: whether it did.
export async function startOver(change) {
  const count = Workspace.count();
  if (count === 0) return false;
  const image = Workspace.get(IMAGE)
    ? [' among them ', element('code', {}, IMAGE), ', the image of the whole flash']
    : [];
  if (
    !(await Views.ask(
      [`Delete all ${plural(count, 'file')} of the workspace`, image, '? What is not downloaded is lost.'],
      `Delete ${plural(count, 'file')}`,
      'Keep them',
    ))
  )
    return false;
  page.chosen = [];
  page.record = null;
  page.lost = null;
  await Workspace.saveState('run', null);
  await Workspace.saveState('lost', null);
  await change(() => ({ clear: true }));
  return true;
}
