// The game's programs off the page's main thread: this worker owns a program's module, the keys
// typed and the waits, so that however long a game takes to catch up, the page stays free to
// draw. The page (game_thread.js) sends the keys typed and the terminal's size, and draws what
// it is sent.

import {Session} from './session.js';
import {LIVE_MS} from './follow.js';

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

const handlers = {
  async run({args, files, snapshot, rows, cols, steered}) {
    Object.assign(terminal, {rows, cols});
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
