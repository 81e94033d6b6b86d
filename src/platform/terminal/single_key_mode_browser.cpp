// Single keys in a web page's terminal: it gives each key as it is pressed, with no line editing
// or echo to turn off, no signals, and no key that ends the input (the page ends a game itself).
#include "platform/terminal/single_key_mode.hpp"

namespace orbalune {

SingleKeyMode::SingleKeyMode(int /*fd*/, Steering /*steering*/) : active_(true) {}

SingleKeyMode::~SingleKeyMode() = default;

}  // namespace orbalune
