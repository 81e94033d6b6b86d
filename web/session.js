// One run of a program of the game's (orbalune, or orbalune-replay watching a file), each in a
// module of its own, in the game's worker (game_worker.js): the module asks the session for the
// keys typed (the bytes a terminal sends for them), shows its screen, says what went wrong, and
// has the session keep its saved game in the browser's storage as it is written.

import createOrbalune from './orbalune.js';

// What the program is told of a file it asked the page to keep.
const KEPT = 0;
const STORAGE_FULL = 1;
const NOT_KEPT = 2;

export class Session {
  // `terminal`: where the screen goes (write(bytes)) and its size (rows, cols). `say(text)`: shows what the program says went
  // wrong. `keep(path, bytes)`: keeps a file the program wrote (resolves, or rejects when the
  // browser refuses). `beingPlayed(path)`: whether a game plays the file at `path` now.
  // `choices`: where the game's questions are shown (ChoiceButtons). `steered`: the program is a
  // watch, which redraws its status line when the terminal changes size.
  // `keepSnapshot(bytes)`: keeps a snapshot of the game played, to resume it from.
  constructor(terminal, {say, keep, beingPlayed, choices, steered, keepSnapshot}) {
    this.terminal = terminal;
    this.sayToPage = say;
    this.choices = choices;
    this.steered = steered ?? false;
    this.resizePending = false;
    this.keepInPage = keep;
    this.keepSnapshotInPage = keepSnapshot ?? (() => {});
    this.played = beingPlayed ?? (() => false);
    this.module = null;  // the program's module (a promise), once run has begun
    this.typed = [];  // bytes typed, the first not taken at `taken`
    this.taken = 0;
    this.ended = false;
    this.wake = null;
    this.notKept = null;  // why the browser did not keep the game, once it did not
  }

  // Runs the program with `args` (its name first), the files `files` (path: bytes, or null for
  // a file the program makes) in its file system, and the snapshot kept of the game it plays,
  // if any; resolves to its exit status when it ends.
  async run(args, files = {}, snapshot = null) {
    this.module = createOrbalune({page: this});
    const module = await this.module;
    if (snapshot) {
      module.FS.mkdirTree('/snapshot');
      module.FS.writeFile('/snapshot/resume', snapshot);
    }
    for (const [path, bytes] of Object.entries(files)) {
      module.FS.mkdirTree(path.slice(0, path.lastIndexOf('/')));
      if (bytes !== null) {
        module.FS.writeFile(path, bytes);
      }
    }
    const argv = module._malloc(4 * (args.length + 1));
    args.forEach((arg, index) => {
      const size = module.lengthBytesUTF8(arg) + 1;
      const copy = module._malloc(size);
      module.stringToUTF8(arg, copy, size);
      module.HEAPU32[argv / 4 + index] = copy;
    });
    module.HEAPU32[argv / 4 + args.length] = 0;
    return module.ccall('orbalune_run', 'number', ['number', 'number'], [args.length, argv],
                        {async: true});
  }

  // Appends `bytes` to the file at `path` in the program's file system, as a file on a server
  // grows; once the program has started, if it has not yet.
  async appendTo(path, bytes) {
    const module = await this.module;
    const stream = module.FS.open(path, 'a');
    module.FS.write(stream, bytes, 0, bytes.length);
    module.FS.close(stream);
  }

  // The bytes of the file at `path` in the program's file system, as they are now.
  async fileBytes(path) {
    const module = await this.module;
    const {node} = module.FS.lookupPath(path);  // read whatever the program's umask made it
    return node.contents.slice(0, node.usedBytes);
  }

  // What the terminal sends for a key, as bytes.
  type(bytes) {
    for (const byte of bytes) {
      this.typed.push(byte);
    }
    this.wakeUp(1);
  }

  // The terminal changed size: a watch is told as a terminal program is (SIGWINCH), at its wait.
  resized() {
    if (this.steered) {
      this.resizePending = true;
      this.wakeUp(2);
    }
  }

  // Ends the program as a terminal that hangs up does: at its next wait for a key.
  end() {
    this.ended = true;
    this.wakeUp(-1);
  }

  wakeUp(how) {
    if (this.wake) {
      const wake = this.wake;
      this.wake = null;
      wake(how);
    }
  }

  // What the module asks of the page.

  // 1 once there are keys, 0 if `ms` (forever if negative) passed first, 2 if the terminal
  // changed size, -1 once ended.
  waitForKeys(ms) {
    if (this.ended) {
      return Promise.resolve(-1);
    }
    if (this.taken < this.typed.length) {
      return Promise.resolve(1);
    }
    if (this.resizePending) {
      this.resizePending = false;
      return Promise.resolve(2);
    }
    return new Promise((resolve) => {
      const timer = ms >= 0 ? setTimeout(() => this.wakeUp(0), ms) : null;
      this.wake = (how) => {
        clearTimeout(timer);
        this.resizePending &&= how !== 2;
        resolve(how);
      };
    });
  }

  takeKeys(most) {
    if (this.ended) {
      return new Uint8Array(0);
    }
    const keys = Uint8Array.from(this.typed.slice(this.taken, this.taken + most));
    this.taken += keys.length;
    if (this.taken === this.typed.length) {
      this.discardKeys();
    }
    return keys;
  }

  discardKeys() {
    this.typed = [];
    this.taken = 0;
  }

  rows() {
    return this.terminal.rows;
  }

  columns() {
    return this.terminal.cols;
  }

  show(bytes) {
    this.terminal.write(bytes);
  }

  // What went wrong, with why the browser did not keep the game if it did not.
  say(text) {
    this.sayToPage(this.notKept ? `${text.trimEnd()} ${this.notKept}` : text);
  }

  // The game asks `question` ({question, choices}) and waits for its key.
  ask(question) {
    this.choices?.ask(question);
  }

  keepSnapshot(bytes) {
    this.keepSnapshotInPage(bytes);
  }

  // The game waits `ms` on its clock; keys typed meanwhile are dropped.
  waiting() {
    this.choices?.wait();
  }

  beingPlayed(path) {
    return this.played(path);
  }

  // KEPT once the browser has the file's bytes; STORAGE_FULL or NOT_KEPT if not, the page
  // saying why.
  async keepFile(path, bytes) {
    try {
      await this.keepInPage(path, bytes.slice());
      return KEPT;
    } catch (error) {
      this.notKept = error?.name === 'ChangedElsewhere' ? error.message
        : `The browser did not keep it: ${error?.message ?? error}.`;
      this.sayToPage(this.notKept);
      return error?.name === 'QuotaExceededError' ? STORAGE_FULL : NOT_KEPT;
    }
  }
}
