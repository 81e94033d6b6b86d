#pragma once

#include <cstdint>
#include <functional>
#include <iosfwd>

namespace orbalune {

// Everything the game knows of the outside world. The terminal build wires it to std::cin,
// std::cout, the wall clock and a sleeping pause; tests and replays wire it to strings, a
// fixed seed and a pause that returns at once.
struct Console {
    std::istream& in;
    std::ostream& out;
    std::function<void(std::int32_t ms)> pause;
    std::uint32_t seed = 0;
};

// Thrown by a read when no character can be had any more: the game then stops quietly.
struct EndOfInput {};

// Thrown by an internal consistency check; the process prints `message` and exits with 1.
struct FatalError {
    const char* message;
};

// Process exit statuses the game reports to its executable.
inline constexpr int kExitAtEndOfInput = 0;
inline constexpr int kExitOnFatalError = 1;

}  // namespace orbalune
