// Fits the page's terminal to the space it has, at any window size and on rotation: as many
// columns and rows as fit, at a readable font. The game's lines wrap where the terminal is
// narrower than they are, as any narrow terminal wraps them; the program reads the new size
// when it next asks for it (a watch's status line, a long game's progress line).

import {FitAddon} from './addon-fit.mjs';

const SMALLEST_FONT = 14;  // CSS pixels: readable on a phone
const LARGEST_FONT = 24;
// A monospaced cell is about this much of the font's size wide and high.
const CELL_WIDTH = 0.6;
const CELL_HEIGHT = 1.2;

// The font at which 80 columns and 24 rows fill the box, within the readable sizes: a narrow
// screen gets fewer columns, a large one larger type.
function fontSizeFor(width, height) {
  const fits = Math.min(width / (80 * CELL_WIDTH), height / (24 * CELL_HEIGHT));
  return Math.max(SMALLEST_FONT, Math.min(LARGEST_FONT, Math.floor(fits)));
}

export function fitTerminal(terminal, box) {
  const fit = new FitAddon();
  terminal.loadAddon(fit);
  let frame = 0;
  const refit = () => {
    frame = 0;
    if (box.clientWidth === 0 || box.clientHeight === 0) {
      return;  // hidden
    }
    const size = fontSizeFor(box.clientWidth, box.clientHeight);
    if (terminal.options.fontSize !== size) {
      terminal.options.fontSize = size;
    }
    fit.fit();
  };
  // Once a frame however many changes come (a rotation gives several).
  new ResizeObserver(() => {
    frame ||= requestAnimationFrame(refit);
  }).observe(box);
  refit();
}
