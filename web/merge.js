// How a change meets the workspace, decided apart from storage: what this
// tab has not kept yet (written along, each only over the stored bytes it
// was meant to replace, else stale: another tab changed that file since),
// what storage holds, and what the change puts and removes. Pure, so that
// every branch is tested under node.

export const sameBytes = (a, b) =>
  a === b || (!!a && !!b && a.length === b.length && a.every((byte, i) => byte === b[i]));

// Returns: the stored bytes a file had when it was read last: those just
// read when they were (or every file was read), else those read before.
const storedNow = (name, { stored, complete, lastStored }) =>
  stored.has(name) || complete ? stored.get(name) : lastStored.get(name);

// Plans a change. state: { pending: Map name -> { bytes, base } (shown,
// not kept: base the stored bytes it replaces), stored: Map name -> bytes
// (as read now: every file when complete, else those named), lastStored:
// Map (as read or written before) }; change: { puts: [[name, bytes]],
// removals: [names], clear }.
// Returns: { puts: Map name -> { bytes, base }, removals, stale: [names],
// pending: Map (what stays not kept but for the puts, once written) }.
export function plan(state, change) {
  const removals = change.removals || [];
  const pending = new Map(change.clear ? [] : state.pending);
  for (const name of removals) pending.delete(name);
  const puts = new Map();
  const stale = new Set();
  for (const [name, entry] of pending) {
    if (sameBytes(storedNow(name, state), entry.base)) puts.set(name, entry);
    else stale.add(name);
  }
  for (const [name, bytes] of change.puts || []) {
    puts.set(name, { bytes, base: state.stored.get(name) });
    stale.delete(name);
  }
  return { puts, removals, stale: [...stale], pending };
}

// Returns: what storage holds after a planned change is written (as far as
// this tab read it: every file when complete, else what it read last).
export function storedAfter(state, planned, clear) {
  const after = clear ? new Map() : new Map(state.complete ? state.stored : state.lastStored);
  for (const name of planned.removals) after.delete(name);
  for (const [name, entry] of planned.puts) after.set(name, entry.bytes);
  return after;
}
