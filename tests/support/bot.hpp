#pragma once

#include <cstdint>
#include <random>
#include <sstream>
#include <streambuf>
#include <string>
#include <vector>

#include "game/game.hpp"

namespace orbalune::testing {

struct Bot;

// Feeds the game's reads from the bot, a few keys at a time, so that the bot can look at the
// game before each answer. Test-only glue to the standard streams.
class BotKeys : public std::streambuf {
public:
    explicit BotKeys(Bot& bot) : bot_(bot) {}

protected:
    int_type underflow() override;

private:
    Bot& bot_;
    std::string pending_;
};

// What one bot game achieved.
struct BotReport {
    std::int32_t deepestDungeon = 1;
    std::int32_t highestLevel = 1;
    std::int32_t deliveries = 0;
    std::int32_t deaths = 0;
    std::int32_t resurrections = 0;
    std::int32_t purchases = 0;
    std::int32_t fights = 0;
    std::size_t keys = 0;
    int exitStatus = -1;
    std::vector<std::string> breaches;  // invariant breaches and surprises, with context
};

// How much a bot strays from sensible play: a steady one now and then, a restless one often.
enum class BotStyle { Steady, Restless };

// A player that reads the game's state and plays sensibly: shops and equips, walks to the
// Orbalune, picks things up, fights, heals, runs, climbs out and pays to come back to life,
// with a little noise (refused letters, cancelled menus, keys typed ahead).
struct Bot {
    Bot(std::uint32_t seed, std::size_t keyBudget, BotStyle style = BotStyle::Steady);

    // Plays until the key budget is spent.
    BotReport play();

    // Every key the bot typed, in order.
    std::string typed;

    // Called by BotKeys whenever the game wants input; empty means no more keys.
    std::string nextKeys();

private:
    std::string decideAtMenu();
    std::string decideInFight();
    std::string decideInTown();
    std::string decideInDungeon();
    std::string noise();
    std::string stepToward(std::int32_t row, std::int32_t col);
    std::string useSlotKeys(std::size_t slot) const;
    long slotOf(const std::string& code) const;
    long healingSlot() const;
    // Whether a piece of equipment beats what is worn in its place.
    bool isUpgrade(const Item& item) const;
    void record(const std::string& what);
    void observeOutput();

    BotKeys keys_;
    std::istream in_;
    std::ostringstream out_;
    Game game_;
    std::mt19937 noise_;
    std::size_t keyBudget_;
    std::uint32_t noisePercent_;
    std::string tail_;  // the last part of the output, to tell which prompt is showing
    BotReport report_;
    bool wasDead_ = false;
};

}  // namespace orbalune::testing
