// The page: a terminal that plays orbalune, each game kept in the browser's storage, and saved
// games downloaded, opened and watched. Its address says what to do:
//   index.html                  the game played last in this browser (a new one the first time)
//   index.html?game=NAME        that game
//   index.html?seed=N           a new game from seed N (&name=NAME to name it)
//   index.html?new              a new game from the clock
//   index.html?daily            today's dungeon (resumed, if this browser has begun it)
//   index.html?watch=URL        a saved game of this site, watched (&follow: and followed live)
//   index.html?games=URL        the board of a folder of this site's games (&today: today's)

import {Terminal} from './xterm.mjs';
import {Board, todaysSeed} from './board.js';
import {ChoiceButtons} from './choices.js';
import {Follower} from './follow.js';
import {phoneKeyboardToggle, takeKeys} from './keyboard_input.js';
import {keepForOffline} from './offline.js';
import createOrbalune from './orbalune.js';
import {Session} from './session.js';
import {Storage} from './storage.js';
import {fitTerminal} from './terminal_fit.js';

const LAST_PLAYED = 'orbalune.lastPlayed';
const LARGEST_FILE = 16 << 20;  // bytes: far more than a game played by hand
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

// Typed at the terminal or tapped on a button: the same bytes for the program.
const type = (text) => session?.type(encoder.encode(text));
terminal.onData(type);
takeKeys(terminal, type);
const choices = new ChoiceButtons(element('choice-buttons'), type);
// For tests and bug reports: what the program running now has shown, one character a byte.
window.orbaluneScreen = () => session?.shownBytes() ?? '';

