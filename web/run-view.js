// The run's form: which ROM files (or all banks), the options, and the
// command line they make, shown as the shell takes it. Its boxes stay the
// same elements while the same files are listed, so that a change shown
// from another tab never takes a click or the focus away.
import { page } from './state.js';
import { commandLine, element, isolated } from './views.js';
import { roving } from './roving.js';
import { isFixedName, kindOf, kindWords, namesOfKind } from './files-view.js';
import { language, text } from './language.js';
import { KIND, TOOL } from './words.js';
import * as Workspace from './workspace.js';

const $ = (id) => document.getElementById(id);
const choices = new Map(); // name -> { item, box, order, kind }

// A name handed to a tool is a file, never an option.
export const fileArgument = (name) => (name.startsWith('-') ? `./${name}` : name);

// Returns: why the -sb field cannot be used as it is, or '' when it can.
function bankProblem() {
  const value = $('opt-sb').value;
  return value === '' || $('opt-sb').validity.valid ? '' : text('run.sbBad', { value });
}

// Returns: the tool's arguments as the form sets them.
export function commandArguments() {
  const allBanks = document.querySelector('input[name="mode"]:checked').value === 'all';
  const args = allBanks ? ['-a'] : page.chosen.map(fileArgument);
  if ($('opt-t').checked) args.push('-t');
  if ($('opt-b').checked) args.push('-b');
  if ($('opt-v').value) args.push(`-v${$('opt-v').value}`);
  if ($('opt-sb').value) args.push(`-sb${$('opt-sb').value}`);
  return { allBanks, args };
}

function choiceItem(name, kind, onChange) {
  const box = element('input', { type: 'checkbox', value: name, tabIndex: -1 });
  box.addEventListener('change', () => {
    page.chosen = box.checked ? [...page.chosen, name] : page.chosen.filter((rom) => rom !== name);
    onChange();
  });
  const order = element('span', { className: 'order' });
  const label = element(
    'label',
    {},
    box,
    ' ',
    element('code', { translate: false }, isolated(name)),
    kind === KIND.ROM ? '' : element('span', { className: 'kind' }, ` (${kindWords(kind)})`),
  );
  return { item: element('li', {}, label, ' ', order), box, order, kind, lang: language() };
}

// The ROM checklist: ROM files first, then any other file the tool could be
// given (its own message says why it takes none of them).
export function showRomChoices(onChange) {
  const others = Workspace.names().filter(
    (name) => !isFixedName(name) && ![KIND.ROM, KIND.CATALOGUE].includes(kindOf(name)),
  );
  const roms = [...namesOfKind(KIND.ROM), ...others];
  page.chosen = page.chosen.filter((name) => roms.includes(name));
  const items = roms.map((name) => choiceOf(name, onChange));
  for (const [name, choice] of choices) {
    if (!roms.includes(name)) {
      choice.item.remove();
      choices.delete(name);
    }
  }
  if (items.length === 0) items.push(element('li', {}, text('run.noRoms')));
  const list = $('roms');
  if (items.length !== list.children.length || items.some((item, i) => list.children[i] !== item)) {
    list.replaceChildren();
    for (const item of items) list.append(item);
  }
  roving(list, 'li', 'input');
}

// Returns: the checklist's item of a file, made anew only when its kind changed; its box and order as chosen.
function choiceOf(name, onChange) {
  const kind = kindOf(name);
  let choice = choices.get(name);
  if (!choice || choice.kind !== kind || choice.lang !== language()) {
    const made = choiceItem(name, kind, onChange);
    if (choice) choice.item.replaceWith(made.item);
    choice = made;
    choices.set(name, choice);
  }
  const place = page.chosen.indexOf(name);
  choice.box.checked = place >= 0;
  choice.order.textContent = place < 0 ? '' : `${place + 1}.`;
  return choice.item;
}

// Shows the command line the form makes, and whether Run can start it.
export function showCommand() {
  const { allBanks, args } = commandArguments();
  $('command').replaceChildren(commandLine([TOOL, ...args]));
  $('roms').classList.toggle('off', allBanks);
  for (const box of $('roms').querySelectorAll('input')) box.disabled = allBanks;
  const bank = bankProblem();
  $('opt-sb').setAttribute('aria-invalid', bank ? 'true' : 'false');
  $('sb-problem').textContent = bank ? text('run.sbWaits', { problem: bank }) : '';
  const ready = (allBanks || page.chosen.length > 0) && !bank;
  $('run-tool').disabled = page.running || !ready;
  if (page.running) return;
  $('run-note').textContent = bank ? text('run.fixBank') : ready ? '' : text('run.checkRom');
}

// Returns: the options as the page keeps them across visits.
export function optionsState() {
  return {
    mode: document.querySelector('input[name="mode"]:checked').value,
    chosen: page.chosen,
    t: $('opt-t').checked,
    b: $('opt-b').checked,
    v: $('opt-v').value,
    sb: $('opt-sb').value,
  };
}

// Sets the form from options kept on an earlier visit, each checked first.
export function restoreOptions(options) {
  if (!options || typeof options !== 'object') return;
  if (options.mode === 'all') document.querySelector('input[name="mode"][value="all"]').checked = true;
  if (Array.isArray(options.chosen)) page.chosen = options.chosen.filter((name) => typeof name === 'string');
  $('opt-t').checked = options.t === true;
  $('opt-b').checked = options.b === true;
  if ([...$('opt-v').options].some((option) => option.value === options.v)) $('opt-v').value = options.v;
  if (typeof options.sb === 'string' && /^[0-9a-fA-F]{0,2}$/.test(options.sb)) $('opt-sb').value = options.sb;
}
