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

}  // namespace orbalune
