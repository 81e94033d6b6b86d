#pragma once

#include <vector>

#include "items/item.hpp"

namespace orbalune {

// The sixteen item kinds in their fixed order, which is also the store's shelf order.
struct ItemCatalog {
    std::vector<Item> items;

    static ItemCatalog build();

    // A copy of the entry with exactly this code; a missing code is a programming error.
    [[nodiscard]] Item findItem(const ItemCode& code) const;
};

}  // namespace orbalune
