// The workspace's merge, under node: what a change writes of what this tab
// has not kept yet, over what storage holds now, and what is stale.
'use strict';
const assert = require('assert');
const { test } = require('node:test');
const { loadModule } = require('./support');

const { plan, storedAfter } = loadModule('web/merge.js');
const b = (...bytes) => Uint8Array.from(bytes);
const A = b(1);
const B = b(2);
const C = b(3);

// what, the state (pending: name -> [bytes, base]; stored, lastStored: name -> bytes; complete), the change,
// and what comes of it: the names put (with their bases), the stale ones, the pending left, storage after
const cases = [
  [
    'a file not kept yet goes along, over the bytes it replaces',
    { pending: { p: [B, A] }, stored: { p: A } },
    {},
    { puts: { p: A }, stale: [], after: { p: B } },
  ],
  [
    'one another tab changed since is stale, and left as that tab wrote it',
    { pending: { p: [B, A] }, stored: { p: C } },
    {},
    { puts: {}, stale: ['p'], after: { p: C } },
  ],
  [
    'one another tab removed is stale too',
    { pending: { p: [B, A] }, stored: {} },
    {},
    { puts: {}, stale: ['p'], after: {} },
  ],
  [
    'the change puts a stale one anew, over what is stored now',
    { pending: { p: [B, A] }, stored: { p: C } },
    { puts: [['p', A]] },
    { puts: { p: C }, stale: [], after: { p: A } },
  ],
  [
    'a removal takes a file not kept with it',
    { pending: { p: [B, A] }, stored: { p: A, q: C } },
    { removals: ['p'] },
    { puts: {}, stale: [], after: { q: C } },
  ],
  [
    'clearing drops every file not kept',
    { pending: { p: [B, A] }, stored: { p: A } },
    { clear: true, puts: [['n', C]] },
    { puts: { n: undefined }, stale: [], after: { n: C } },
  ],
  [
    'read in part: what was not read is taken as last read',
    { pending: { p: [B, A] }, stored: { q: C }, lastStored: { p: A, q: C }, complete: false },
    { puts: [['q', A]] },
    { puts: { p: A, q: C }, stale: [], after: { p: B, q: A } },
  ],
  [
    'read in part, and changed since it was last read',
    { pending: { p: [B, A] }, stored: {}, lastStored: { p: C }, complete: false },
    {},
    { puts: {}, stale: ['p'], after: { p: C } },
  ],
];

const map = (object = {}) => new Map(Object.entries(object));

test('the merge of a change with what is stored and what this tab has not kept', () => {
  for (const [what, given, change, expected] of cases) {
    const state = {
      pending: new Map(Object.entries(given.pending || {}).map(([name, [bytes, base]]) => [name, { bytes, base }])),
      stored: map(given.stored),
      lastStored: map(given.lastStored || given.stored),
      complete: given.complete !== false,
    };
    const planned = plan(state, change);
    assert.deepStrictEqual(
      Object.fromEntries([...planned.puts].map(([name, entry]) => [name, entry.base])),
      expected.puts,
      what,
    );
    assert.deepStrictEqual(planned.stale, expected.stale, what);
    assert.deepStrictEqual(Object.fromEntries(storedAfter(state, planned, change.clear)), expected.after, what);
    assert.ok(!change.clear || planned.pending.size === 0, what);
  }
});
