#include "items/item.hpp"

#include <ostream>

namespace orbalune {

std::ostream& itemLine(std::ostream& out, const Item& item) {
    out << item.name;
    if (item.bonus > 0) {
        out << "+ " << item.bonus;
    }
    if (item.category == ItemCategory::Weapon) {
        out << "  Dam: " << item.minDamage << '-' << item.maxDamage;
    } else if (item.category == ItemCategory::Tunic || item.category == ItemCategory::Shield) {
        out << "  AC: " << item.armorClass;
    }
    if (item.price > 0) {
        out << "  Value: " << item.price;
    }
    if (item.equipped) {
        out << "  (Equipped)";
    }
    if (!item.description.empty()) {
        out << "  (" << item.description << ')';
    }
    return out;
}

void writeLetteredList(std::ostream& out, std::span<const Item> items, bool (*shown)(const Item&)) {
    for (std::size_t slot = 0; slot < items.size(); ++slot) {
        if (shown == nullptr || shown(items[slot])) {
            itemLine(out << '(' << slotLetter(slot) << ") ", items[slot]) << '\n';
        }
    }
}

void writeCancelLine(std::ostream& out, std::size_t count) {
    out << '(' << slotLetter(count) << ") cancel\n";
}

}  // namespace orbalune
