// The game's programs off the page's main thread: this worker owns a program's module, the keys
// typed and the waits, so that however long a game takes to catch up, the page stays free to
// draw. The page (game_thread.js) sends the keys typed and the terminal's size, and draws what
// it is sent.

import {Session} from './session.js';
import {LIVE_MS} from './follow.js';
import createReader from './orbalune_reader.js';

let session = null;
const replies = new Map();  // the page's answers awaited, by request number
let requests = 0;
const terminal = {rows: 24, cols: 80, write: (bytes) => postMessage({show: bytes}, [bytes.buffer])};
let followed = {live: false, at: 0};  // whether the file watched was being played when last seen

function ask(message) {
  const id = ++requests;
  postMessage({...message, id});
  return new Promise((resolve, reject) => replies.set(id, {resolve, reject}));
}

// Keeps a file the program wrote, in the page's storage; rejects as the page's storage did.
async function keep(path, bytes) {
  const failure = await ask({keep: {path, bytes}});
  if (failure) {
    throw Object.assign(new Error(failure.message), {name: failure.name});
  }
}

// The snapshot the game's file at the end of `args` (orbalune --save PATH) resumes from, read by
// the page's reader, which reads several times faster than the game's module: a game without a
// snapshot kept (opened from a file, or kept before snapshots were) then does not replay its
// every key in the game's module. Null for a new game, or if the file has none.
async function snapshotAtEnd(args, files, rows, cols) {
  const path = args[0] === 'orbalune' ? args[args.indexOf('--save') + 1] : undefined;
  if (!files[path]) {
    return null;
  }
  const reader = await createReader({progress: terminal.write});
  reader.FS.mkdirTree(path.slice(0, path.lastIndexOf('/')));
  reader.FS.writeFile(path, files[path]);
  const size = reader._malloc(4);
  const bytes = reader.ccall('orbalune_snapshot_at_end', 'number',
                             ['string', 'number', 'number', 'number'], [path, rows, cols, size]);
  const snapshot = bytes ? reader.HEAPU8.slice(bytes, bytes + reader.HEAP32[size / 4]) : null;
  reader._free(bytes);
  reader._free(size);
  return snapshot;
}

const handlers = {
  async run({args, files, snapshot, rows, cols, steered}) {
    Object.assign(terminal, {rows, cols});
    snapshot ??= await snapshotAtEnd(args, files, rows, cols);
    session = new Session(terminal, {
      say: (text) => postMessage({say: text}),
      keep,
      beingPlayed: () => followed.live && Date.now() - followed.at < LIVE_MS,
      choices: {ask: (question) => postMessage({ask: question}), wait: () => postMessage({waiting: true})},
      steered,
      keepSnapshot: (bytes) => postMessage({snapshot: bytes}, [bytes.buffer]),
    });
    let status;
    try {
      status = await session.run(args, files, snapshot);
    } catch (error) {
      postMessage({say: `The game stopped: ${error?.message ?? error}`});
      status = 1;
    }
    postMessage({ended: status});
  },
  keys: (bytes) => session?.type(bytes),
  resize({rows, cols}) {
    Object.assign(terminal, {rows, cols});
    session?.resized();
  },
  end: () => session?.end(),
  async append({path, bytes, live}) {
    followed = {live, at: Date.now()};
    await session?.appendTo(path, bytes);
  },
  following: ({live}) => {
    followed = {live, at: Date.now()};
  },
  async fileBytes({path, id}) {
    const bytes = await session.fileBytes(path);
    postMessage({fileBytes: bytes, id}, [bytes.buffer]);
  },
  reply({id, value}) {
    replies.get(id)?.resolve(value);
    replies.delete(id);
  },
};

// Messages are handled in the order they come: an append waits for the program to have begun.
let handled = Promise.resolve();
onmessage = ({data}) => {
  const [kind, value] = Object.entries(data)[0];
  handled = handled.then(() => handlers[kind](value));
  if (kind === 'run') {
    handled = Promise.resolve();  // the run goes on while later messages are handled
  }
};
