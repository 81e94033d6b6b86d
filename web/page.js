// The page: a terminal that plays orbalune, each game kept in the browser's storage, and saved
// games downloaded, opened and watched. Its address says what to do:
//   index.html                  the game played last in this browser (a new one the first time)
//   index.html?game=NAME        that game
//   index.html?seed=N           a new game from seed N (&name=NAME to name it; the game NAME
//                               again, if this browser has it from that seed)
//   index.html?new              a new game from the clock
//   index.html?daily            today's dungeon (resumed, if this browser has begun it)
//   index.html?watch=URL        a saved game of this site, watched (&follow: and followed live)
//   index.html?games=URL        the board of a folder of this site's games (&today: today's)

import {Terminal} from './xterm.mjs';
import {Board, todaysSeed} from './board.js';
import {ChoiceButtons} from './choices.js';
import {Follower, headerOf as headerBytes, LARGEST_GAME, TOO_LARGE} from './follow.js';
import {downloadBytes, GamesList} from './games_list.js';
import {phoneKeyboardToggle, takeKeys} from './keyboard_input.js';
import {keepForOffline} from './offline.js';
import createOrbalune from './orbalune.js';
import {GameThread} from './game_thread.js';
import {Storage} from './storage.js';
import {fitTerminal} from './terminal_fit.js';

const LAST_PLAYED = 'orbalune.lastPlayed';
const LARGEST_SEED = 4294967295;

const element = (id) => document.getElementById(id);
const encoder = new TextEncoder();

const terminal = new Terminal({
  cols: 80,
  rows: 24,
  convertEol: true,  // the program's line ends, as a terminal's driver turns them
  screenReaderMode: true,
  scrollback: 2000,
  fontFamily: 'DejaVu Sans Mono, Menlo, Consolas, monospace',
});
terminal.open(element('terminal'));
fitTerminal(terminal, element('terminal'));

let storage = null;
let session = null;  // the program running now
let running = null;  // resolves when it ends
let playing = null;  // the name of the game played now
let watched = null;  // the path of the file watched now, in the watch's file system

// Typed at the terminal or tapped on a button: the same bytes for the program.
const type = (text) => session?.type(encoder.encode(text));
terminal.onData(type);
terminal.onResize(() => session?.resized());
takeKeys(terminal, type);
const choices = new ChoiceButtons(element('choice-buttons'), type);
// For tests and bug reports: what the program running now has shown, one character a byte.
window.orbaluneScreen = () => session?.shownBytes() ?? '';

// Tells the player `text`; with `offer` ({label, action}), a button to act on it.
function say(text, offer) {
  const message = element('message');
  message.textContent = text;
  if (offer) {
    const button = document.createElement('button');
    button.type = 'button';
    button.textContent = offer.label;
    button.onclick = offer.action;
    message.append(' ', button);
  }
}

// The game played last in this browser, if it keeps site data.
function lastPlayed() {
  try {
    return localStorage.getItem(LAST_PLAYED);
  } catch {
    return null;
  }
}

// Where a game is in the program's file system: a stranger's name, shown by the program as
// text, with no folder in it.
const pathOf = (name) => `/games/${name.replaceAll('/', '\u2215')}.game`;

// A name for a game from a file's: no folder, no control characters, not too long.
function nameFrom(fileName) {
  const name = fileName.replace(/\.game$/, '').replace(/[\u0000-\u001f\u007f/]/g, '_').trim();
  return name.slice(0, 60) || 'game';
}

function seedFrom(text) {
  if (!/^[0-9]{1,10}$/.test(text) || Number(text) > LARGEST_SEED) {
    throw new Error(`"${text}" is not a seed (a number from 0 to ${LARGEST_SEED})`);
  }
  return Number(text);
}

// Runs a program in the terminal; resolves when it ends. A watch (`steered`) has buttons for
// its steering keys, a game for the choices of each question.
async function run(args, files, keep, beingPlayed, steered = false, snapshots = undefined) {
  if (session) {
    session.end();
    await running;
  }
  terminal.reset();
  if (steered) {
    choices.steer();
  } else {
    choices.clear();
  }
  session = new GameThread(terminal, {say, keep, beingPlayed, choices, steered, snapshots});
  const ran = session.run(args, files);
  running = ran.finally(() => choices.clear());
  terminal.focus();
  return running;
}

