// The page's side of a program run in the game's worker (game_worker.js): what the program shows
// goes to the page's terminal, the keys typed and the terminal's size go to the program, and the
// page keeps the files it writes. The page's main thread only draws, so it never freezes.

const SHOWN_KEPT = 1 << 22;

export class GameThread {
  // `terminal`: the page's xterm.js terminal. `say(text)`: shows what the program says went
  // wrong. `keep(path, bytes)`: keeps a file the program wrote (resolves, or rejects when the
  // browser refuses). `beingPlayed(path)`: whether a game plays the file at `path` now.
  // `choices`: where the game's questions are shown (ChoiceButtons). `steered`: the program is a
  // watch, which redraws its status line when the terminal changes size. `snapshots`: the
  // snapshot kept of the game to play (`resumeFrom`, bytes or null) and where to keep the ones
  // it takes (`keep(bytes)`).
  constructor(terminal, {say, keep, beingPlayed, choices, steered, snapshots}) {
    this.terminal = terminal;
    this.say = say;
    this.keep = keep;
    this.played = beingPlayed ?? (() => false);
    this.choices = choices;
    this.steered = steered ?? false;
    this.snapshots = snapshots;
    this.worker = new Worker(new URL('./game_worker.js', import.meta.url), {type: 'module'});
    this.requests = new Map();  // file reads awaited, by request number
    this.lastRequest = 0;
    this.shown = [];  // the bytes shown, kept up to SHOWN_KEPT (the tests read them)
    this.shownSize = 0;
    this.ended = null;
    this.worker.onmessage = ({data}) => this.receive(data);
    this.worker.onerror = (event) => {
      this.say(`The game stopped: ${event.message}`);
      this.finish(1);
    };
  }

  // Runs the program with `args` (its name first), the files `files` (path: bytes, or null for
  // a file the program makes) in its file system; resolves to its exit status when it ends.
  run(args, files = {}) {
    const {rows, cols} = this.terminal;
    const snapshot = this.snapshots?.resumeFrom ?? null;
    this.post({run: {args, files, snapshot, rows, cols, steered: this.steered}});
    for (const path of Object.keys(files)) {
      this.post({following: {live: this.played(path)}});
    }
    return new Promise((resolve) => {
      this.ended = resolve;
    });
  }

  appendTo(path, bytes) {
    this.post({append: {path, bytes, live: this.played(path)}});
  }

  // The bytes of the file at `path` in the program's file system, as they are now.
  fileBytes(path) {
    const id = ++this.lastRequest;
    this.post({fileBytes: {path, id}});
    return new Promise((resolve) => this.requests.set(id, resolve));
  }

  type(bytes) {
    this.post({keys: bytes});
  }

  resized() {
    const {rows, cols} = this.terminal;
    this.post({resize: {rows, cols}});
  }

  // Ends the program as a terminal that hangs up does: at its next wait for a key.
  end() {
    this.post({end: true});
  }

  // The bytes shown so far (up to SHOWN_KEPT), one character each.
  shownBytes() {
    return this.shown.map((bytes) => String.fromCharCode(...bytes)).join('');
  }

  post(message) {
    this.worker.postMessage(message);
  }

  finish(status) {
    this.worker.terminate();
    this.ended?.(status);
    this.ended = null;
  }

  async receive(message) {
    if ('show' in message) {
      if (this.shownSize + message.show.length <= SHOWN_KEPT) {
        this.shown.push(message.show);
        this.shownSize += message.show.length;
      }
      this.terminal.write(message.show);
    } else if ('say' in message) {
      this.say(message.say);
    } else if ('ask' in message) {
      this.choices?.ask(message.ask);
    } else if ('snapshot' in message) {
      this.snapshots?.keep(message.snapshot);
    } else if ('waiting' in message) {
      this.choices?.wait();
    } else if ('keep' in message) {
      let failure = null;
      try {
        await this.keep(message.keep.path, message.keep.bytes);
      } catch (error) {
        failure = {name: error?.name, message: error?.message ?? String(error)};
      }
      this.post({reply: {id: message.id, value: failure}});
    } else if ('fileBytes' in message) {
      this.requests.get(message.id)?.(message.fileBytes);
      this.requests.delete(message.id);
    } else if ('ended' in message) {
      this.finish(message.ended);
    }
  }
}
