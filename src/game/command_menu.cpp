#include <algorithm>
#include <array>
#include <string>

#include "game/game.hpp"

namespace orbalune {

namespace {

// One option of a menu: its letter (upper case) and its words, shown as "(A) Ascend  ".
using MenuOption = Choice;

constexpr std::array<MenuOption, 6> kDungeonOptions = {{
    {'A', "Ascend"},
    {'N', "North"},
    {'S', "South"},
    {'W', "West"},
    {'E', "East"},
    {'G', "Get"},
}};

constexpr std::array<MenuOption, 3> kTownOptions = {{
    {'E', "Enter the dungeon"},
    {'B', "Buy/Sell items"},
    {'G', "Get resurrected"},
}};

constexpr std::array<MenuOption, 4> kCommonOptions = {{
    {'I', "Inventory"},
    {'D', "Drop"},
    {'U', "Use/Equip"},
    {'V', "View Stats"},
}};

bool offeredInDungeon(const DungeonLevel& level, char letter) {
    const std::int32_t row = level.playerRow;
    const std::int32_t col = level.playerCol;
    switch (letter) {
        case 'A':
            return level.playerOnStairs();
        case 'N':
            return level.isWalkable(row - 1, col);
        case 'S':
            return level.isWalkable(row + 1, col);
        case 'W':
            return level.isWalkable(row, col - 1);
        case 'E':
            return level.isWalkable(row, col + 1);
        default:
            return !level.itemsUnderPlayer().empty();
    }
}

// ASCII only, whatever locale the program runs in: a byte past 'z' is never a command letter.
char upper(char letter) {
    return letter >= 'a' && letter <= 'z' ? static_cast<char>(letter - 'a' + 'A') : letter;
}

}  // namespace

char Game::runCommand() {
    // Offered letters are kept in upper case; a typed letter is accepted in either case.
    choices.clear();
    // The menu is written whole, in one piece: a write per word costs more than the word.
    std::string menu = "\n";
    auto offer = [&](const MenuOption& option) {
        choices.push_back(option);
        ((menu += '(') += option.key) += ") ";
        (menu += option.words) += "  ";
    };

    const bool inTheDungeon = inDungeon == 1;
    if (inTheDungeon) {
        for (const MenuOption& option : kDungeonOptions) {
            if (offeredInDungeon(dungeon, option.key)) {
                offer(option);
            }
        }
    } else {
        for (const MenuOption& option : kTownOptions) {
            offer(option);
        }
    }
    menu += '\n';
    for (const MenuOption& option : kCommonOptions) {
        offer(option);
    }
    menu += "\n==> ";
    out() << menu;

    reading = Menu::Command;
    const char letter =
        readChar(inTheDungeon ? Question::Kind::Dungeon : Question::Kind::Town, choices);
    reading = Menu::None;
    const char command = upper(letter);
    if (std::none_of(choices.begin(), choices.end(),
                     [command](const Choice& offered) { return offered.key == command; })) {
        return 0;
    }

    bool accepted = true;
    switch (command) {
        case 'I':
            showInventory();
            break;
        case 'D':
            accepted = dropItem();
            break;
        case 'U':
            useMenu();
            break;
        case 'V':
            player.printStats(out());
            break;
        default:
            accepted = inTheDungeon ? runDungeonCommand(command) : runTownCommand(command);
            break;
    }
    return accepted ? letter : '\0';
}

bool Game::runDungeonCommand(char command) {
    switch (command) {
        case 'A':
            leaveDungeon();
            return true;
        case 'N':
            --dungeon.playerRow;
            return true;
        case 'S':
            ++dungeon.playerRow;
            return true;
        case 'W':
            --dungeon.playerCol;
            return true;
        case 'E':
            ++dungeon.playerCol;
            return true;
        default:
            return pickUp();
    }
}

bool Game::runTownCommand(char command) {
    switch (command) {
        case 'E':
            if (player.isDead()) {
                out() << "\nDude, you're dead.\n";
            } else {
                enterDungeon();
            }
            return true;
        case 'B':
            return visitStore();
        default:
            resurrect();
            return true;
    }
}

void Game::showInventory() {
    out() << "\nYou're carrying:\n";
    for (const Item& item : bag) {
        itemLine(out() << '\t', item) << " \n";
    }
    if (bag.empty()) {
        out() << "\tnothing\n";
    }
}

bool Game::dropItem() {
    if (bag.empty()) {
        out() << "You have nothing to drop.\n";
        return true;
    }
    writeLetteredList(out(), bag);
    writeCancelLine(out(), bag.size());
    out() << "Which? ";
    const long slot = slotOfLetter(readChar(Question::Kind::Drop, itemChoices(bag)), bag.size());
    if (slot < 0) {
        return false;
    }
    const auto chosen = static_cast<std::size_t>(slot);
    bag[chosen].equipped = false;
    if (inDungeon == 1) {
        dungeon.putItem(dungeon.playerRow, dungeon.playerCol, bag[chosen]);
    }
    removeFromBag(chosen);
    return true;
}

}  // namespace orbalune
