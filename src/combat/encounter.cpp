#include "combat/encounter.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <ostream>

#include "combat/chances.hpp"
#include "game/game.hpp"
#include "game/saturating.hpp"

namespace orbalune {

std::string pluralize(const std::string& word, std::int64_t count) {
    return count == 1 ? word : word + "s";
}

Encounter::Encounter(Game& owner) : game(owner), remaining(owner.monsterCatalog.kinds.size(), 0) {}

void Game::runEncounter() {
    Encounter(*this).run();
}

void Encounter::run() {
    if (!monstersAttack()) {
        return;
    }
    chooseGroup();
    fight();
}

// Monsters come more often near the Orbalune's tile and less often deeper down.
bool Encounter::monstersAttack() {
    const DungeonLevel& level = game.dungeon;
    const auto squared = [](std::int64_t a, std::int64_t b) {
        return static_cast<double>(a * a + b * b);
    };
    const double diagonal = std::sqrt(squared(level.height, level.width));
    const double distance = std::sqrt(
        squared(level.orbaluneCol - level.playerCol, level.orbaluneRow - level.playerRow));
    return game.random.percentDraw() < encounterChance(distance, diagonal, game.dungeonNumber);
}

void Encounter::chooseGroup() {
    const std::int32_t n = game.dungeonNumber;
    const std::int32_t cap = n + 2;
    std::ostream& out = game.out();
    while (monsterCount == 0) {
        for (std::size_t position = 0; position < game.monsterCatalog.kinds.size(); ++position) {
            const MonsterKind& kind = game.monsterCatalog.kinds[position];
            if (n < kind.level) {
                continue;
            }
            if (!joinsGroup(kind.encounterChance, n, game.random.percentDraw())) {
                continue;
            }
            const std::int32_t size = game.random.randomInRange(kind.minGroup, kind.maxGroup);
            if (size == 1) {
                out << "You see a " << kind.name << "!\n";
            } else {
                out << "You see " << size << ' ' << kind.name << "s!\n";
            }
            remaining[position] = size;
            // The cap only cuts the group being created; later kinds still add one each.
            for (std::int32_t made = 0; made < size; ++made) {
                createMonster(kind);
                if (monsterCount >= cap) {
                    break;
                }
            }
        }
    }
}

void Encounter::createMonster(const MonsterKind& kind) {
    const std::int32_t monster = monsterCount;
    monsterCodes.push_back(kind.code);
    monsterHp.push_back(game.random.randomInRange(kind.minHP, kind.maxHP));
    scheduleMonster(monster, kind);  // the clock is still at 0: a first turn within one delay
    ++monsterCount;
}

const MonsterKind& Encounter::kindOf(std::int32_t monster) const {
    return game.monsterCatalog.find(monsterCodes[static_cast<std::size_t>(monster)]);
}

bool Encounter::anyMonsterStanding() const {
    return std::any_of(monsterHp.begin(), monsterHp.end(), [](std::int32_t hp) { return hp > 0; });
}

namespace {
// The next action of an actor with base delay `delay` comes delay/2 to delay ms from now.
std::int64_t nextTurn(Random& random, std::int64_t now, std::int32_t delay) {
    return now + delay / 2 + random.next() % (delay - delay / 2 + 1);
}
}  // namespace

void Encounter::scheduleMonster(std::int32_t monster, const MonsterKind& kind) {
    const auto delay = static_cast<std::int32_t>(game.dungeon.monsterTurnDelay / kind.speed);
    turnQueue.push({monster, nextTurn(game.random, now, delay)});
}

void Encounter::fight() {
    for (;;) {
        if (!anyMonsterStanding()) {
            winEncounter();
            return;
        }
        turnQueue.push({TurnEvent::kPlayer, nextTurn(game.random, now, game.player.turnDelay)});

        // Every monster due before the player acts first; the dead drop out without waiting.
        while (turnQueue.top().actor != TurnEvent::kPlayer) {
            const TurnEvent event = turnQueue.top();
            if (monsterHp[static_cast<std::size_t>(event.actor)] <= 0) {
                turnQueue.pop();
                continue;
            }
            if (monsterTurn(event)) {
                return;
            }
        }

        const TurnEvent playerTurn = turnQueue.top();
        game.pause(static_cast<std::int32_t>(playerTurn.time - now));
        now = playerTurn.time;
        turnQueue.pop();

        showRound();
        bool ended = false;
        switch (readCombatChoice()) {
            case 'a':
                ended = attack();
                break;
            case 'b':
                ended = useItem();
                break;
            default:
                ended = runAway();
                break;
        }
        if (ended) {
            return;
        }
    }
}

bool Encounter::monsterTurn(const TurnEvent& event) {
    const MonsterKind& kind = kindOf(event.actor);
    Player& player = game.player;
    std::ostream& out = game.out();

    game.pause(static_cast<std::int32_t>(event.time - now));
    now = event.time;
    out << "A " << kind.name << " attacks";
    const std::int32_t hitChance = kind.accuracy + kind.level - player.armorClass;
    if (game.random.percentDraw() < hitChance) {
        std::int32_t damage = game.random.randomInRange(kind.minDamage, kind.maxDamage);
        if (const Item* tunic = game.equippedItem(game.equippedTunic)) {
            damage -= tunic->bonus;
        }
        if (const Item* shield = game.equippedItem(game.equippedShield)) {
            damage -= shield->bonus;
        }
        // Armour that exactly absorbs a hit leaves it to chance; more than that heals.
        if (damage == 0) {
            damage = game.random.next() % 2;
        }
        out << "! (" << damage << " damage)\n";
        player.hp = saturatingAdd(player.hp, -static_cast<std::int64_t>(damage));
        if (player.hp < 1) {
            loseEncounter();
            return true;
        }
    } else {
        out << "... and misses!\n";
    }
    turnQueue.pop();
    scheduleMonster(event.actor, kind);
    return false;
}

void Encounter::showRound() {
    std::ostream& out = game.out();
    out << "\nRemaining: | ";
    for (std::size_t position = 0; position < remaining.size(); ++position) {
        const std::int32_t count = remaining[position];
        if (count > 0) {
            out << count << ' ' << pluralize(game.monsterCatalog.kinds[position].name, count)
                << " | ";
        }
    }
    game.player.printStats(out);
    out << "(a) Attack (b) Use Item (c) Run\n";
    out << "==> ";
}

char Encounter::readCombatChoice() {
    static constexpr std::array<Choice, 3> kChoices = {
        {{'a', "Attack"}, {'b', "Use Item"}, {'c', "Run"}}};
    for (;;) {
        game.reading = Game::Menu::Fight;
        const char letter = game.readChar(Question::Kind::Fight, kChoices);
        game.reading = Game::Menu::None;
        switch (letter) {
            case 'a':
            case 'A':
                return 'a';
            case 'b':
            case 'B':
                return 'b';
            case 'c':
            case 'C':
                return 'c';
            default:
                break;
        }
    }
}

}  // namespace orbalune
