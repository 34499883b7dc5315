// The flash as a map (the chosen image, with the banks that differ from the
// expected one outlined), and the choosers of the inspector and the
// comparison, which start on two different images.
import { namesOfKind } from './files-view.js';
import { text } from './language.js';
import { draw as drawMap } from './map.js';
import { page } from './state.js';
import { fillChoice } from './views.js';
import * as Workspace from './workspace.js';
import { FLASHER, IMAGE, KIND } from './words.js';

const $ = (id) => document.getElementById(id);

// Draws the chosen image (or preferred, where it is one), its differing banks marked.
export function showFlash(preferred = null) {
  const images = namesOfKind(KIND.IMAGE);
  $('flash-view').hidden = images.length === 0;
  $('flash-note').hidden = images.length > 0;
  if (images.length === 0) return;
  fillChoice($('image-choice'), images, images.includes(IMAGE) ? IMAGE : images[0]);
  if (preferred && images.includes(preferred)) $('image-choice').value = preferred;
  const shown = $('image-choice').value;
  const comparison = page.comparison && page.comparison.found === shown ? page.comparison.banks : [];
  const entry = page.reports.get(shown);
  if (!entry || !entry.banks) return;
  const differing = new Map(comparison.map((bank) => [bank.bank, bank]));
  drawMap({ table: $('map'), legend: $('legend'), detail: $('bank-detail') }, entry.banks, differing);
}

// Says whether the inspector and the comparison can run, and why not.
export function showCompareChoice() {
  const two = $('expected-choice').value !== $('found-choice').value;
  $('inspect-run').disabled = page.running || $('inspect-choice').options.length === 0;
  $('compare-run').disabled = page.running || !two;
  const note = namesOfKind(KIND.IMAGE).length < 2 ? 'inspect.needTwo' : two ? '' : 'inspect.chooseTwo';
  $('compare-note').textContent = note ? text(note) : '';
}

// Fills the choosers: any file to inspect, and two different images to compare.
export function showChoices() {
  const images = namesOfKind(KIND.IMAGE);
  const inspectable = Workspace.names().filter((name) => name !== FLASHER);
  fillChoice($('inspect-choice'), inspectable, inspectable[0]);
  fillChoice($('expected-choice'), images, images.includes(IMAGE) ? IMAGE : images[0]);
  const other = images.find((name) => name !== $('expected-choice').value);
  fillChoice($('found-choice'), images, other);
  if (other && $('found-choice').value === $('expected-choice').value) $('found-choice').value = other;
  showCompareChoice();
}
