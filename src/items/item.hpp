#pragma once

#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <span>
#include <string>

namespace orbalune {

using ItemCode = std::string;

enum class ItemCategory : std::int32_t {
    Weapon = 0,
    Tunic = 1,
    Shield = 2,
    Consumable = 3,
    Treasure = 4
};

// One item, always held by value: the bag, the floor and a fight's loot keep their own copies.
struct Item {
    ItemCode code;
    std::string name;
    ItemCategory category = ItemCategory::Treasure;
    std::int32_t minDamage = 0;
    std::int32_t maxDamage = 0;
    std::int32_t armorClass = 0;
    std::int32_t price = 0;  // 0: no value, never shown for sale nor bought back
    bool equipped = false;
    std::int32_t bonus = 0;  // weapon: extra damage and spin chance; armour: hit reduction
    std::int32_t minHeal = 0;
    std::int32_t maxHeal = 0;
    std::string description;
};

// Codes with behaviour of their own beyond their category.
inline const ItemCode kOrbaluneCode = "MC";
inline const ItemCode kRecallPotionCode = "RP";
inline const ItemCode kBareHandsCode = "BAR";

// Writes the one-line form that every item list shows, without a line end.
std::ostream& itemLine(std::ostream& out, const Item& item);

// Writes one line "(letter) item line" for each item that `shown` accepts (all when it is
// none); an item left out keeps its letter, so the letters always name the same slots.
void writeLetteredList(std::ostream& out, std::span<const Item> items,
                       bool (*shown)(const Item&) = nullptr);

// Writes the cancel line that closes a lettered list of `count` slots.
void writeCancelLine(std::ostream& out, std::size_t count);

// The letter that names slot `slot` of any lettered list; past 'z' it runs on through the
// following character codes.
inline char slotLetter(std::size_t slot) {
    return static_cast<char>('a' + slot);
}

// The slot a typed letter names in a list of `count` slots, or -1 when it names none (upper
// case, digits, the cancel letter and anything beyond it).
inline long slotOfLetter(char letter, std::size_t count) {
    const auto code = static_cast<unsigned char>(letter);
    if (code < 'a' || code >= 'a' + count) {
        return -1;
    }
    return code - 'a';
}

}  // namespace orbalune