// Plays the game `name`, kept in this browser (or new, from `seed` if given), in this tab
// alone: the browser's lock for it is held while it plays. Played in another tab, it is said so,
// and this tab takes it over once that one lets it go.
async function play(name, seed) {
  if (!navigator.locks) {
    say('This page is not served securely (https or localhost), so it cannot tell whether ' +
        'another tab plays the same game: if one does, the tab left behind stops at its next ' +
        'key and keeps nothing of it.');
    return playHeld(name, seed);
  }
  const lock = `orbalune:${name}`;
  const held = await navigator.locks.request(lock, {ifAvailable: true},
                                             async (granted) => granted && playHeld(name, seed));
  if (!held) {
    element('playing').textContent = name;
    say(`"${name}" is being played in another tab or window of this browser: play it there, ` +
        'or choose another game. This tab takes it over when that one closes.');
    await navigator.locks.request(lock, async () => {
      say('');
      // Made by the other tab meanwhile, a new game is that tab's, played on here.
      return playHeld(name, (await storage.has(name)) ? undefined : seed);
    });
  }
}

// How many of a saved game's `bytes` are keys: those after its header.
const keysIn = (bytes) => bytes.length - headerBytes(bytes).length;

async function playHeld(name, seed) {
  playing = name;
  element('playing').textContent = name;
  const files = {[pathOf(name)]: null};
  let kept = 0;
  showSeed(seed);
  if (await storage.has(name)) {
    const bytes = await storage.read(name);
    const header = await headerOf(bytes);
    if (header.failure) {
      // Never a page that fails at every visit: the next plain one starts a new game.
      localStorage.removeItem(LAST_PLAYED);
      say(`"${name}" cannot be played: ${header.failure}. Games lists it, to download as far ` +
          'as it goes, or delete.', {label: 'Games', action: () => gamesList.show()});
      playing = null;
      return true;
    }
    files[pathOf(name)] = bytes;
    kept = bytes.length;
    showSeed(header.seed);
  }
  localStorage.setItem(LAST_PLAYED, name);
  const args = ['orbalune', '--save', pathOf(name)];
  if (seed !== undefined) {
    args.push('--seed', String(seed));
  }
  const resumeFrom = files[pathOf(name)] &&
                     await storage.readSnapshot(name).catch(() => null);
  const status = await run(args, files, async (path, bytes) => {
    await storage.keep(name, bytes, kept, keysIn(bytes));
    if (kept === 0) {
      showSeed((await headerOf(bytes)).seed);  // a new game's, from the clock
    }
    kept = bytes.length;
  }, undefined, false, {resumeFrom, keep: snapshotKeeper(name)});
  if (playing === name) {
    playing = null;
    if (status !== 0 && !element('message').textContent) {
      say(`The game ended (status ${status}).`);
    }
  }
  return true;
}

// Keeps the latest snapshot of the game `name`, one write at a time, for its next load to resume
// from at once. Snapshots are a shortcut only: a browser that refuses one is said so once, and
// the game plays on (its next load replays its keys).
function snapshotKeeper(name) {
  let latest = null;
  let writing = false;
  let refused = false;
  return async (bytes) => {
    latest = bytes;
    if (writing) {
      return;
    }
    writing = true;
    while (latest) {
      const next = latest;
      latest = null;
      try {
        await storage.keepSnapshot(name, next);
      } catch (error) {
        if (!refused) {
          refused = true;
          say(`The browser did not keep a snapshot of "${name}" (${error?.message ?? error}): ` +
              'it plays on, and its next load plays its keys again from the first.');
        }
      }
    }
    writing = false;
  };
}

// Starts a new game called `wanted` (or after its seed), from `seed` or the clock. A game from a
// seed keeps the seed in the address, so that the address shares the dungeon, and its name,
// so that a reload plays it on.
async function newGame(wanted, seed) {
  const name = await storage.freeName(wanted || (seed === undefined ? 'game' : `seed ${seed}`));
  const query = seed === undefined ? {game: name} : {seed, name};
  history.replaceState(null, '', `?${new URLSearchParams(query)}`);
  return play(name, seed);
}

// The address ?seed=N&name=NAME: the game NAME of this browser if it has one from seed N (a
// reload), else a new game from seed N.
async function seededGame(seed, name) {
  if (name && (await storage.has(name))) {
    const header = await headerOf(await storage.read(name));
    if (header.seed === seed) {
      return play(name);
    }
  }
  return newGame(name, seed);
}

