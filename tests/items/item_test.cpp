#include "items/item.hpp"

#include <gtest/gtest.h>

#include <sstream>

#include "game/console.hpp"
#include "items/item_catalog.hpp"

namespace orbalune {
namespace {

std::string lineOf(const Item& item) {
    std::ostringstream out;
    itemLine(out, item);
    return out.str();
}

TEST(ItemCatalog, HoldsTheSixteenKindsInShelfOrder) {
    const ItemCatalog catalog = ItemCatalog::build();
    std::string codes;
    for (const Item& item : catalog.items) {
        codes += item.code + " ";
        EXPECT_FALSE(item.equipped);
    }
    EXPECT_EQ(codes, "BAR SW WSW MSW GTU BTU RTU WSH MSH HE GP RP MC GF SS EC ");
}

TEST(ItemCatalog, FindItemCopiesByExactCode) {
    ItemCatalog catalog = ItemCatalog::build();
    Item tunic = catalog.findItem("GTU");
    EXPECT_EQ(tunic.name, "green tunic");
    EXPECT_EQ(tunic.category, ItemCategory::Tunic);
    EXPECT_EQ(tunic.armorClass, 3);
    EXPECT_EQ(tunic.price, 100);
    EXPECT_EQ(tunic.bonus, 1);
    EXPECT_FALSE(tunic.equipped);
    tunic.equipped = true;
    EXPECT_FALSE(catalog.findItem("GTU").equipped) << "copies never touch the catalog";
}

TEST(ItemCatalog, MissingCodesAreAConsistencyError) {
    const ItemCatalog catalog = ItemCatalog::build();
    for (const char* missing : {"gtu", "GT", "G", "", "GTUX", " GTU"}) {
        try {
            (void)catalog.findItem(missing);
            ADD_FAILURE() << "found " << missing;
        } catch (const FatalError& error) {
            EXPECT_STREQ(error.message, "Item Not Found!\n");
        }
    }
}

TEST(ItemLine, ShowsEachPartOnlyWhereItApplies) {
    const ItemCatalog catalog = ItemCatalog::build();
    EXPECT_EQ(lineOf(catalog.findItem("SW")), "sword+ 2  Dam: 1-4  Value: 100");
    EXPECT_EQ(lineOf(catalog.findItem("HE")), "heart  Value: 10  (+10HP)");
    EXPECT_EQ(lineOf(catalog.findItem("MC")), "Orbalune");
    EXPECT_EQ(lineOf(catalog.findItem("MSH")), "magical shield+ 6  AC: 4  Value: 150");
    EXPECT_EQ(lineOf(catalog.findItem("RP")), "recall potion  Value: 70  (warp out of dungeon)");
    EXPECT_EQ(lineOf(catalog.findItem("EC")), "emerald crown  Value: 300");

    Item hands = catalog.findItem("BAR");
    hands.equipped = true;
    EXPECT_EQ(lineOf(hands), "bare hands+ 1  Dam: 1-2  (Equipped)");

    // The equipped mark comes after the value and before the description.
    Item potion = catalog.findItem("GP");
    potion.equipped = true;
    EXPECT_EQ(lineOf(potion), "green potion  Value: 50  (Equipped)  (+20HP)");
}

TEST(ItemLetters, RunOnPastZAndRefuseAnythingOutsideTheList) {
    EXPECT_EQ(slotLetter(0), 'a');
    EXPECT_EQ(slotLetter(26), '{');
    EXPECT_EQ(slotOfLetter('a', 3), 0);
    EXPECT_EQ(slotOfLetter('c', 3), 2);
    EXPECT_EQ(slotOfLetter('d', 3), -1);
    EXPECT_EQ(slotOfLetter('A', 3), -1);
    EXPECT_EQ(slotOfLetter('1', 3), -1);
    EXPECT_EQ(slotOfLetter('{', 27), 26);
    EXPECT_EQ(slotOfLetter(static_cast<char>(0xE1), 3), -1);
}

}  // namespace
}  // namespace orbalune