function say(text) {
  element('message').textContent = text;
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
async function run(args, files, keep, beingPlayed, steered = false) {
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
  session = new Session(terminal, {say, keep, beingPlayed, choices});
  const ran = session.run(args, files);
  running = ran.finally(() => choices.clear());
  terminal.focus();
  return running;
}

// Plays the game `name`, kept in this browser (or new, from `seed` if given), in this tab
// alone: the browser's lock for it is held while it plays.
async function play(name, seed) {
  if (!navigator.locks) {
    say('This page is not served securely (https or localhost), so it cannot tell whether ' +
        'another tab plays the same game: play each game in one tab only.');
    return playHeld(name, seed);
  }
  const held = await navigator.locks.request(`orbalune:${name}`, {ifAvailable: true},
                                             async (lock) => lock && playHeld(name, seed));
  if (!held) {
    say(`"${name}" is being played in another tab or window of this browser: play it there, ` +
        'or choose another game.');
  }
}

async function playHeld(name, seed) {
  playing = name;
  localStorage.setItem(LAST_PLAYED, name);
  element('playing').textContent = name;
  const files = {[pathOf(name)]: null};
  let kept = 0;
  showSeed(seed);
  if (await storage.has(name)) {
    files[pathOf(name)] = await storage.read(name);
    kept = files[pathOf(name)].length;
    showSeed((await headerOf(files[pathOf(name)])).seed);
  }
  const args = ['orbalune', '--save', pathOf(name)];
  if (seed !== undefined) {
    args.push('--seed', String(seed));
  }
  const status = await run(args, files, async (path, bytes) => {
    await storage.keep(name, bytes, kept);
    if (kept === 0) {
      showSeed((await headerOf(bytes)).seed);  // a new game's, from the clock
    }
    kept = bytes.length;
  });
  if (playing === name) {
    playing = null;
    if (status !== 0 && !element('message').textContent) {
      say(`The game ended (status ${status}).`);
    }
  }
  return true;
}

// Starts a new game called `wanted` (or after its seed), from `seed` or the clock.
async function newGame(wanted, seed) {
  const name = await storage.freeName(wanted || (seed === undefined ? 'game' : `seed ${seed}`));
  history.replaceState(null, '', `?game=${encodeURIComponent(name)}`);
  return play(name, seed);
}

// What the header of `bytes` says: {seed}, or {failure} when they are no saved game this page
// plays.
let checker = null;
async function headerOf(bytes) {
  if (bytes.length > LARGEST_FILE) {
    return {failure: `too large for this page (over ${LARGEST_FILE >> 20} MB)`};
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
  const name = await storage.freeName(nameFrom(file.name));
  await storage.keep(name, bytes, 0);
  location.assign(`?game=${encodeURIComponent(name)}`);
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
  const args = ['orbalune-replay', '--watch', ...(follower ? ['--follow'] : []), path];
  const ended = run(args, {[path]: bytes}, undefined, () => follower?.beingPlayed() ?? false,
                    true);
  follower?.follow((more) => session.appendTo(path, more));
  await ended;
  follower?.stop();
  say(`The watch of ${fileName} ended.`);
}

async function watchAddress(address, following) {
  const url = new URL(address, location.href);
  if (url.origin !== location.origin) {
    say(`${address}: only a saved game of this site can be watched here`);
    return;
  }
  const name = decodeURIComponent(url.pathname.split('/').pop());
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

function showBoard(folder, todayOnly) {
  element('play').hidden = true;
  element('board').hidden = false;
  element('playing').textContent = `games in ${folder}`;
  const board = new Board(folder, element('board-table'), {
    say,
    watch: (url) => location.assign(`?${new URLSearchParams({watch: url.pathname, follow: ''})}`),
  });
  element('all-games').onclick = () => board.show(false);
  element('todays-games').onclick = () => board.show(true);
  board.todayOnly = todayOnly;
  return board.start();
}

async function download() {
  const name = playing ?? localStorage.getItem(LAST_PLAYED);
  if (!name || !(await storage.has(name))) {
    say('No game to download yet.');
    return;
  }
  const link = document.createElement('a');
  link.href = URL.createObjectURL(new Blob([await storage.read(name)],
                                           {type: 'application/octet-stream'}));
  link.download = `${name}.game`;
  link.click();
  setTimeout(() => URL.revokeObjectURL(link.href), 10000);
}

async function listGames() {
  const list = element('games-list');
  list.replaceChildren();
  for (const game of await storage.games()) {
    const row = list.insertRow();
    row.insertCell().textContent = game.name;
    row.insertCell().textContent = new Date(game.played).toLocaleString();
    const actions = row.insertCell();
    const button = (label, action) => {
      const made = document.createElement('button');
      made.type = 'button';
      made.textContent = label;
      made.onclick = action;
      actions.append(made, ' ');
    };
    button('Play', () => location.assign(`?game=${encodeURIComponent(game.name)}`));
    button('Delete', async () => {
      if (game.name !== playing && confirm(`Delete "${game.name}" from this browser?`)) {
        await storage.remove(game.name);
        listGames();
      }
    });
  }
  element('games-dialog').showModal();
}

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
  element('games').onclick = listGames;
  element('download').onclick = download;
  element('help').onclick = () => element('help-dialog').showModal();
  element('open').onclick = () => element('open-file').click();
  element('watch').onclick = () => element('watch-file').click();
  element('open-file').onchange = (event) => event.target.files[0] && openFile(event.target.files[0]);
  element('watch-file').onchange = async (event) => {
    const file = event.target.files[0];
    if (file) {
      await watch(file.name, new Uint8Array(await file.arrayBuffer()));
    }
  };
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

async function start() {
  wireButtons();
  keepForOffline();
  try {
    storage = await Storage.open();
  } catch (error) {
    say(`This browser keeps no storage for this page (${error}), so no game can be kept.`);
    return;
  }
  const query = new URLSearchParams(location.search);
  if (query.has('games')) {
    return showBoard(query.get('games'), query.has('today'));
  }
  if (query.has('watch')) {
    return watchAddress(query.get('watch'), query.has('follow'));
  }
  if (query.has('seed')) {
    return newGame(query.get('name'), seedFrom(query.get('seed')));
  }
  if (query.has('new')) {
    return newGame(query.get('name'));
  }
  if (query.has('daily')) {
    const seed = todaysSeed();
    const name = `today ${seed}`;
    history.replaceState(null, '', `?game=${encodeURIComponent(name)}`);
    return (await storage.has(name)) ? play(name) : play(name, seed);
  }
  const last = query.get('game') ?? localStorage.getItem(LAST_PLAYED);
  if (last !== null && (query.has('game') || (await storage.has(last)))) {
    return play(last);
  }
  return newGame();
}

start().catch((error) => say(String(error)));
