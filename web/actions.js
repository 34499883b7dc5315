// One action at a time: each waits for the one before, the page is marked
// busy meanwhile, and what fails is said on the page, never only in the
// browser's console. A change of the workspace says what storage did not
// keep, and has the page drawn anew.
import { reportChange, reportFailure } from './notices.js';
import * as Workspace from './workspace.js';

const queue = { acting: Promise.resolve(), waiting: 0, refresh: async () => {} };

// Runs action after every action before it. Returns: a promise of its value (undefined when it failed).
export function act(action) {
  queue.waiting++;
  document.body.setAttribute('aria-busy', 'true');
  const done = queue.acting.then(action);
  queue.acting = done
    .catch((error) => {
      if (!error || !error.cancelled) reportFailure(error);
    })
    .finally(() => {
      if (--queue.waiting === 0) document.body.removeAttribute('aria-busy');
    });
  return done.catch(() => undefined);
}

// Sets what draws the page anew after a change.
export function onRefresh(refresh) {
  queue.refresh = refresh;
}

// Tries again to keep what storage did not, by a change of nothing.
export const retry = () => act(() => change(() => ({})));

// Changes the workspace (see Workspace.update), says what was not kept, and
// draws the page anew. Returns: the outcome.
export async function change(work, options) {
  const outcome = await Workspace.update(work, options);
  reportChange(outcome, retry);
  await queue.refresh();
  return outcome;
}

// Returns: a change that applies only where storage holds name as this tab
// saw it (seen); else a conflict, with what storage holds now, to ask about.
export const unlessChangedElsewhere = (name, seen, apply) => (files) =>
  Workspace.sameBytes(files.get(name), seen) ? apply(files) : { conflict: { name, now: files.get(name) } };
