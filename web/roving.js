// One Tab stop for a list or grid of controls: the arrow keys move the focus
// among them (up and down by rows, left and right within a row), Home and
// End to the first and last row; Tab leaves. The control last focused keeps
// the Tab stop, so the list is one stop however long it is.
const ROW_KEYS = { ArrowDown: 1, ArrowUp: -1 };
const ITEM_KEYS = { ArrowRight: 1, ArrowLeft: -1 };

// Returns: the controls of a row that take the focus, in order.
const itemsOf = (row, selector) => [...row.querySelectorAll(selector)];

// Gives the Tab stop to item, and takes it from every other control of the container.
export function takeStop(container, selector, item) {
  for (const node of container.querySelectorAll(selector)) node.tabIndex = node === item ? 0 : -1;
}

// Keeps one Tab stop in container, whose rows (rowSelector) hold the
// controls (itemSelector). Call again after the rows changed.
export function roving(container, rowSelector, itemSelector) {
  const rows = [...container.querySelectorAll(rowSelector)];
  const all = rows.flatMap((row) => itemsOf(row, itemSelector));
  const holder = all.find((node) => node.tabIndex === 0 && node.dataset.stop === 'yes');
  takeStop(container, itemSelector, holder || all[0]);
  for (const node of all) node.dataset.stop = node.tabIndex === 0 ? 'yes' : 'no';
  if (container.dataset.roving) return;
  container.dataset.roving = 'on';
  container.addEventListener('focusin', (event) => {
    const item = event.target.closest(itemSelector);
    if (!item || !container.contains(item)) return;
    takeStop(container, itemSelector, item);
    for (const node of container.querySelectorAll(itemSelector)) node.dataset.stop = node === item ? 'yes' : 'no';
  });
  container.addEventListener('keydown', (event) => {
    const item = event.target.closest(itemSelector);
    if (!item || event.altKey || event.metaKey) return;
    const target = moved(container, rowSelector, itemSelector, item, event.key);
    if (!target) return;
    event.preventDefault();
    target.focus();
  });
}

// Returns: the control a key moves the focus to from item, or null.
function moved(container, rowSelector, itemSelector, item, key) {
  const rows = [...container.querySelectorAll(rowSelector)].filter((row) => itemsOf(row, itemSelector).length > 0);
  const row = item.closest(rowSelector);
  const at = rows.indexOf(row);
  const column = itemsOf(row, itemSelector).indexOf(item);
  const pick = (r, c) => {
    const items = itemsOf(rows[r], itemSelector);
    return items[Math.min(c, items.length - 1)];
  };
  if (key in ROW_KEYS) {
    const next = at + ROW_KEYS[key];
    return next >= 0 && next < rows.length ? pick(next, column) : null;
  }
  if (key in ITEM_KEYS) return itemsOf(row, itemSelector)[column + ITEM_KEYS[key]] || null;
  if (key === 'Home') return pick(0, 0);
  if (key === 'End') return pick(rows.length - 1, 0);
  return null;
}
