#pragma once

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <span>
#include <string_view>

namespace orbalune {

// One key a question acts on, and what it does in the words of the question's own menu.
struct Choice {
    char key;  // the byte to type, as the menu names it
    std::string_view words;

    friend bool operator==(const Choice&, const Choice&) = default;
};

// What the game asks at a read of a key: which question, and every key it acts on. The words
// live until the read returns.
struct Question {
    enum class Kind { Town, Dungeon, Fight, Store, Buy, Sell, Use, Drop, PickUp };
    Kind kind;
    std::span<const Choice> choices;
};

// Everything the game knows of the outside world. The terminal build wires it to std::cin,
// std::cout, the wall clock and a sleeping pause; tests and replays wire it to strings, a
// fixed seed and a pause that returns at once.
struct Console {
    std::istream& in;
    std::ostream& out;
    std::function<void(std::int32_t ms)> pause;
    std::uint32_t seed = 0;
    // Told the question before each read of a key, for a platform that shows its choices (a web
    // page's buttons); none: nobody asks, and the game does not gather them.
    std::function<void(const Question&)> ask = {};
    // Called before each pass of the main loop, where the next key the game reads is a town or
    // dungeon command and nothing of a fight or the store is under way: the game is then whole
    // in its fields, for whoever keeps snapshots of it.
    std::function<void()> betweenCommands = {};
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
