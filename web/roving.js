// One Tab stop for a list or grid of controls: the arrow keys move the focus
// among them (up and down by rows, left and right within a row), Home and
// End to the first and last row; Tab leaves. The control last focused keeps
// the Tab stop, so the list is one stop however long it is. Its controls
// are made with tabIndex -1; only the one that holds the stop has 0.
const ROW_KEYS = { ArrowDown: 1, ArrowUp: -1 };
const ITEM_KEYS = { ArrowRight: 1, ArrowLeft: -1 };
const stops = new WeakMap(); // container -> the control that holds its Tab stop

const itemsOf = (row, selector) => [...row.querySelectorAll(selector)];

function give(container, item) {
  const held = stops.get(container);
  if (held && held !== item) held.tabIndex = -1;
  item.tabIndex = 0;
  stops.set(container, item);
}

// Returns: the control a key moves the focus to from item, or null.
function moved(container, rowSelector, itemSelector, item, key) {
  const rows = [...container.querySelectorAll(rowSelector)].filter((row) => row.querySelector(itemSelector));
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

// Keeps one Tab stop in container, whose rows (rowSelector) hold the
// controls (itemSelector). Call again after the rows changed: a stop whose
// control is gone passes to the first one.
export function roving(container, rowSelector, itemSelector) {
  const held = stops.get(container);
  if (!held || !container.contains(held)) {
    const first = container.querySelector(itemSelector);
    if (first) give(container, first);
  }
  if (container.dataset.roving) return;
  container.dataset.roving = 'on';
  container.addEventListener('focusin', (event) => {
    const item = event.target.closest(itemSelector);
    if (item && container.contains(item)) give(container, item);
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
