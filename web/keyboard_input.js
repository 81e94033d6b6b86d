// What the terminal leaves to the page, and the keyboards of phones and tablets.
//
// Tab and Shift+Tab move the focus between the terminal and the page's buttons, as on any page:
// the game has no use for a tab (it skips blanks).
//
// An on-screen keyboard (Android's, often iOS's for some
// languages) sends a keydown with key code 229 and then an `input` event with the text, which
// the terminal takes only outside its screen reader mode: here the text of such an event is
// typed once, and the terminal is kept from taking it as well. A composed text (a word from a
// suggestion, an accent) still comes from the terminal, once composed.
//
// The phone's own keyboard can be hidden when the choices' buttons are enough: the terminal's
// text box then asks for none (inputmode="none"), whatever has the focus.

const KEYBOARD_SHOWN = 'orbalune.phoneKeyboard';
const COMPOSING = 229;

export function takeKeys(terminal, type) {
  let fromOnScreenKeyboard = false;
  let keyDownSinceInput = false;
  terminal.attachCustomKeyEventHandler((event) =>
    event.key !== 'Tab' && !(event.type === 'keydown' && event.keyCode === COMPOSING));
  const box = terminal.textarea;
  box.addEventListener('keydown', (event) => {
    fromOnScreenKeyboard = event.keyCode === COMPOSING;
    keyDownSinceInput = true;
  }, true);
  box.addEventListener('input', (event) => {
    // Without a keydown of its own, text comes from a keyboard that sends no keys (dictation,
    // some on-screen keyboards), which the terminal leaves alone in screen reader mode as well.
    const untaken = fromOnScreenKeyboard || !keyDownSinceInput;
    fromOnScreenKeyboard = false;
    keyDownSinceInput = false;
    if (event.inputType === 'insertText' && event.data && untaken) {
      type(event.data);
      box.value = '';
    }
  });
}

// Wires `toggle` (a button) to show or hide the phone's keyboard, remembered in this browser.
// The first time, phones (a coarse pointer) hide it: the buttons answer every question.
export function phoneKeyboardToggle(terminal, toggle) {
  const remembered = localStorage.getItem(KEYBOARD_SHOWN);
  let shown = remembered === null ? !matchMedia('(pointer: coarse)').matches
    : remembered === 'yes';
  const apply = () => {
    terminal.textarea.setAttribute('inputmode', shown ? 'text' : 'none');
    toggle.setAttribute('aria-pressed', String(shown));
  };
  toggle.addEventListener('click', () => {
    shown = !shown;
    localStorage.setItem(KEYBOARD_SHOWN, shown ? 'yes' : 'no');
    apply();
    terminal.textarea.blur();  // the keyboard follows the new mode at the next focus
    terminal.focus();
  });
  apply();
}