// What the header of `bytes` says: {seed}, or {failure} when they are no saved game this page
// plays.
let checker = null;
async function headerOf(bytes) {
  if (bytes.length > LARGEST_GAME) {
    return {failure: TOO_LARGE};
  }
  checker ??= await createOrbalune({page: {}});
  const at = checker._malloc(Math.max(bytes.length, 1));
  checker.HEAPU8.set(bytes, at);
  const json = checker.ccall('orbalune_header', 'number', ['number', 'number'],
                             [at, bytes.length]);
  checker._free(at);
  const header = JSON.parse(checker.UTF8ToString(json));
  checker._free(json);
  return header;
}

// Why `bytes` are no saved game this page plays, or null if they are one.
async function refusal(bytes) {
  return (await headerOf(bytes)).failure ?? null;
}

// The seed of the game played, shown, and the link to its dungeon shared.
let shownSeed;
function showSeed(seed) {
  shownSeed = seed;
  // A game named after its seed says it already.
  const named = element('playing').textContent === `seed ${seed}`;
  element('seed').textContent = seed === undefined || named ? '' : `seed ${seed}`;
  element('share').hidden = seed === undefined;
}

async function share() {
  const link = new URL(`index.html?seed=${shownSeed}`, location.href).href;
  const text = `Play my orbalune dungeon (seed ${shownSeed})`;
  if (navigator.share) {
    try {
      await navigator.share({title: 'orbalune', text, url: link});
      return;
    } catch (error) {
      if (error.name === 'AbortError') {
        return;  // the player changed their mind
      }
    }
  }
  try {
    await navigator.clipboard.writeText(link);
    say(`Copied the link to this dungeon: ${link}`);
  } catch {
    say(`The link to this dungeon: ${link}`);
  }
}

// A saved game from a file, played on in this browser as a copy of its own.
async function openFile(file) {
  const bytes = new Uint8Array(await file.arrayBuffer());
  const reason = await refusal(bytes);
  if (reason) {
    say(`${file.name}: ${reason}`);
    return;
  }
  if (!storage) {
    say(NO_STORAGE);
    return;
  }
  try {
    const name = await storage.freeName(nameFrom(file.name));
    await storage.keep(name, bytes, 0, keysIn(bytes));
    location.assign(`?game=${encodeURIComponent(name)}`);
  } catch (error) {
    say(`${file.name}: the browser did not keep it: ${error.message}`);
  }
}

// A saved game watched at a watching pace, steered by its keys; followed, it goes on as it is
// played, the follower keeping its file in step.
async function watch(fileName, bytes, follower) {
  const reason = await refusal(bytes);
  if (reason) {
    say(`${fileName}: ${reason}`);
    return;
  }
  playing = null;
  element('playing').textContent = `watching ${fileName}`;
  showSeed((await headerOf(bytes)).seed);
  say('');
  const path = `/watching/${nameFrom(fileName)}.game`;
  watched = path;
  const args = ['orbalune-replay', '--watch', ...(follower ? ['--follow'] : []), path];
  const ended = run(args, {[path]: bytes}, undefined, () => follower?.beingPlayed() ?? false,
                    true);
  follower?.follow((more) => session.appendTo(path, more));
  await ended;
  follower?.stop();
  const last = lastPlayed();
  say(`The watch of ${fileName} ended.`, last && {
    label: `Back to "${last}"`,
    action: () => location.assign(`?game=${encodeURIComponent(last)}`),
  });
}

async function watchAddress(address, following) {
  const url = new URL(address, location.href);
  if (url.origin !== location.origin) {
    say(`${address}: only a saved game of this site can be watched here`);
    return;
  }
  let name;
  try {
    name = decodeURIComponent(url.pathname.split('/').pop());
  } catch {
    say(`${address}: the address is not one of a file (a % is not followed by a character's ` +
        'bytes)');
    return;
  }
  const follower = new Follower(url.href, say);
  let bytes;
  try {
    bytes = await follower.start();
  } catch (error) {
    say(`${address}: ${error.message}`);
    return;
  }
  await watch(name, bytes, following ? follower : null);
}

async function showBoard(folder, todayOnly) {
  element('play').hidden = true;
  element('board').hidden = false;
  element('playing').textContent = `games in ${folder}`;
  const board = new Board(folder, element('board-table'), {
    say,
    storage: await Storage.open().catch(() => null),
    watch: (url) => location.assign(`?${new URLSearchParams({watch: url.pathname, follow: ''})}`),
  });
  element('all-games').onclick = () => board.show(false);
  element('todays-games').onclick = () => board.show(true);
  board.todayOnly = todayOnly;
  return board.start();
}

