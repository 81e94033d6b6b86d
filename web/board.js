// The board of a host's games: every saved game in a folder of the site, as orbalune-replay
// --info lists them, the deepest first, sortable by any column, kept up to date. The folder's
// files are learned from the server's own listing of it, which must be nginx's in JSON
// (autoindex_format json); each file is read once, then only what was added since. Files are
// read a few at a time and summed up in workers, off the page's main thread, and the table is
// drawn again at most every DRAW_MS, so that a folder of thousands keeps the page responsive.

import {bodyOf, LARGEST_GAME, LIVE_MS, TOO_LARGE} from './follow.js';

const LOOK_MS = 10000;
const READS_AT_ONCE = 4;
const DRAW_MS = 250;

// Workers that sum up games (record_worker.js), each given the game it has the fewest before.
class RecordWorkers {
  constructor(count) {
    this.workers = Array.from({length: count}, () => {
      const worker = new Worker(new URL('./record_worker.js', import.meta.url), {type: 'module'});
      worker.waiting = new Map();  // the records asked of it, by request number
      worker.onmessage = ({data: {id, record}}) => {
        worker.waiting.get(id)(record);
        worker.waiting.delete(id);
      };
      return worker;
    });
    this.requests = 0;
  }

  record(name, bytes, live) {
    const worker = this.workers.reduce((least, next) =>
      next.waiting.size < least.waiting.size ? next : least);
    const id = ++this.requests;
    worker.postMessage({id, name, bytes, live});
    return new Promise((resolve) => worker.waiting.set(id, resolve));
  }
}

// The columns: a title, and how a game's record gives the cell and the order.
const COLUMNS = [
  ['Player', (game) => game.player],
  // A daily game's seed is shown as its day, as --info shows it.
  ['Seed', (game) => game.record.seed, (game) => game.record.day ?? game.record.seed],
  ['Keys', (game) => game.record.keys],
  ['Dungeon', (game) => game.record.dungeon],
  ['Level', (game) => game.record.level],
  ['HP', (game) => game.record.hp, (game) => `${game.record.hp}/${game.record.maxHp}`],
  ['Mokels', (game) => game.record.mokels],
  ['Orbalunes', (game) => game.record.orbalunes],
  ['Deaths', (game) => game.record.deaths],
  ['Resurrections', (game) => game.record.resurrections],
  ['Now', (game) => game.record.now],
  ['Last played', (game) => game.modified, (game) => new Date(game.modified).toLocaleString()],
];

// Today's date in UTC as the number YYYYMMDD: everyone's seed of the day.
export function todaysSeed() {
  const now = new Date();
  return now.getUTCFullYear() * 10000 + (now.getUTCMonth() + 1) * 100 + now.getUTCDate();
}

export class Board {
  // `folder`: the games folder's address on this site. `table`: the element to draw in.
  // `watch(url)`: watches a game, following it if it is played. `storage`: where the records
  // of games are kept between visits (none: each visit reads every game).
  constructor(folder, table, {say, watch, storage}) {
    this.folder = new URL(folder, location.href);
    this.table = table;
    this.say = say;
    this.watch = watch;
    this.storage = storage ?? null;
    this.games = new Map();  // by file name
    this.sortBy = 3;         // the dungeon
    this.descending = true;
    this.todayOnly = false;
    this.drawing = null;  // the next drawing of the table, once one is due
    this.drawn = '';      // what the table shows, to leave it be while nothing changes
    this.drawTook = 0;    // how long the last drawing took, in milliseconds
  }

  async start() {
    if (this.folder.origin !== location.origin) {
      throw new Error(`${this.folder}: only a folder of this site can be shown`);
    }
    this.records = new RecordWorkers(Math.min(READS_AT_ONCE, navigator.hardwareConcurrency || 2));
    let unreachable = false;
    for (;;) {
      // A listing that cannot be had is asked for again, and the board goes on once it is.
      try {
        await this.look();
        if (unreachable) {
          this.say('');
          unreachable = false;
        }
      } catch (error) {
        this.say(`${this.folder}: ${error.message}; looking again every ${LOOK_MS / 1000} ` +
                 'seconds');
        unreachable = true;
      }
      this.draw();
      await new Promise((resolve) => setTimeout(resolve, LOOK_MS));
    }
  }

  show(todayOnly) {
    this.todayOnly = todayOnly;
    this.draw();
  }

  live(game) {
    return Date.now() - game.modified < LIVE_MS;
  }

  // Draws the table soon, once for all the games summed up meanwhile: DRAW_MS after the last
  // drawing, or four times as long as that drawing took, so that drawing a large table takes a
  // fifth of the page's time at most and the games go on being read.
  drawSoon() {
    this.drawing ??= setTimeout(() => {
      this.drawing = null;
      const start = performance.now();
      this.draw();
      this.drawTook = performance.now() - start;
    }, Math.max(DRAW_MS, 4 * this.drawTook));
  }

