#include "platform/replay/summary.hpp"

#include <algorithm>
#include <istream>

#include "game/game.hpp"
#include "game/rules_version.hpp"
#include "platform/replay/key_streams.hpp"
#include "platform/terminal/keys.hpp"
#include "platform/terminal/shown_text.hpp"
#include "platform/terminal/terminal_locale.hpp"

namespace orbalune {

int summarize(const std::string& file, const SavedGame& saved, std::ostream& out) {
    KeyView view(saved.keys);
    std::istream keys(&view);
    std::ostream nowhere(nullptr);  // a stream without a buffer drops what it is given
    Game game(Console{keys, nowhere, {}, saved.seed});
    const int status = game.run();

    const auto count = std::count_if(saved.keys.begin(), saved.keys.end(),
                                     [](char key) { return !isBlankKey(key); });
    out << shownText(file, localeSpeaksUtf8()) << ": seed " << saved.seed << ", " << count
        << (count == 1 ? " key" : " keys") << ", rules version " << kRulesVersion << '\n';
    if (game.inDungeon != 0) {
        out << "in dungeon #" << game.dungeonNumber;
    } else {
        out << "in town, next dungeon #" << game.dungeonNumber;
    }
    const Player& player = game.player;
    out << ", level " << player.level << ", " << player.hp << '/' << player.maxHp << " HP, "
        << player.mokels << (player.mokels == 1 ? " mokel, " : " mokels, ")
        << (player.isDead() ? "dead" : "alive") << '\n';
    return status;
}

}  // namespace orbalune
