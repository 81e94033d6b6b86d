#include "dungeon/monster_catalog.hpp"

#include <gtest/gtest.h>

#include "items/item_catalog.hpp"

namespace orbalune {
namespace {

TEST(MonsterCatalog, WalksInItsOwnOrderAndFindsByCode) {
    const MonsterCatalog catalog = MonsterCatalog::build();
    std::string order;
    for (const MonsterKind& kind : catalog.kinds) {
        order += kind.code + " ";
        EXPECT_EQ(&catalog.find(kind.code), &kind);
    }
    EXPECT_EQ(order, "ZAR YUL MIR FEN VOR BUR GRU OSK HOP ");
}

TEST(MonsterCatalog, KindsCarryTheirNumbers) {
    const MonsterCatalog catalog = MonsterCatalog::build();
    const MonsterKind& fennik = catalog.find("FEN");
    EXPECT_EQ(fennik.name, "Fennik");
    EXPECT_EQ(fennik.minHP, 1);
    EXPECT_EQ(fennik.maxHP, 1);
    EXPECT_EQ(fennik.minDamage, 1);
    EXPECT_EQ(fennik.maxDamage, 1);
    EXPECT_EQ(fennik.defense, 0);
    EXPECT_EQ(fennik.minMokels, 0);
    EXPECT_EQ(fennik.accuracy, 60);
    EXPECT_EQ(fennik.encounterChance, 80);
    const MonsterKind& hopsel = catalog.find("HOP");
    EXPECT_EQ(hopsel.minGroup, 2);
    EXPECT_EQ(hopsel.maxGroup, 3);
    EXPECT_DOUBLE_EQ(hopsel.speed, 1.7);
    const MonsterKind& zarkhul = catalog.find("ZAR");
    EXPECT_EQ(zarkhul.level, 5);
    EXPECT_EQ(zarkhul.experience, 30);
    EXPECT_EQ(zarkhul.maxMokels, 30);
}

TEST(MonsterCatalog, DropTablesNameRealItemsInOrder) {
    const MonsterCatalog catalog = MonsterCatalog::build();
    const ItemCatalog items = ItemCatalog::build();
    std::string sizes;
    for (const MonsterKind& kind : catalog.kinds) {
        sizes += std::to_string(kind.drops.size());
        for (const MonsterDrop& drop : kind.drops) {
            EXPECT_NO_THROW((void)items.findItem(drop.itemCode)) << kind.code;
        }
    }
    EXPECT_EQ(sizes, "433322443");
    const std::vector<MonsterDrop>& grunak = catalog.find("GRU").drops;
    EXPECT_EQ(grunak[0].itemCode, "SW");
    EXPECT_EQ(grunak[0].chance, 3);
    EXPECT_EQ(grunak[3].itemCode, "BTU");
    EXPECT_EQ(grunak[3].chance, 1);
}

}  // namespace
}  // namespace orbalune
