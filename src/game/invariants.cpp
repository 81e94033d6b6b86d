#include "game/invariants.hpp"

#include "game/game.hpp"

namespace orbalune {

namespace {

// Each equipped reference is none or names a flagged bag item of its own category.
void checkReference(const Game& game, const EquippedSlot& slot, ItemCategory category,
                    const char* what, std::vector<std::string>& breaches) {
    if (!slot) {
        return;
    }
    if (*slot >= game.bag.size()) {
        breaches.emplace_back(std::string(what) + " points past the bag");
        return;
    }
    const Item& item = game.bag[*slot];
    if (!item.equipped) {
        breaches.emplace_back(std::string(what) + " names an item not flagged equipped");
    }
    if (item.category != category) {
        breaches.emplace_back(std::string(what) + " names an item of another category");
    }
}

void checkBag(const Game& game, std::vector<std::string>& breaches) {
    checkReference(game, game.equippedWeapon, ItemCategory::Weapon, "the weapon", breaches);
    checkReference(game, game.equippedTunic, ItemCategory::Tunic, "the tunic", breaches);
    checkReference(game, game.equippedShield, ItemCategory::Shield, "the shield", breaches);
    for (std::size_t slot = 0; slot < game.bag.size(); ++slot) {
        const bool referenced = game.equippedWeapon == slot || game.equippedTunic == slot ||
                                game.equippedShield == slot;
        if (game.bag[slot].equipped && !referenced) {
            breaches.emplace_back("bag slot " + std::to_string(slot) +
                                  " is flagged but not equipped");
        }
    }
    std::int32_t armorClass = 0;
    for (const Item* armour :
         {game.equippedItem(game.equippedTunic), game.equippedItem(game.equippedShield)}) {
        armorClass += armour != nullptr ? armour->armorClass : 0;
    }
    if (game.player.armorClass != armorClass) {
        breaches.emplace_back("the armour class is not that of the equipped armour");
    }
    if (game.bag.size() > static_cast<std::size_t>(game.player.bagCapacity())) {
        breaches.emplace_back("the bag holds more than its capacity");
    }
}

void checkLevel(const Game& game, std::vector<std::string>& breaches) {
    const DungeonLevel& level = game.dungeon;
    if (game.player.isDead() && game.inDungeon != 0) {
        breaches.emplace_back("a dead player is in the dungeon");
    }
    if (game.inDungeon != 0 && game.inDungeon != 1) {
        breaches.emplace_back("the mode is neither town nor dungeon");
    }
    if (level.tiles.empty()) {
        if (game.inDungeon == 1) {
            breaches.emplace_back("the player is in a dungeon that was never built");
        }
        return;
    }
    const auto onRingOrOutside = [&level](std::int32_t row, std::int32_t col) {
        return row <= 0 || col <= 0 || row >= level.height - 1 || col >= level.width - 1;
    };
    if (game.inDungeon == 1 && (onRingOrOutside(level.playerRow, level.playerCol) ||
                                !level.isWalkable(level.playerRow, level.playerCol))) {
        breaches.emplace_back("the player stands on rock or on the outer ring");
    }
    if (!level.isWalkable(level.stairsRow, level.stairsCol)) {
        breaches.emplace_back("the stairs are not walkable");
    }
    if (!level.isWalkable(level.orbaluneRow, level.orbaluneCol)) {
        breaches.emplace_back("the Orbalune's tile is not walkable");
    }
    for (const std::size_t index : level.floorItems.tiles) {
        if (index >= level.tiles.size() || level.tiles[index] == Tile::Rock) {
            breaches.emplace_back("items lie on rock or outside the level");
        }
    }
    for (const Item& item : level.floorItems.items) {
        if (item.equipped) {
            breaches.emplace_back("a floor item is flagged equipped");
        }
    }
}

}  // namespace

std::vector<std::string> invariantBreaches(const Game& game) {
    std::vector<std::string> breaches;
    checkBag(game, breaches);
    checkLevel(game, breaches);
    for (const Item& item : game.itemCatalog.items) {
        if (item.equipped) {
            breaches.emplace_back("a catalog entry is flagged equipped");
        }
    }
    return breaches;
}

}  // namespace orbalune
