#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "combat/turn_queue.hpp"
#include "dungeon/monster_catalog.hpp"
#include "items/item.hpp"

namespace orbalune {

struct Game;

// "word" for one, "words" for any other count.
std::string pluralize(const std::string& word, std::int64_t count);

// The state of one fight, alive only while the fight runs.
struct Encounter {
    Game& game;
    std::vector<std::string> monsterCodes;  // kind of each monster, by monster index
    std::vector<std::int32_t> monsterHp;    // 0 or less: dead (the entry stays)
    // Per catalog position: how many of the kind are shown as standing. It counts groups as
    // announced, so it may include monsters that the group cap kept from being created.
    std::vector<std::int32_t> remaining;
    TurnQueue turnQueue;
    std::int64_t now = 0;
    std::int32_t monsterCount = 0;
    std::int32_t xpEarned = 0;
    std::int32_t mokelsDropped = 0;
    std::vector<Item> loot;

    explicit Encounter(Game& owner);

    // Rolls whether monsters come at the player's position; if so, fights to the end.
    void run();

    // --- the fight ---
    bool monstersAttack();
    void chooseGroup();
    void createMonster(const MonsterKind& kind);
    void fight();
    [[nodiscard]] bool anyMonsterStanding() const;
    [[nodiscard]] const MonsterKind& kindOf(std::int32_t monster) const;
    void scheduleMonster(std::int32_t monster, const MonsterKind& kind);
    bool monsterTurn(const TurnEvent& event);  // true: the player fell
    void showRound();
    char readCombatChoice();

    // --- the player's choices; each returns true when it ended the fight ---
    bool attack();
    bool useItem();
    bool runAway();

    // --- endings ---
    void defeatMonster(std::int32_t monster);
    void winEncounter();
    void loseEncounter();
};

}  // namespace orbalune
