// The games this browser keeps: each a saved game in the terminal programs' format, kept in the
// browser's own storage (IndexedDB) in pieces, so that keeping a key writes only its piece; and
// beside each, the latest snapshot of it, to resume it from at once. A board's records of the
// games it showed are kept too, by address, size and time, to show them again without reading
// them.

const DATABASE = 'orbalune';
const PIECE = 4096;

function settled(request) {
  return new Promise((resolve, reject) => {
    request.onsuccess = () => resolve(request.result);
    request.onerror = () => reject(request.error);
  });
}

function committed(transaction) {
  return new Promise((resolve, reject) => {
    transaction.oncomplete = () => resolve();
    transaction.onerror = transaction.onabort = () => reject(transaction.error);
  });
}

const piecesOf = (name) => IDBKeyRange.bound([name, 0], [name, Infinity]);

export class Storage {
  // The storage of this browser; throws if it has none for this page.
  static async open() {
    const opening = indexedDB.open(DATABASE, 3);
    opening.onupgradeneeded = ({oldVersion}) => {
      if (oldVersion < 1) {
        opening.result.createObjectStore('games', {keyPath: 'name'});
        opening.result.createObjectStore('pieces');
      }
      if (oldVersion < 2) {
        opening.result.createObjectStore('snapshots');
      }
      opening.result.createObjectStore('records');
    };
    return new Storage(await settled(opening));
  }

  constructor(database) {
    this.database = database;
  }

  // Every game kept: its name, size in bytes and when it was last played, the latest first.
  async games() {
    const games = await settled(
        this.database.transaction('games').objectStore('games').getAll());
    return games.sort((a, b) => b.played - a.played);
  }

  async has(name) {
    const game = await settled(this.database.transaction('games').objectStore('games').get(name));
    return game !== undefined;
  }

  // A game's bytes, whole.
  async read(name) {
    const pieces = await settled(
        this.database.transaction('pieces').objectStore('pieces').getAll(piecesOf(name)));
    const bytes = new Uint8Array(pieces.reduce((size, piece) => size + piece.length, 0));
    let at = 0;
    for (const piece of pieces) {
      bytes.set(piece, at);
      at += piece.length;
    }
    return bytes;
  }

  // Keeps `bytes` as the game `name`, whose first `kept` bytes are kept already: only the pieces
  // past those are written, in the transaction that finds the game as this tab left it. A game
  // deleted, or played on, in another tab meanwhile is left alone, and this rejects
  // (ChangedElsewhere), as it does if the browser refuses (QuotaExceededError: full). `keys`:
  // how many of the bytes are keys, for the list of games.
  async keep(name, bytes, kept, keys) {
    const transaction = this.database.transaction(['games', 'pieces'], 'readwrite');
    const games = transaction.objectStore('games');
    let changed = null;
    games.get(name).onsuccess = (event) => {
      const found = event.target.result;
      if ((found?.size ?? 0) !== kept) {
        changed = found ? 'played on in another tab' : 'deleted in another tab';
        transaction.abort();
        return;
      }
      const pieces = transaction.objectStore('pieces');
      for (let piece = Math.floor(kept / PIECE); piece * PIECE < bytes.length; ++piece) {
        pieces.put(bytes.slice(piece * PIECE, (piece + 1) * PIECE), [name, piece]);
      }
      games.put({name, size: bytes.length, keys, played: Date.now()});
    };
    try {
      await committed(transaction);
    } catch (error) {
      if (!changed) {
        throw error;
      }
      const refused = new Error(`"${name}" was ${changed}: this tab stopped, and kept none of ` +
                                'its keys since, so that no game mixes the keys of two tabs.');
      refused.name = 'ChangedElsewhere';
      throw refused;
    }
  }

  // The snapshot kept beside the game `name`, or null. The game checks it before it uses it.
  readSnapshot(name) {
    return this.valueIn('snapshots', name);
  }

  keepSnapshot(name, bytes) {
    return this.keepIn('snapshots', name, bytes);
  }

  // What a board last summed up of the game at `address`: {size, modified, live, record}, or
  // null.
  readRecord(address) {
    return this.valueIn('records', address);
  }

  keepRecord(address, known) {
    return this.keepIn('records', address, known);
  }

  async valueIn(store, key) {
    const value = await settled(this.database.transaction(store).objectStore(store).get(key));
    return value ?? null;
  }

  async keepIn(store, key, value) {
    const transaction = this.database.transaction(store, 'readwrite');
    transaction.objectStore(store).put(value, key);
    await committed(transaction);
  }

  async remove(name) {
    const transaction = this.database.transaction(['games', 'pieces', 'snapshots'], 'readwrite');
    transaction.objectStore('snapshots').delete(name);
    transaction.objectStore('pieces').delete(piecesOf(name));
    transaction.objectStore('games').delete(name);
    await committed(transaction);
  }

  // A name like `wanted` that no kept game has.
  async freeName(wanted) {
    let name = wanted;
    for (let count = 2; await this.has(name); ++count) {
      name = `${wanted} (${count})`;
    }
    return name;
  }
}
