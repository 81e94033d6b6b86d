// A saved game of the site followed as it is played: fetched once whole, then only the bytes
// past those the page has (an HTTP range request) about once a second, each new key handed on
// as it comes. A file that shrinks, whose header changes or that grows past what the page reads
// is no longer followed, and said so.

const LOOK_MS = 1000;
const WHOLE_LOOK_MS = 10000;  // where the server sends whole files only
const HEADER_LOOKS = 10;  // the header is looked at again every this many looks
// A game whose file grew this recently is taken to be played now: a page cannot see the lock
// the player's game holds.
export const LIVE_MS = 5 * 60 * 1000;

// Bytes: far more than a game played by hand. A page holds what it reads: no file of a server,
// whatever its size, is read past this.
export const LARGEST_GAME = 16 << 20;
export const TOO_LARGE = `too large for this page (over ${LARGEST_GAME >> 20} MB)`;

const pause = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

// The body of `response`, `had` bytes of the file being held already; an error, and nothing
// more read, once the file would pass LARGEST_GAME.
export async function bodyOf(response, had = 0) {
  if (had + Number(response.headers.get('Content-Length') ?? 0) > LARGEST_GAME) {
    await response.body?.cancel();
    throw new Error(TOO_LARGE);
  }
  const reader = response.body.getReader();
  const chunks = [];
  let size = 0;
  for (;;) {
    const {done, value} = await reader.read();
    if (done) {
      break;
    }
    size += value.length;
    if (had + size > LARGEST_GAME) {
      await reader.cancel();
      throw new Error(TOO_LARGE);
    }
    chunks.push(value);
  }
  const bytes = new Uint8Array(size);
  let at = 0;
  for (const chunk of chunks) {
    bytes.set(chunk, at);
    at += chunk.length;
  }
  return bytes;
}

// The bytes of a saved game up to its header's empty line, its end included (all of them if it
// has none).
export function headerOf(bytes) {
  for (let at = 1; at < bytes.length; ++at) {
    if (bytes[at] === 10 && bytes[at - 1] === 10) {
      return bytes.slice(0, at + 1);
    }
  }
  return bytes;
}

const same = (a, b) => a.length === b.length && a.every((byte, at) => byte === b[at]);

export class Follower {
  constructor(url, say) {
    this.url = url;
    this.say = say;
    this.size = 0;
    this.stopped = false;
    this.wholeOnly = false;
    this.grew = 0;  // when the file last grew, as far as the page knows
  }

  // The file as it is now, whole.
  async start() {
    const response = await fetch(this.url, {cache: 'no-store'});
    if (!response.ok) {
      throw new Error(`${response.status} ${response.statusText}`);
    }
    const bytes = await bodyOf(response);
    this.size = bytes.length;
    this.last = bytes[bytes.length - 1];
    this.header = headerOf(bytes);
    const modified = Date.parse(response.headers.get('Last-Modified'));
    this.grew = Number.isNaN(modified) ? Date.now() : modified;
    return bytes;
  }

  beingPlayed() {
    return !this.stopped && Date.now() - this.grew < LIVE_MS;
  }

  stop() {
    this.stopped = true;
  }

  // Hands what the file gains to `append`, until stopped.
  async follow(append) {
    for (let looks = 1; !this.stopped; ++looks) {
      await pause(this.wholeOnly ? WHOLE_LOOK_MS : LOOK_MS);
      if (this.stopped) {
        break;
      }
      try {
        const more = await this.look(looks % HEADER_LOOKS === 0);
        if (more.length > 0 && !this.stopped) {
          append(more);
          this.size += more.length;
          this.last = more[more.length - 1];
          this.grew = Date.now();
        }
      } catch (error) {
        this.say(`${this.url}: ${error.message}: no longer followed`);
        this.stopped = true;
      }
    }
  }

  // What the file holds past the bytes the page has.
  async look(withHeader) {
    if (withHeader && !this.wholeOnly) {
      const head = await fetch(this.url, {
        cache: 'no-store',
        headers: {Range: `bytes=0-${this.header.length - 1}`},
      });
      const start = new Uint8Array(await head.arrayBuffer());
      if (head.ok && !same(start.slice(0, this.header.length), this.header)) {
        throw new Error('its header changed');
      }
    }
    // From the last byte the page has: a range a server can always satisfy, even when the
    // file has not grown (a range past its end is an error), and a byte to check.
    const response = await fetch(this.url, {
      cache: 'no-store',
      headers: {Range: `bytes=${this.size - 1}-`},
    });
    if (response.status === 416) {
      throw new Error('it shrank');
    }
    const bytes = await bodyOf(response, response.status === 206 ? this.size - 1 : 0);
    if (response.status === 206) {
      if (bytes[0] !== this.last) {
        throw new Error('it changed');
      }
      return bytes.slice(1);
    }
    if (response.status !== 200) {
      throw new Error(`${response.status} ${response.statusText}`);
    }
    if (!this.wholeOnly) {
      this.wholeOnly = true;
      this.say(`${this.url}: the server does not answer range requests, so the whole file is ` +
               `read again every ${WHOLE_LOOK_MS / 1000} seconds`);
    }
    if (bytes.length < this.size) {
      throw new Error('it shrank');
    }
    if (!same(bytes.slice(0, this.header.length), this.header)) {
      throw new Error('its header changed');
    }
    return bytes.slice(this.size);
  }
}
