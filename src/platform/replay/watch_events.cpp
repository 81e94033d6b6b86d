#include "platform/replay/watch_events.hpp"

#include <algorithm>

#include "game/game.hpp"
#include "platform/replay/silent_play.hpp"

namespace orbalune {

WatchEvents WatchEvents::find(SavedKeys& keys, std::uint32_t seed) {
    WatchEvents events;
    bool wasInDungeon = false;
    Game::Menu lastMenu = Game::Menu::None;
    playSilently(keys, seed, [&](const Game& game, std::size_t taken) {
        const bool inDungeon = game.inDungeon == 1;
        if (taken > 0 && inDungeon != wasInDungeon) {
            events.placeChanges.push_back(taken);
        }
        wasInDungeon = inDungeon;
        // A fight's first menu is the first one read since the command menu was.
        if (game.reading == Game::Menu::Fight && lastMenu != Game::Menu::Fight) {
            events.fights.push_back(taken);
        }
        if (game.reading != Game::Menu::None) {
            lastMenu = game.reading;
        }
    });
    events.keysSeen = keys.size();
    return events;
}

std::optional<std::size_t> nextAfter(const std::vector<std::size_t>& positions,
                                     std::size_t position) {
    const auto next = std::upper_bound(positions.begin(), positions.end(), position);
    return next == positions.end() ? std::nullopt : std::optional<std::size_t>(*next);
}

std::optional<std::size_t> lastBefore(const std::vector<std::size_t>& positions,
                                      std::size_t position) {
    const auto next = std::lower_bound(positions.begin(), positions.end(), position);
    return next == positions.begin() ? std::nullopt : std::optional<std::size_t>(*(next - 1));
}

}  // namespace orbalune