// The file of the game played, or watched, as the program has it now (the browser's storage may
// be refusing); else the game played last, from the storage.
async function download() {
  const path = playing !== null ? pathOf(playing) : watched;
  if (path !== null && session) {
    downloadBytes(playing ?? nameFrom(path.split('/').pop()), await session.fileBytes(path));
    return;
  }
  const name = storage && lastPlayed();
  if (!name || !(await storage.has(name))) {
    say('No game to download yet.');
    return;
  }
  await gamesList.download(name);
}

let gamesList = null;

function wireButtons() {
  phoneKeyboardToggle(terminal, element('phone-keyboard'));
  element('share').onclick = share;
  // On a narrow screen the page's buttons fold away behind one.
  element('menu-button').onclick = () => {
    const open = element('menu-button').getAttribute('aria-expanded') !== 'true';
    element('menu-button').setAttribute('aria-expanded', String(open));
  };
  const dialogs = ['new-game-dialog', 'games-dialog', 'help-dialog'];
  dialogs.forEach((id) => element(id).addEventListener('close', () => terminal.focus()));
  // After a header button, the keys go to the game again, not to the button.
  const thenPlay = (action) => async (event) => {
    await action(event);
    terminal.focus();
  };
  element('new-game').onclick = () => element('new-game-dialog').showModal();
  element('new-game-dialog').addEventListener('close', () => {
    const form = element('new-game-dialog').querySelector('form');
    if (element('new-game-dialog').returnValue === 'start') {
      const seedText = form.elements.seed.value.trim();
      const query = new URLSearchParams({name: form.elements.name.value.trim()});
      query.set(seedText ? 'seed' : 'new', seedText);
      location.assign(`?${query}`);
    }
  });
  element('daily').onclick = () => location.assign('?daily');
  element('games').onclick = () => gamesList?.show() ?? say(NO_STORAGE);
  element('download').onclick = thenPlay(download);
  element('help').onclick = () => element('help-dialog').showModal();
  element('open').onclick = thenPlay(() => element('open-file').click());
  element('watch').onclick = thenPlay(() => element('watch-file').click());
  for (const id of ['open-file', 'watch-file']) {
    element(id).addEventListener('cancel', () => terminal.focus());
  }
  element('open-file').onchange = thenPlay((event) =>
    event.target.files[0] && openFile(event.target.files[0]));
  element('watch-file').onchange = thenPlay(async (event) => {
    const file = event.target.files[0];
    if (file) {
      await watch(file.name, new Uint8Array(await file.arrayBuffer()));
    }
  });
  document.addEventListener('dragover', (event) => {
    event.preventDefault();
    document.body.classList.add('dropping');
  });
  document.addEventListener('dragleave', () => document.body.classList.remove('dropping'));
  document.addEventListener('drop', (event) => {
    event.preventDefault();
    document.body.classList.remove('dropping');
    const file = event.dataTransfer.files[0];
    if (file) {
      openFile(file);
    }
  });
}

const NO_STORAGE = 'This browser keeps no storage for this page, so no game can be kept ' +
  '(watching a game and the board of games work all the same).';

async function start() {
  wireButtons();
  keepForOffline();
  const query = new URLSearchParams(location.search);
  // Watching and the board keep nothing: they need no storage.
  if (query.has('games')) {
    return showBoard(query.get('games'), query.has('today'));
  }
  if (query.has('watch')) {
    return watchAddress(query.get('watch'), query.has('follow'));
  }
  try {
    storage = await Storage.open();
  } catch (error) {
    say(`${NO_STORAGE} (${error})`);
    return;
  }
  gamesList = new GamesList(storage, element('games-dialog'), say, () => playing);
  if (query.has('seed')) {
    return seededGame(seedFrom(query.get('seed')), query.get('name'));
  }
  if (query.has('new')) {
    return newGame(query.get('name'));
  }
  if (query.has('daily')) {
    const seed = todaysSeed();
    const name = `today ${seed}`;
    return (await storage.has(name)) ? play(name) : play(name, seed);
  }
  const wanted = query.get('game');
  if (wanted) {
    if (await storage.has(wanted)) {
      return play(wanted);
    }
    say(`This browser has no game "${wanted}" (a game lives in the browser it was played in: ` +
        'Download and Open take it to another).', {
      label: `Start a new game "${wanted}"`,
      action: () => location.assign(`?${new URLSearchParams({new: '', name: wanted})}`),
    });
    return;
  }
  const last = lastPlayed();
  if (last !== null && (await storage.has(last))) {
    return play(last);
  }
  return newGame();
}

start().catch((error) => say(String(error)));
