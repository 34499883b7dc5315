// What the page says where the user looks when something did not go as
// asked: a run that did not finish, files storage did not keep or left out,
// files not added. Each message stays until it is replaced or dismissed, and
// is said again when the language changes.
import { lineCount } from './inspection.js';
import { say, sizeWords, text } from './language.js';
import * as Views from './views.js';
import * as Workspace from './workspace.js';
import { CATALOGUE, TOOL } from './words.js';

const { element, decode, isolated, nameList } = Views;
const alerts = () => document.getElementById('alerts');

// Returns: why a run aborted, in words: the memory it ran out of (and the
// catalogue's size, when it has one), or the engine's own last line.
function abortCause(program, files, result) {
  const said = decode(result.stderr);
  if (!said.includes(`${program}: out of memory`))
    return say('abort.aborted', { said: element('span', { translate: false }, said.trim().split('\n').pop()) });
  const lines = files.get(CATALOGUE) ? lineCount(files.get(CATALOGUE)) : 0;
  if (lines === 0) return say('abort.memory');
  return say('abort.memoryLines', { catalogue: isolated(CATALOGUE), n: lines });
}

// Says that a run was aborted: which run, on which files, why, and what
// follows (consequence: a text's key).
export function reportAbort(program, args, files, result, consequence) {
  Views.alert(alerts(), program === TOOL ? 'run' : 'inspect', () =>
    say('abort.run', {
      command: Views.commandLine([program, ...args]),
      n: files.size,
      names: nameList([...files.keys()]),
      cause: abortCause(program, files, result),
      consequence: say(consequence),
    }),
  );
}

export const unreport = (key) => Views.unalert(alerts(), key);

// Returns: a line of names, each with why: "a (why); b (why)".
const namedWhys = (list) =>
  list.map(({ name, why }, i) => [i ? '; ' : '', element('code', { translate: false }, isolated(name)), ` (${why})`]);

// Says what a change of the workspace could not keep, with the room the
// browser gives; or takes back the last such message when all is kept now.
// retry: what "Try again" does.
export function reportChange(outcome, retry) {
  if (outcome.left && outcome.left.length > 0) {
    Views.alert(alerts(), 'left', () => say('storage.left', { names: namedWhys(outcome.left) }));
  }
  if (!outcome.failure) {
    if (Workspace.notKept().length === 0) Views.unalert(alerts(), 'storage');
    return;
  }
  const room = { space: null };
  const roomText = () =>
    room.space
      ? text('storage.room', {
          quota: sizeWords(room.space.quota),
          used: sizeWords(room.space.usage),
          left: sizeWords(Math.max(0, room.space.quota - room.space.usage)),
        })
      : '';
  const roomElement = element('span', { className: 'room' });
  const parts = () => {
    roomElement.textContent = roomText();
    return say('storage.notKept', {
      names: nameList(outcome.failure.names),
      why: outcome.failure.why,
      room: roomElement,
    });
  };
  Views.alert(alerts(), 'storage', parts, [['storage.tryAgain', retry]]);
  Workspace.space().then((space) => {
    if (!space || !space.quota) return;
    room.space = space;
    roomElement.textContent = roomText();
  });
}

// Names the files not added, and why; or takes back the last such message.
export function reportSkipped(skipped) {
  if (skipped.length === 0) {
    Views.unalert(alerts(), 'skipped');
    return;
  }
  Views.alert(alerts(), 'skipped', () =>
    say('files.notAdded', { names: namedWhys(skipped.map(([name, why]) => ({ name, why }))) }),
  );
}

// Says, in a banner that stays, that this browser keeps nothing for the page.
export function reportNothingKept(why) {
  Views.alert(
    alerts(),
    'nothing-kept',
    () => (why ? say('storage.nothingKeptWhy', { why }) : say('storage.nothingKept')),
    [],
    false,
  );
}

// Says that an action failed, where the user looks.
export function reportFailure(error) {
  // The error's own words are the browser's or the engine's: shown as they are.
  const what = element('span', { translate: false }, String((error && error.message) || error));
  Views.alert(alerts(), 'failure', () => say('failure', { what }));
}
