// The page: the workspace, a run of the flash tool, the picture of the
// flash, and the inspector's reports, each through the engine. What a file
// is and what a bank holds is always the inspector's word.
/* global quillmore, fflate */
(() => {
  'use strict';

  const { element, decode } = Views;
  const $ = (id) => document.getElementById(id);
  const TOOL = 'quillmore-flashtool';
  const INFO = 'quillmore-flashinfo';
  const NAMED_KINDS = { 'crc.ini': 'catalogue', 'fcFlash.prg': 'flasher program' };  // the tools' fixed names
  const INSPECTED_KINDS = { 'flash image': 'flash image', 'ROM file': 'ROM file', 'bank loader': 'bank loader file' };

  let kinds = new Map();  // name -> kind, as the inspector tells it
  let marks = new Map();  // name -> "new" or "changed" by the last run
  let chosen = [];        // the ROM files to run, in the order checked

  const namesOfKind = (kind) => Workspace.names().filter((name) => kinds.get(name) === kind);

  // Runs the inspector on the workspace. Returns: its JSON document, or null.
  async function inspectJson(args) {
    const result = await quillmore.run(INFO, ['--json', ...args], Workspace.snapshot());
    try {
      return JSON.parse(decode(result.stdout));
    } catch (error) {
      return null;
    }
  }

  async function tellKinds() {
    kinds = new Map();
    const inspected = Workspace.names().filter((name) => !(name in NAMED_KINDS));
    for (const name of Workspace.names()) if (name in NAMED_KINDS) kinds.set(name, NAMED_KINDS[name]);
    if (inspected.length === 0) return;
    const report = await inspectJson(['--', ...inspected]);
    for (const file of report ? report.files : []) kinds.set(file.file, INSPECTED_KINDS[file.kind] || 'other');
  }

  function showFiles() {
    const rows = Workspace.names().map((name) => {
      const bytes = Workspace.get(name);
      const remove = element('button', { type: 'button', 'aria-label': `Remove ${name}` }, 'Remove');
      remove.addEventListener('click', async () => {
        await Workspace.remove(name);
        chosen = chosen.filter((rom) => rom !== name);
        await refresh();
      });
      const download = Views.downloadLink(name, bytes, 'Download', `Download ${name}`);
      return element('tr', { className: marks.get(name) || '' }, element('td', {}, element('code', {}, name)),
        element('td', {}, Views.sizeText(bytes.length)), element('td', {}, kinds.get(name) || 'other'),
        element('td', {}, marks.get(name) || ''), element('td', {}, download, ' ', remove));
    });
    $('files').tBodies[0].replaceChildren(...rows);
    $('workspace-note').textContent = rows.length ? '' : 'The workspace is empty.';
  }

  function showRomChoices() {
    const roms = namesOfKind('ROM file');
    chosen = chosen.filter((name) => roms.includes(name));
    $('roms').replaceChildren(...roms.map((name) => {
      const box = element('input', { type: 'checkbox', value: name, checked: chosen.includes(name) });
      box.addEventListener('change', () => {
        chosen = box.checked ? [...chosen, name] : chosen.filter((rom) => rom !== name);
        showRomChoices();
        showCommand();
      });
      const place = chosen.indexOf(name);
      return element('li', {}, element('label', {}, box, ' ', element('code', {}, name)), ' ',
        element('span', { className: 'order' }, place < 0 ? '' : `${place + 1}.`));
    }));
    if (roms.length === 0) $('roms').append(element('li', {}, 'No ROM file in the workspace yet.'));
  }

  function commandArguments() {
    const allBanks = document.querySelector('input[name="mode"]:checked').value === 'all';
    const args = allBanks ? ['-a'] : [...chosen];
    if ($('opt-t').checked) args.push('-t');
    if ($('opt-b').checked) args.push('-b');
    if ($('opt-v').value) args.push(`-v${$('opt-v').value}`);
    if ($('opt-sb').value) args.push(`-sb${$('opt-sb').value}`);
    return { allBanks, args };
  }

  function showCommand() {
    const { allBanks, args } = commandArguments();
    $('command').textContent = [TOOL, ...args].map(Views.shellWord).join(' ');
    const ready = allBanks || chosen.length > 0;
    $('run-tool').disabled = !ready;
    $('run-note').textContent = ready ? '' : 'Check a ROM file, or choose all banks.';
  }

  // Draws the chosen image, with the banks that differ from the expected one marked.
  async function showFlash(differing = new Map()) {
    const images = namesOfKind('flash image');
    $('flash-view').hidden = images.length === 0;
    $('flash-note').hidden = images.length > 0;
    if (images.length === 0) return;
    Views.fillChoice($('image-choice'), images, images.includes('flash.bin') ? 'flash.bin' : images[0]);
    const report = await inspectJson(['--', $('image-choice').value]);
    const image = report && report.files[0];
    if (image && image.banks) FlashMap.draw({ table: $('map'), legend: $('legend'), detail: $('bank-detail') }, image.banks, differing);
  }

  function showChoices() {
    const images = namesOfKind('flash image');
    Views.fillChoice($('inspect-choice'), Workspace.names(), Workspace.names()[0]);
    Views.fillChoice($('expected-choice'), images, images[0]);
    Views.fillChoice($('found-choice'), images, images[1] || images[0]);
    $('inspect-run').disabled = Workspace.names().length === 0;
    $('compare-run').disabled = images.length === 0;
  }

  async function refresh() {
    Views.forgetLinks();
    await tellKinds();
    showFiles();
    showRomChoices();
    showCommand();
    showChoices();
    await showFlash();
    showOutputs();
  }

  // Links to what the last run wrote, one by one and all together.
  function showOutputs() {
    const written = [...marks.keys()].filter((name) => Workspace.get(name));
    if (written.length === 0) {
      $('outputs').replaceChildren();
      return;
    }
    const zip = fflate.zipSync(Object.fromEntries(written.map((name) => [name, Workspace.get(name)])));
    $('outputs').replaceChildren(element('h3', {}, 'Written by this run'),
      element('ul', {}, ...written.map((name) => element('li', {}, Views.downloadLink(name, Workspace.get(name)), ` (${marks.get(name)})`))),
      element('p', {}, Views.downloadLink('quillmore-outputs.zip', zip, 'Download all of them as one .zip')));
  }

  const sameBytes = (a, b) => a.length === b.length && a.every((byte, i) => byte === b[i]);

  async function runTool() {
    const { args } = commandArguments();
    const before = Workspace.snapshot();
    const pieces = [];
    const result = await quillmore.run(TOOL, args, before, { onOutput: (stream, bytes) => pieces.push([stream, bytes]) });
    Views.showConsole($('console'), pieces);
    $('exit-status').textContent = result.status < 0 ? `${TOOL} was aborted` : `${TOOL} ended with exit status ${result.status}`;
    marks = new Map();
    const written = [];
    for (const [name, bytes] of Object.entries(result.files)) {
      if (!(name in before)) marks.set(name, 'new');
      else if (!sameBytes(before[name], bytes)) marks.set(name, 'changed');
      else continue;
      written.push([name, bytes]);
    }
    await Workspace.put(written);
    await refresh();
  }

  // Shows a report of the inspector (table), with its JSON to download.
  async function showReport(args, jsonName) {
    const pieces = [];
    const result = await quillmore.run(INFO, args, Workspace.snapshot(), { onOutput: (stream, bytes) => pieces.push([stream, bytes]) });
    pieces.push(['stdout', new TextEncoder().encode(`\n(exit status ${result.status})\n`)]);
    Views.showConsole($('report'), pieces);
    const json = await quillmore.run(INFO, ['--json', ...args], Workspace.snapshot());
    $('report-downloads').replaceChildren(element('p', {}, Views.downloadLink(jsonName, json.stdout, `Download the report as JSON (${jsonName})`)));
    return json;
  }

  async function inspect() {
    const name = $('inspect-choice').value;
    await showReport(['--', name], `${name}.json`);
  }

  async function compare() {
    const expected = $('expected-choice').value;
    const found = $('found-choice').value;
    const json = await showReport(['--compare', '--', expected, found], 'compare.json');
    let report = null;
    try {
      report = JSON.parse(decode(json.stdout));
    } catch (error) {
      return;
    }
    const banks = report.compare.banks || [];
    $('image-choice').value = found;
    await showFlash(new Map(banks.filter((bank) => !bank.same).map((bank) => [bank.bank, bank.differingBytes])));
  }

  async function addFiles(list) {
    const entries = await Promise.all([...list].map(async (file) => [file.name, new Uint8Array(await file.arrayBuffer())]));
    await Workspace.put(entries);
    await refresh();
  }

  function listen() {
    // Files dropped anywhere on the page join the workspace; the browser never opens them instead.
    const drop = $('drop');
    document.addEventListener('dragover', (event) => {
      event.preventDefault();
      drop.classList.add('over');
    });
    document.addEventListener('dragleave', () => drop.classList.remove('over'));
    document.addEventListener('drop', (event) => {
      event.preventDefault();
      drop.classList.remove('over');
      addFiles(event.dataTransfer.files);
    });
    $('pick').addEventListener('change', async () => {
      await addFiles($('pick').files);
      $('pick').value = '';
    });
    $('start-over').addEventListener('click', async () => {
      await Workspace.clear();
      marks = new Map();
      chosen = [];
      ['console', 'report', 'report-downloads', 'exit-status'].forEach((id) => $(id).replaceChildren());
      await refresh();
    });
    for (const id of ['opt-t', 'opt-b', 'opt-v', 'opt-sb']) $(id).addEventListener('input', showCommand);
    document.querySelectorAll('input[name="mode"]').forEach((radio) => radio.addEventListener('change', showCommand));
    $('run-tool').addEventListener('click', runTool);
    $('image-choice').addEventListener('change', () => showFlash());
    $('inspect-run').addEventListener('click', inspect);
    $('compare-run').addEventListener('click', compare);
  }

  async function start() {
    listen();
    const kept = await Workspace.load();
    if (!kept) $('workspace-note').textContent = 'This browser keeps nothing here: the workspace lasts until the page is closed.';
    await refresh();
    document.body.dataset.ready = 'true';
    performance.mark('quillmore-ready');
  }

  start();
})();
