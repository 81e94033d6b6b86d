#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "dungeon/dungeon_level.hpp"
#include "dungeon/monster_catalog.hpp"
#include "game/console.hpp"
#include "game/random.hpp"
#include "items/item.hpp"
#include "items/item_catalog.hpp"
#include "items/player.hpp"

namespace orbalune {

using Bag = std::vector<Item>;

// A bag slot, or none.
using EquippedSlot = std::optional<std::size_t>;

// The whole state of one running game, and the operations of every subsystem on it.
struct Game {
    static constexpr std::int32_t kDramaticPauseMs = 750;
    static constexpr std::int32_t kStartingTurnDelay = 3000;

    Console console;
    Random random;  // the game's one generator, seeded once here
    Player player;
    DungeonLevel dungeon;
    std::int32_t inDungeon = 0;  // 1 in the dungeon, 0 in town
    bool regenerateLevel = true;
    std::int32_t dungeonNumber = 1;
    Bag bag;
    ItemCatalog itemCatalog;
    MonsterCatalog monsterCatalog;
    // Derived from the items' equipped flags by refreshEquipped after every bag change.
    EquippedSlot equippedWeapon;
    EquippedSlot equippedShield;
    EquippedSlot equippedTunic;
    std::int32_t pauseMs = kDramaticPauseMs;
    // Which menu the key being read answers, for whoever supplies the keys: at the command menu
    // a terminal's arrows mean the moves, and a watched game's fights begin at their first menu.
    enum class Menu { None, Command, Fight };
    Menu reading = Menu::None;
    // The choices of the question being asked, gathered here to reuse their memory.
    std::vector<Choice> choices;

    explicit Game(Console console);

    // --- game core ---
    // Plays until input ends (status 0) or a consistency check fails (status 1).
    int run();
    // One pass of the main loop: the banner, in the dungeon the map, and one command.
    void step();
    // Shows the menu of the current mode, reads one letter and performs it. Returns the letter
    // as typed, or 0 when it was not on offer or a choice inside the command was refused.
    char runCommand();
    void showInventory();
    bool dropItem();  // false: the choice was refused

    // The game between two commands as bytes, and back: a game restored from a snapshot plays
    // on exactly as the game it was taken from. Restoring refuses (false, the game unchanged)
    // bytes that are damaged or of other rules. Taken where betweenCommands is called.
    [[nodiscard]] std::string snapshot() const;
    [[nodiscard]] bool restore(std::string_view bytes);

    std::ostream& out() { return console.out; }
    // Whether the key being read may be a move: the dungeon's command menu is read.
    [[nodiscard]] bool readingMove() const { return reading == Menu::Command && inDungeon == 1; }
    // Tells the console what is asked, if it asks, then reads one non-blank character; throws
    // EndOfInput when there is none.
    char readChar(Question::Kind kind, std::span<const Choice> offered);
    // The choices of a lettered list: the items `shown` accepts (all when it is none), then the
    // letter after the last, which cancels. None when the console does not ask.
    std::span<const Choice> itemChoices(std::span<const Item> items,
                                        bool (*shown)(const Item&) = nullptr);
    // Waits `ms` milliseconds on the console's clock, with everything printed so far visible.
    void pause(std::int32_t ms);

    // --- items and character ---
    [[nodiscard]] bool bagIsFull() const {
        return bag.size() >= static_cast<std::size_t>(player.bagCapacity());
    }
    void addToBag(Item item);
    void removeFromBag(std::size_t slot);
    void refreshEquipped();
    void computeArmorClass();
    void useItem(std::size_t slot);
    void useMenu();
    void leaveDungeon();
    [[nodiscard]] const Item* equippedItem(const EquippedSlot& slot) const {
        return slot ? &bag[*slot] : nullptr;
    }

    // --- dungeon ---
    void enterDungeon();
    bool pickUp();  // false: the choice was refused

    // --- combat ---
    void runEncounter();

    // --- town ---
    bool visitStore();  // false: the choice was refused
    void resurrect();

private:
    // The commands of one mode, for an offered upper-case letter; false: a choice was refused.
    bool runDungeonCommand(char command);
    bool runTownCommand(char command);
    bool buy();
    bool sell();
};

}  // namespace orbalune
