// What the page says where the user looks when something did not go as
// asked: a run that did not finish, files storage did not keep or left out,
// files not added. Each message stays until it is replaced or dismissed.
import { lineCount } from './inspection.js';
import * as Views from './views.js';
import * as Workspace from './workspace.js';
import { CATALOGUE, TOOL } from './words.js';

const { element, decode, isolated, nameList, plural } = Views;
const alerts = () => document.getElementById('alerts');

// Returns: why a run aborted, in words: the memory it ran out of (and the
// catalogue's size, when it has one), or the engine's own last line.
function abortCause(program, files, result) {
  const said = decode(result.stderr);
  if (!said.includes(`${program}: out of memory`)) return ['it was aborted: ', said.trim().split('\n').pop()];
  const lines = files.get(CATALOGUE) ? lineCount(files.get(CATALOGUE)) : 0;
  if (lines === 0) return ['the engine ran out of memory'];
  return [
    'the engine ran out of memory: ',
    isolated(CATALOGUE),
    `: ${Views.number(lines)} lines is more than a run can hold`,
  ];
}

// Says that a run was aborted: which run, on which files, why, and what follows.
export function reportAbort(program, args, files, result, consequence) {
  Views.alert(alerts(), program === TOOL ? 'run' : 'inspect', [
    'The run ',
    Views.commandLine([program, ...args]),
    ` on ${plural(files.size, 'file')} (`,
    nameList([...files.keys()]),
    ') did not finish: ',
    abortCause(program, files, result),
    '. ',
    consequence,
  ]);
}

export const unreport = (key) => Views.unalert(alerts(), key);

// Returns: a line of names, each with why: "a (why); b (why)".
const namedWhys = (list) =>
  list.map(({ name, why }, i) => [i ? '; ' : '', element('code', {}, isolated(name)), ` (${why})`]);

// Says what a change of the workspace could not keep, with the room the
// browser gives; or takes back the last such message when all is kept now.
// retry: what "Try again" does.
export function reportChange(outcome, retry) {
  if (outcome.left && outcome.left.length > 0) {
    Views.alert(alerts(), 'left', ['Left out of the workspace, not being files: ', namedWhys(outcome.left), '.']);
  }
  if (!outcome.failure) {
    if (Workspace.notKept().length === 0) Views.unalert(alerts(), 'storage');
    return;
  }
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
    if (!space || !space.quota) return;
    const left = Views.sizeWords(Math.max(0, space.quota - space.usage));
    room.textContent = ` The browser gives this page ${Views.sizeWords(space.quota)}: ${Views.sizeWords(space.usage)} used, ${left} left.`;
  });
}

// Names the files not added, and why; or takes back the last such message.
export function reportSkipped(skipped) {
  if (skipped.length === 0) {
    Views.unalert(alerts(), 'skipped');
    return;
  }
  Views.alert(alerts(), 'skipped', [
    'Not added: ',
    namedWhys(skipped.map(([name, why]) => ({ name, why }))),
    '. Only files join the workspace: add the files inside a folder by choosing them.',
  ]);
}

// Says, in a banner that stays, that this browser keeps nothing for the page.
export function reportNothingKept(why) {
  Views.alert(
    alerts(),
    'nothing-kept',
    [
      'This browser keeps nothing for this page',
      why ? ` (${why})` : '',
      ': the workspace lasts only until the page is closed. ',
      'Download what matters, flash.bin above all, before you close it.',
    ],
    [],
    false,
  );
}

// Says that an action failed, where the user looks.
export function reportFailure(error) {
  Views.alert(alerts(), 'failure', [
    'Something failed: ',
    String((error && error.message) || error),
    '. The workspace is as the list shows; try again, or reload the page.',
  ]);
}
