// The choices of the question the game asks, as buttons below the terminal: a tap types the
// key as the keyboard does. The game says at each read what it asks and which keys act; while
// it waits on its clock (a fight's blows), the buttons say so and a tap does nothing, as keys
// typed then are dropped.

// A watch's steering keys, as its status line names them.
const STEERING = [
  {key: ' ', words: 'Pause', shown: 'space'},
  {key: 'h', words: 'Back a key'},
  {key: 'l', words: 'On a key'},
  {key: '<', words: 'Place before'},
  {key: '>', words: 'Next place'},
  {key: '[', words: 'Fight before'},
  {key: ']', words: 'Next fight'},
  {key: '-', words: 'Slower'},
  {key: '+', words: 'Faster'},
  {key: '\x1b[F', words: 'The end', shown: 'End'},
  {key: 'q', words: 'Stop'},
];

// The dungeon's moves, placed as a cross: row and column of each in a grid of three by three,
// and the arrow each shows for its words (which still name it for a screen reader).
const CROSS = {N: [1, 2, '\u2191'], W: [2, 1, '\u2190'], E: [2, 3, '\u2192'], S: [3, 2, '\u2193']};

export class ChoiceButtons {
  // `panel`: the element the buttons go in. `type(key)`: types a key for the program.
  constructor(panel, type) {
    this.panel = panel;
    this.type = type;
    this.waiting = false;
  }

  // The choices of `question` ({question, choices: [{key, words}]}), ready to tap.
  ask(question) {
    const moves = question.question === 'dungeon'
      ? question.choices.filter((choice) => choice.key in CROSS) : [];
    const others = question.choices.filter((choice) => !moves.includes(choice));
    const groups = [];
    if (moves.length) {
      const cross = this.group('cross', 'Moves', moves.map((move) =>
        ({...move, shownWords: CROSS[move.key][2]})));
      for (const button of cross.children) {
        [button.style.gridRow, button.style.gridColumn] = CROSS[button.dataset.key];
      }
      groups.push(cross);
    }
    groups.push(this.group('keys', `The ${question.question}'s choices`, others));
    this.show(groups, false);
  }

  // The game waits on its clock: taps do nothing until it asks again.
  wait() {
    this.setWaiting(true);
  }

  // A watch's steering keys, which act whenever they are typed.
  steer() {
    this.show([this.group('keys', 'Steering the watch', STEERING)], false);
  }

  // No program asks anything.
  clear() {
    this.show([], false);
  }

  group(kind, label, choices) {
    const group = document.createElement('div');
    group.className = kind;
    group.setAttribute('role', 'group');
    group.setAttribute('aria-label', label);
    for (const choice of choices) {
      const button = document.createElement('button');
      button.type = 'button';
      button.dataset.key = choice.key;
      const key = document.createElement('kbd');
      key.textContent = choice.shown ?? choice.key;
      key.setAttribute('aria-hidden', 'true');
      button.append(key, ` ${choice.shownWords ?? choice.words}`);
      button.setAttribute('aria-label', choice.words);
      button.addEventListener('click', () => {
        if (!this.waiting) {
          this.type(choice.key);
        }
      });
      group.append(button);
    }
    return group;
  }

  // Shows `groups`, keeping the keyboard's focus among the buttons if it was there: on the
  // button of the same key, else the first.
  show(groups, waiting) {
    const focused = this.panel.contains(document.activeElement)
      ? document.activeElement.dataset.key : undefined;
    this.panel.replaceChildren(...groups);
    this.setWaiting(waiting);
    if (focused !== undefined) {
      const buttons = [...this.panel.querySelectorAll('button')];
      (buttons.find((button) => button.dataset.key === focused) ?? buttons[0])?.focus();
    }
  }

  // Waiting buttons stay focusable (a switch or keyboard user keeps their place), but say that
  // they do nothing now.
  setWaiting(waiting) {
    this.waiting = waiting;
    this.panel.classList.toggle('waiting', waiting);
    for (const button of this.panel.querySelectorAll('button')) {
      button.setAttribute('aria-disabled', String(waiting));
    }
  }
}