  // The folder's listing, then what each file gained; throws if the listing cannot be had.
  async look() {
    let response;
    try {
      response = await fetch(this.folder, {cache: 'no-store'});
    } catch (error) {
      throw new Error(`the server does not answer (${error.message})`);
    }
    let listing = null;
    try {
      listing = response.ok ? await response.json() : null;
    } catch {
      listing = null;
    }
    const files = Array.isArray(listing) &&
        listing.every((entry) => typeof entry?.name === 'string' && typeof entry.type === 'string');
    if (!files) {
      throw new Error(response.ok ? 'not nginx\'s listing of a folder in JSON ' +
          '(autoindex_format json), the one the board reads' :
          `${response.status} ${response.statusText}`);
    }
    const seen = new Set();
    const toRead = [];
    for (const entry of listing) {
      if (entry.type !== 'file' || !entry.name.endsWith('.game')) {
        continue;
      }
      seen.add(entry.name);
      const game = this.games.get(entry.name) ??
          {name: entry.name, player: entry.name.slice(0, -5), bytes: new Uint8Array(0), size: -1};
      this.games.set(entry.name, game);
      game.modified = Date.parse(entry.mtime) || 0;
      // A name that is not UTF-8 reaches the page with U+FFFD in it, which names no file.
      const failure = entry.name.includes('\uFFFD') ? 'its file name is not UTF-8 text, which ' +
          'a page cannot ask a server for' : entry.size > LARGEST_GAME ? TOO_LARGE : null;
      if (failure) {
        game.bytes = new Uint8Array(0);
        game.record = {failure};
      } else if (entry.size !== game.size || game.record === undefined) {
        toRead.push([game, entry.size]);
      }
    }
    // Each game shown soon after it is summed up: a large folder takes a while.
    const reader = async () => {
      for (let next = toRead.shift(); next; next = toRead.shift()) {
        await this.read(...next);
        this.drawSoon();
      }
    };
    await Promise.all(Array.from({length: READS_AT_ONCE}, reader));
    for (const name of this.games.keys()) {
      if (!seen.has(name)) {
        this.games.delete(name);
      }
    }
  }

  // Reads what a file gained since it was last read (all of it, if it shrank), and sums it up;
  // a file as it was at an earlier visit, the same size and time, is not read again (unless it
  // was then being played and is no longer, or the other way round: its record says so).
  async read(game, size) {
    const url = new URL(encodeURIComponent(game.name), this.folder);
    const known = game.record === undefined ?
      await this.storage?.readRecord(url.href).catch(() => null) : null;
    const live = this.live(game);
    if (known?.size === size && known.modified === game.modified && known.live === live) {
      game.record = known.record;
      game.size = size;
      return;
    }
    await this.readBytes(game, size, url);
    game.size = size;
    if (!game.record.failure) {
      this.storage?.keepRecord(url.href, {size, modified: game.modified, live, record: game.record})
          .catch(() => {});  // only a shortcut for the next visit
    }
  }

  async readBytes(game, size, url) {
    const known = size >= game.bytes.length ? game.bytes.length : 0;
    try {
      const response = await fetch(url, {
        cache: 'no-store',
        headers: known > 0 ? {Range: `bytes=${known}-`} : {},
      });
      if (!response.ok && response.status !== 416) {
        throw new Error(`${response.status} ${response.statusText}`);
      }
      const bytes = await bodyOf(response, response.status === 206 ? known : 0);
      if (response.status === 206) {
        const whole = new Uint8Array(known + bytes.length);
        whole.set(game.bytes.subarray(0, known));
        whole.set(bytes, known);
        game.bytes = whole;
      } else if (response.status === 200) {
        game.bytes = bytes;
      }
      game.record = await this.records.record(game.name, game.bytes, this.live(game));
    } catch (error) {
      game.record = {failure: error.message};
    }
  }

  draw() {
    const today = todaysSeed();
    // A game still being read for the first time is left out until it is summed up.
    const games = [...this.games.values()].filter((game) => game.record !== undefined &&
        (!this.todayOnly || game.record.seed === today));
    const [, key] = COLUMNS[this.sortBy];
    // Games that could not be read last, as --info puts them.
    games.sort((a, b) => {
      if (Boolean(a.record?.failure) !== Boolean(b.record?.failure)) {
        return a.record?.failure ? 1 : -1;
      }
      if (a.record?.failure) {
        return a.name < b.name ? -1 : 1;
      }
      const [x, y] = [key(a), key(b)];
      const order = x < y ? -1 : x > y ? 1 : 0;
      return this.descending ? -order : order;
    });
    // The same table is not drawn again: a button being pressed stays where it is.
    const shown = JSON.stringify([this.sortBy, this.descending, this.todayOnly,
      games.map((game) => [game.name, game.modified, game.record])]);
    if (shown === this.drawn) {
      return;
    }
    this.drawn = shown;
    const head = document.createElement('tr');
    COLUMNS.forEach(([title], column) => {
      const cell = document.createElement('th');
      const sort = document.createElement('button');
      sort.type = 'button';
      sort.textContent = title + (column === this.sortBy ? (this.descending ? ' ▼' : ' ▲') : '');
      sort.onclick = () => {
        this.descending = column === this.sortBy ? !this.descending : column !== 0;
        this.sortBy = column;
        this.draw();
      };
      cell.append(sort);
      head.append(cell);
    });
    const rows = games.map((game) => {
      const row = document.createElement('tr');
      const player = document.createElement('button');
      player.type = 'button';
      player.className = 'player';
      player.textContent = game.player;  // a stranger's name: text, never markup
      player.onclick = () => this.watch(new URL(encodeURIComponent(game.name), this.folder));
      row.insertCell().append(player);
      if (game.record?.failure) {
        const reason = row.insertCell();
        reason.colSpan = COLUMNS.length - 1;
        reason.textContent = game.record.failure;
        return row;
      }
      for (const [, key, text] of COLUMNS.slice(1)) {
        row.insertCell().textContent = String((text ?? key)(game));
      }
      return row;
    });
    this.table.replaceChildren(head, ...rows);
  }
}
