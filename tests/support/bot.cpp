#include "support/bot.hpp"

#include <algorithm>
#include <array>
#include <deque>

#include "game/invariants.hpp"

namespace orbalune::testing {

BotKeys::int_type BotKeys::underflow() {
    pending_ = bot_.nextKeys();
    if (pending_.empty()) {
        return traits_type::eof();
    }
    setg(pending_.data(), pending_.data(), pending_.data() + pending_.size());
    return traits_type::to_int_type(pending_[0]);
}

namespace {

constexpr std::size_t kTailLength = 600;
// Percent of the menus at which the bot types something odd instead of playing on.
constexpr std::uint32_t kSteadyNoisePercent = 5;
constexpr std::uint32_t kRestlessNoisePercent = 30;

bool endsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// How good a piece of equipment is, to tell upgrades from junk.
std::int32_t worth(const Item& item) {
    switch (item.category) {
        case ItemCategory::Weapon:
            return item.maxDamage + item.bonus;
        case ItemCategory::Tunic:
        case ItemCategory::Shield:
            return item.armorClass;
        default:
            return 0;
    }
}

bool isEquipment(const Item& item) {
    return item.category == ItemCategory::Weapon || item.category == ItemCategory::Tunic ||
           item.category == ItemCategory::Shield;
}

bool isHealing(const Item& item) {
    return item.category == ItemCategory::Consumable && item.code != kRecallPotionCode;
}

}  // namespace

Bot::Bot(std::uint32_t seed, std::size_t keyBudget, BotStyle style)
    : keys_(*this),
      in_(&keys_),
      game_(Console{in_, out_, [](std::int32_t) {}, seed}),
      noise_(seed),
      keyBudget_(keyBudget),
      noisePercent_(style == BotStyle::Steady ? kSteadyNoisePercent : kRestlessNoisePercent) {}

BotReport Bot::play() {
    report_.exitStatus = game_.run();
    observeOutput();
    report_.keys = typed.size();
    return report_;
}

void Bot::record(const std::string& what) {
    report_.breaches.push_back(
        what + " (after " + std::to_string(typed.size()) + " keys; last output: ..." +
        tail_.substr(tail_.size() - std::min<std::size_t>(tail_.size(), 200)) + ")");
}

void Bot::observeOutput() {
    const std::string fresh = out_.str();
    out_.str("");
    for (const char* ending : {"\nYou won!\n", "\nYou ran away!\n", "\nThe monsters won!\n"}) {
        for (std::size_t at = fresh.find(ending); at != std::string::npos;
             at = fresh.find(ending, at + 1)) {
            ++report_.fights;
        }
    }
    tail_ += fresh;
    if (tail_.size() > kTailLength) {
        tail_.erase(0, tail_.size() - kTailLength);
    }
}

std::string Bot::nextKeys() {
    observeOutput();
    if (typed.size() >= keyBudget_) {
        return "";
    }
    std::string keys;
    if (endsWith(tail_, "(a) Attack (b) Use Item (c) Run\n==> ")) {
        keys = decideInFight();
    } else if (endsWith(tail_, "(V) View Stats  \n==> ")) {
        for (const std::string& breach : invariantBreaches(game_)) {
            record(breach);
        }
        keys = decideAtMenu();
    } else {
        record("the bot was asked at a prompt it did not plan for");
    }
    typed += keys;
    return keys;
}

std::string Bot::decideAtMenu() {
    const Player& player = game_.player;
    report_.highestLevel = std::max(report_.highestLevel, player.level);
    report_.deepestDungeon = std::max(report_.deepestDungeon, game_.dungeonNumber);
    report_.deliveries = game_.dungeonNumber - 1;
    if (player.isDead() && !wasDead_) {
        ++report_.deaths;
    }
    if (!player.isDead() && wasDead_) {
        ++report_.resurrections;
    }
    wasDead_ = player.isDead();

    if (noise_() % 100 < noisePercent_) {
        return noise();
    }
    return game_.inDungeon == 1 ? decideInDungeon() : decideInTown();
}

std::string Bot::noise() {
    const std::string cancelUse = std::string("u") + slotLetter(game_.bag.size());
    const std::string cancelDrop = std::string("d") + slotLetter(game_.bag.size());
    const std::array<std::string, 9> choices = {
        "x", "Q", "7", "v", "I", "V i", cancelUse, cancelDrop, game_.inDungeon ? "z" : "baq"};
    return choices[noise_() % choices.size()];
}

long Bot::slotOf(const std::string& code) const {
    for (std::size_t slot = 0; slot < game_.bag.size(); ++slot) {
        if (game_.bag[slot].code == code) {
            return static_cast<long>(slot);
        }
    }
    return -1;
}

long Bot::healingSlot() const {
    for (std::size_t slot = 0; slot < game_.bag.size(); ++slot) {
        if (isHealing(game_.bag[slot])) {
            return static_cast<long>(slot);
        }
    }
    return -1;
}

std::string Bot::useSlotKeys(std::size_t slot) const {
    return std::string("u") + slotLetter(slot);
}

std::string Bot::decideInFight() {
    const Player& player = game_.player;
    if (player.hp * 100 <= player.maxHp * 35) {
        const long heal = healingSlot();
        if (heal >= 0 && player.hp != player.maxHp) {
            return std::string("b") + slotLetter(static_cast<std::size_t>(heal));
        }
        return "c";
    }
    return noise_() % 20 == 0 ? "x a" : "a";
}

bool Bot::isUpgrade(const Item& item) const {
    const EquippedSlot& worn = item.category == ItemCategory::Weapon  ? game_.equippedWeapon
                               : item.category == ItemCategory::Tunic ? game_.equippedTunic
                                                                      : game_.equippedShield;
    return !worn || worth(item) > worth(game_.bag[*worn]);
}

std::string Bot::decideInTown() {
    const Player& player = game_.player;
    const Bag& bag = game_.bag;
    if (player.isDead()) {
        if (player.mokels >= player.resurrectionFee) {
            return "g";
        }
        for (std::size_t slot = 0; slot < bag.size(); ++slot) {
            if (bag[slot].price > 0) {
                return std::string("bb") + slotLetter(slot);
            }
        }
        return "";  // dead, penniless and with nothing to sell: the game is over
    }

    // Equip anything better than what is worn.
    for (std::size_t slot = 0; slot < bag.size(); ++slot) {
        const Item& item = bag[slot];
        if (!isEquipment(item) || item.equipped) {
            continue;
        }
        if (isUpgrade(item)) {
            return useSlotKeys(slot);
        }
    }
    // Sell treasures and spare equipment.
    for (std::size_t slot = 0; slot < bag.size(); ++slot) {
        const Item& item = bag[slot];
        const bool treasure = item.category == ItemCategory::Treasure && item.price > 0;
        if (treasure || (isEquipment(item) && !item.equipped && item.price > 0)) {
            return std::string("bb") + slotLetter(slot);
        }
    }
    // Buy upgrades first, then something to heal with, keeping the next fee in hand.
    const std::int32_t reserve = std::min(player.resurrectionFee, 1000);
    const std::int32_t spendable = player.mokels - reserve;
    if (!game_.bagIsFull()) {
        const std::vector<Item>& shelf = game_.itemCatalog.items;
        for (std::size_t slot = 0; slot < shelf.size(); ++slot) {
            const Item& item = shelf[slot];
            if (!isEquipment(item) || item.price > spendable) {
                continue;
            }
            if (isUpgrade(item)) {
                ++report_.purchases;
                return std::string("ba") + slotLetter(slot);
            }
        }
        const auto healing = std::count_if(bag.begin(), bag.end(), isHealing);
        if (healing < 3 && spendable >= 50) {
            ++report_.purchases;
            return "bak";
        }
        if (healing < 3 && spendable >= 10) {
            ++report_.purchases;
            return "baj";
        }
    }
    return noise_() % 2 ? "e" : "E";
}

std::string Bot::decideInDungeon() {
    const Player& player = game_.player;
    const DungeonLevel& level = game_.dungeon;
    const std::span<const Item> here = level.itemsUnderPlayer();
    const bool carrying = slotOf(kOrbaluneCode) >= 0;

    const long heal = healingSlot();
    if (player.hp * 100 < player.maxHp * 50 && heal >= 0) {
        return useSlotKeys(static_cast<std::size_t>(heal));
    }
    const bool weak = player.hp * 100 < player.maxHp * 35;
    if (carrying || weak) {
        return level.playerOnStairs() ? "a" : stepToward(level.stairsRow, level.stairsCol);
    }

    const auto orbalune = std::find_if(here.begin(), here.end(),
                                       [](const Item& item) { return item.code == kOrbaluneCode; });
    if (!here.empty()) {
        if (game_.bagIsFull()) {
            if (orbalune != here.end()) {
                // Make room for the treasure: drop the first thing worth least.
                std::size_t cheapest = 0;
                for (std::size_t slot = 0; slot < game_.bag.size(); ++slot) {
                    if (!game_.bag[slot].equipped &&
                        (game_.bag[cheapest].equipped ||
                         game_.bag[slot].price < game_.bag[cheapest].price)) {
                        cheapest = slot;
                    }
                }
                return std::string("d") + slotLetter(cheapest);
            }
        } else if (here.size() == 1) {
            return "g";
        } else {
            const auto chosen = orbalune != here.end() ? orbalune - here.begin() : 0;
            return std::string("g") + slotLetter(static_cast<std::size_t>(chosen));
        }
    }

    // The Orbalune still lies on its tile unless someone took it.
    const auto atOrbalune = level.itemsAt(level.orbaluneRow, level.orbaluneCol);
    const bool stillThere = std::any_of(atOrbalune.begin(), atOrbalune.end(), [](const Item& item) {
        return item.code == kOrbaluneCode;
    });
    if (stillThere) {
        return stepToward(level.orbaluneRow, level.orbaluneCol);
    }
    return level.playerOnStairs() ? "a" : stepToward(level.stairsRow, level.stairsCol);
}

std::string Bot::stepToward(std::int32_t targetRow, std::int32_t targetCol) {
    const DungeonLevel& level = game_.dungeon;
    if (level.playerRow == targetRow && level.playerCol == targetCol) {
        return "v";
    }
    // Breadth-first search back from the target, then step to the neighbour nearest to it.
    std::vector<std::int32_t> distance(level.tiles.size(), -1);
    std::deque<std::pair<std::int32_t, std::int32_t>> frontier{{targetRow, targetCol}};
    distance[level.indexOf(targetRow, targetCol)] = 0;
    constexpr std::array<std::pair<std::int32_t, std::int32_t>, 4> kSteps = {
        {{-1, 0}, {1, 0}, {0, -1}, {0, 1}}};
    while (!frontier.empty()) {
        const auto [row, col] = frontier.front();
        frontier.pop_front();
        if (row == level.playerRow && col == level.playerCol) {
            break;
        }
        for (const auto& [dr, dc] : kSteps) {
            const std::int32_t r = row + dr;
            const std::int32_t c = col + dc;
            if (level.isWalkable(r, c) && distance[level.indexOf(r, c)] < 0) {
                distance[level.indexOf(r, c)] = distance[level.indexOf(row, col)] + 1;
                frontier.emplace_back(r, c);
            }
        }
    }
    constexpr std::array<char, 4> kLetters = {'n', 's', 'w', 'e'};
    char best = 0;
    std::int32_t bestDistance = -1;
    for (std::size_t i = 0; i < kSteps.size(); ++i) {
        const std::int32_t r = level.playerRow + kSteps[i].first;
        const std::int32_t c = level.playerCol + kSteps[i].second;
        const std::int32_t d = level.isWalkable(r, c) ? distance[level.indexOf(r, c)] : -1;
        if (d >= 0 && (bestDistance < 0 || d < bestDistance)) {
            best = kLetters[i];
            bestDistance = d;
        }
    }
    if (best == 0) {
        record("no way to the target");
        return "";
    }
    return std::string(1, noise_() % 10 == 0 ? static_cast<char>(best - 'a' + 'A') : best);
}

}  // namespace orbalune::testing
