#include "game/game.hpp"

#include <istream>
#include <utility>

namespace orbalune {

Game::Game(Console console_)
    : console(std::move(console_)),
      random(console.seed),
      player(random),
      itemCatalog(ItemCatalog::build()),
      monsterCatalog(MonsterCatalog::build()) {
    addToBag(itemCatalog.findItem("GTU"));
    addToBag(itemCatalog.findItem(kBareHandsCode));
    useItem(0);
    useItem(1);
    player.turnDelay = kStartingTurnDelay;
}

int Game::run() {
    try {
        for (;;) {
            step();
        }
    } catch (const EndOfInput&) {
        out() << std::flush;
        return kExitAtEndOfInput;
    } catch (const FatalError& error) {
        out() << error.message << std::flush;
        return kExitOnFatalError;
    }
}

namespace {
bool isMove(char letter) {
    switch (letter) {
        case 'n':
        case 'N':
        case 's':
        case 'S':
        case 'w':
        case 'W':
        case 'e':
        case 'E':
            return true;
        default:
            return false;
    }
}
}  // namespace

void Game::step() {
    if (console.betweenCommands) {
        console.betweenCommands();
    }
    if (inDungeon == 0) {
        out() << "\nYou are currently in town.\n";
        runCommand();
        return;
    }
    out() << "\nYou are in Dungeon #" << dungeonNumber << "\n\n";
    dungeon.showMap(out());
    if (player.isDead()) {
        return;
    }
    if (isMove(runCommand())) {
        dungeon.showMap(out());
        runEncounter();
    }
}

char Game::readChar(Question::Kind kind, std::span<const Choice> offered) {
    if (console.ask) {
        console.ask(Question{kind, offered});
    }
    out() << std::flush;
    char letter = 0;
    if (!(console.in >> letter)) {
        throw EndOfInput{};
    }
    return letter;
}

std::span<const Choice> Game::itemChoices(std::span<const Item> items, bool (*shown)(const Item&)) {
    choices.clear();
    if (!console.ask) {
        return {};
    }
    for (std::size_t slot = 0; slot < items.size(); ++slot) {
        if (shown == nullptr || shown(items[slot])) {
            choices.push_back(Choice{slotLetter(slot), items[slot].name});
        }
    }
    choices.push_back(Choice{slotLetter(items.size()), "cancel"});
    return choices;
}

void Game::pause(std::int32_t ms) {
    out() << std::flush;
    if (console.pause) {
        console.pause(ms);
    }
}

}  // namespace orbalune
