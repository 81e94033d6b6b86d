#include "items/item_catalog.hpp"

#include "game/console.hpp"

namespace orbalune {

namespace {

// One row of the item table, in the order the values are given to an item.
struct ItemRow {
    const char* code;
    const char* name;
    const char* description;
    ItemCategory category;
    std::int32_t minDamage;
    std::int32_t maxDamage;
    std::int32_t minHeal;
    std::int32_t maxHeal;
    std::int32_t armorClass;
    std::int32_t price;
    std::int32_t bonus;
};

using enum ItemCategory;

constexpr ItemRow kItemTable[] = {
    {"BAR", "bare hands", "", Weapon, 1, 2, 0, 0, 0, 0, 1},
    {"SW", "sword", "", Weapon, 1, 4, 0, 0, 0, 100, 2},
    {"WSW", "white sword", "", Weapon, 3, 6, 0, 0, 0, 200, 4},
    {"MSW", "magical sword", "", Weapon, 5, 8, 0, 0, 0, 400, 8},
    {"GTU", "green tunic", "", Tunic, 0, 0, 0, 0, 3, 100, 1},
    {"BTU", "blue tunic", "", Tunic, 0, 0, 0, 0, 6, 200, 2},
    {"RTU", "red tunic", "", Tunic, 0, 0, 0, 0, 9, 400, 4},
    {"WSH", "wooden shield", "", Shield, 0, 0, 0, 0, 2, 50, 2},
    {"MSH", "magical shield", "", Shield, 0, 0, 0, 0, 4, 150, 6},
    {"HE", "heart", "+10HP", Consumable, 0, 0, 9, 11, 0, 10, 0},
    {"GP", "green potion", "+20HP", Consumable, 0, 0, 19, 21, 0, 50, 0},
    {"RP", "recall potion", "warp out of dungeon", Consumable, 0, 0, 0, 0, 0, 70, 0},
    {"MC", "Orbalune", "", Treasure, 0, 0, 0, 0, 0, 0, 0},
    {"GF", "golden feather", "", Treasure, 0, 0, 0, 0, 0, 100, 0},
    {"SS", "silver statue", "", Treasure, 0, 0, 0, 0, 0, 200, 0},
    {"EC", "emerald crown", "", Treasure, 0, 0, 0, 0, 0, 300, 0},
};

Item makeItem(const ItemRow& row) {
    Item item;
    item.code = row.code;
    item.name = row.name;
    item.description = row.description;
    item.category = row.category;
    item.minDamage = row.minDamage;
    item.maxDamage = row.maxDamage;
    item.minHeal = row.minHeal;
    item.maxHeal = row.maxHeal;
    item.armorClass = row.armorClass;
    item.price = row.price;
    item.bonus = row.bonus;
    return item;
}

}  // namespace

ItemCatalog ItemCatalog::build() {
    ItemCatalog catalog;
    for (const ItemRow& row : kItemTable) {
        catalog.items.push_back(makeItem(row));
    }
    return catalog;
}

Item ItemCatalog::findItem(const ItemCode& code) const {
    for (const Item& item : items) {
        if (item.code == code) {
            return item;
        }
    }
    throw FatalError{"Item Not Found!\n"};
}

}  // namespace orbalune
