// The games this browser keeps, as the Games dialog lists them: each with its keys and when it
// was last played, to play, download as far as it goes, or delete. A game played in a tab
// cannot be deleted from another: the delete asks for the game's lock, as a tab that plays it
// holds it.

// A file name for a game that a shell takes as it is: no spaces, quotes or other characters a
// shell gives a meaning.
export function fileNameOf(name) {
  return `${name.replace(/[\s'"`$\\!*?<>|&;()[\]{}#~^]+/g, '-')}.game`;
}

// Has the browser save `bytes` as the file of the game `name`.
export function downloadBytes(name, bytes) {
  const link = document.createElement('a');
  link.href = URL.createObjectURL(new Blob([bytes], {type: 'application/octet-stream'}));
  link.download = fileNameOf(name);
  link.click();
  setTimeout(() => URL.revokeObjectURL(link.href), 10000);
}

// Runs `action` holding the lock of the game `name`, if no tab holds it; whether it ran. Without
// the browser's locks (a page not served securely), it runs: the storage refuses a tab's keys
// for a game deleted under it.
async function withGameLock(name, action) {
  if (!navigator.locks) {
    await action();
    return true;
  }
  return navigator.locks.request(`orbalune:${name}`, {ifAvailable: true}, async (lock) => {
    if (lock) {
      await action();
    }
    return lock !== null;
  });
}

export class GamesList {
  // `storage`: the browser's games (Storage). `dialog`: the dialog whose tbody#games-list lists
  // them. `say(text)`: tells the page's player. `playing()`: the game this tab plays, if any.
  constructor(storage, dialog, say, playing) {
    this.storage = storage;
    this.dialog = dialog;
    this.say = say;
    this.playing = playing;
  }

  async show() {
    const list = this.dialog.querySelector('#games-list');
    list.replaceChildren();
    for (const game of await this.storage.games()) {
      const row = list.insertRow();
      row.insertCell().textContent = game.name;
      row.insertCell().textContent = game.keys ?? '';
      row.insertCell().textContent = new Date(game.played).toLocaleString();
      const actions = row.insertCell();
      const button = (label, action) => {
        const made = document.createElement('button');
        made.type = 'button';
        made.textContent = label;
        made.setAttribute('aria-label', `${label} ${game.name}`);
        made.onclick = action;
        actions.append(made, ' ');
      };
      button('Play', () => location.assign(`?game=${encodeURIComponent(game.name)}`));
      button('Download', () => this.download(game.name));
      button('Delete', () => this.remove(game.name));
    }
    if (!this.dialog.open) {
      this.dialog.showModal();
    }
  }

  async download(name) {
    try {
      downloadBytes(name, await this.storage.read(name));
    } catch (error) {
      this.say(`"${name}" could not be read from the browser's storage: ${error.message}`);
    }
  }

  async remove(name) {
    if (name === this.playing()) {
      this.say(`"${name}" is being played here: start or open another game to delete it.`);
      return;
    }
    if (!confirm(`Delete "${name}" from this browser?`)) {
      return;
    }
    try {
      if (!(await withGameLock(name, () => this.storage.remove(name)))) {
        this.say(`"${name}" is being played in another tab or window: it cannot be deleted ` +
                 'while it is played.');
      }
    } catch (error) {
      this.say(`"${name}" could not be deleted: ${error.message}`);
    }
    await this.show();
  }
}
