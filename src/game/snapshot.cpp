// The whole game between two commands as bytes, and back. Items are written as their catalog
// entry and whether they are worn (no rule changes an item's values once it is copied), the tiles
// four to a byte. The equipped references are derived again from the bag, as after every change.
#include <algorithm>
#include <limits>

#include "game/game.hpp"
#include "game/rules_version.hpp"
#include "game/snapshot_bytes.hpp"

namespace orbalune {

namespace {

constexpr std::uint32_t kSnapshotMagic = 0x4E534C4F;  // "OLSN"
constexpr std::uint32_t kSnapshotFormat = 1;

// Beyond these no game goes, and a damaged snapshot's values could overflow the rules' sums.
constexpr std::int32_t kMostLevel = (std::numeric_limits<std::int32_t>::max() - 4) / 2;
constexpr std::int32_t kMostDungeon = 1 << 24;
constexpr std::size_t kMostBagItems = 1 << 16;
constexpr std::uint8_t kMostTile = static_cast<std::uint8_t>(Tile::Floor);
constexpr std::size_t kTilesPerByte = 4;

void writeItem(SnapshotWriter& out, const ItemCatalog& catalog, const Item& item) {
    const auto entry = std::find_if(catalog.items.begin(), catalog.items.end(),
                                    [&](const Item& known) { return known.code == item.code; });
    out.u8(static_cast<std::uint8_t>(entry - catalog.items.begin()));
    out.u8(item.equipped ? 1 : 0);
}

bool readItem(SnapshotReader& in, const ItemCatalog& catalog, Item& item) {
    const std::size_t entry = in.u8();
    const std::uint8_t equipped = in.u8();
    if (!in.ok() || entry >= catalog.items.size() || equipped > 1) {
        return false;
    }
    item = catalog.items[entry];
    item.equipped = equipped == 1;
    return true;
}

void writePlayer(SnapshotWriter& out, const Player& player) {
    out.i64(player.xp);
    out.i64(player.nextLevelXp);
    for (const std::int32_t value : {player.level, player.mokels, player.hp, player.maxHp,
                                     player.armorClass, player.resurrectionFee, player.turnDelay}) {
        out.i32(value);
    }
}

bool readPlayer(SnapshotReader& in, Player& player) {
    player.xp = in.i64();
    player.nextLevelXp = in.i64();
    for (std::int32_t* value : {&player.level, &player.mokels, &player.hp, &player.maxHp,
                                &player.armorClass, &player.resurrectionFee, &player.turnDelay}) {
        *value = in.i32();
    }
    return in.ok() && player.level >= 1 && player.level <= kMostLevel && player.turnDelay >= 0;
}

void writeLevel(SnapshotWriter& out, const ItemCatalog& catalog, const DungeonLevel& level) {
    for (const std::int32_t value :
         {level.height, level.width, level.stairsCol, level.stairsRow, level.orbaluneCol,
          level.orbaluneRow, level.playerCol, level.playerRow, level.dungeonNumber,
          level.monsterTurnDelay}) {
        out.i32(value);
    }
    for (std::size_t first = 0; first < level.tiles.size(); first += kTilesPerByte) {
        std::uint8_t packed = 0;
        const std::size_t last = std::min(level.tiles.size(), first + kTilesPerByte);
        for (std::size_t tile = first; tile < last; ++tile) {
            packed |= static_cast<std::uint8_t>(static_cast<unsigned>(level.tiles[tile])
                                                << (2 * (tile - first)));
        }
        out.u8(packed);
    }
    const FloorItems& floor = level.floorItems;
    out.count(floor.items.size());
    std::size_t previous = 0;
    for (std::size_t item = 0; item < floor.items.size(); ++item) {
        out.count(floor.tiles[item] - previous);  // sorted: the gaps are small
        previous = floor.tiles[item];
        writeItem(out, catalog, floor.items[item]);
    }
}

bool readLevel(SnapshotReader& in, const ItemCatalog& catalog, DungeonLevel& level) {
    for (std::int32_t* value : {&level.height, &level.width, &level.stairsCol, &level.stairsRow,
                                &level.orbaluneCol, &level.orbaluneRow, &level.playerCol,
                                &level.playerRow, &level.dungeonNumber, &level.monsterTurnDelay}) {
        *value = in.i32();
    }
    if (!in.ok() || level.height < 0 || level.width < 0 || level.dungeonNumber < 0 ||
        level.dungeonNumber > kMostDungeon || level.monsterTurnDelay < 0) {
        return false;
    }
    const auto tileCount =
        static_cast<std::uint64_t>(level.height) * static_cast<std::uint64_t>(level.width);
    if (tileCount > in.left() * kTilesPerByte ||
        (tileCount > 0 && !(level.contains(level.stairsRow, level.stairsCol) &&
                            level.contains(level.playerRow, level.playerCol)))) {
        return false;
    }
    level.tiles.resize(static_cast<std::size_t>(tileCount));
    for (std::size_t first = 0; first < level.tiles.size(); first += kTilesPerByte) {
        const std::uint8_t packed = in.u8();
        const std::size_t last = std::min(level.tiles.size(), first + kTilesPerByte);
        for (std::size_t tile = first; tile < last; ++tile) {
            const auto value = static_cast<std::uint8_t>((packed >> (2 * (tile - first))) & 3U);
            if (value > kMostTile) {
                return false;
            }
            level.tiles[tile] = static_cast<Tile>(value);
        }
    }
    FloorItems& floor = level.floorItems;
    const std::size_t items = in.count(2);
    floor.clear();
    floor.tiles.reserve(items);
    floor.items.reserve(items);
    std::size_t tile = 0;
    for (std::size_t item = 0; item < items && in.ok(); ++item) {
        tile += in.count(0);
        floor.tiles.push_back(tile);
        floor.items.emplace_back();
        if (tile >= level.tiles.size() || !readItem(in, catalog, floor.items.back())) {
            return false;
        }
    }
    return in.ok();
}

}  // namespace

std::string Game::snapshot() const {
    SnapshotWriter out;
    out.u32(kSnapshotMagic);
    out.u32(kSnapshotFormat);
    out.i32(kRulesVersion);
    out.u32(random.state);
    writePlayer(out, player);
    out.i32(inDungeon);
    out.u8(regenerateLevel ? 1 : 0);
    out.i32(dungeonNumber);
    out.i32(pauseMs);
    out.count(bag.size());
    for (const Item& item : bag) {
        writeItem(out, itemCatalog, item);
    }
    writeLevel(out, itemCatalog, dungeon);
    return std::move(out.bytes);
}

bool Game::restore(std::string_view bytes) {
    SnapshotReader in(bytes);
    if (in.u32() != kSnapshotMagic || in.u32() != kSnapshotFormat || in.i32() != kRulesVersion) {
        return false;
    }
    // Read into a copy, so that a snapshot refused half-way leaves this game as it was.
    Random restoredRandom(in.u32());
    Player restoredPlayer = player;
    if (!readPlayer(in, restoredPlayer)) {
        return false;
    }
    const std::int32_t restoredInDungeon = in.i32();
    const std::uint8_t restoredRegenerate = in.u8();
    const std::int32_t restoredDungeonNumber = in.i32();
    const std::int32_t restoredPauseMs = in.i32();
    const std::size_t bagItems = in.count(2);
    if (!in.ok() || restoredInDungeon < 0 || restoredInDungeon > 1 || restoredRegenerate > 1 ||
        restoredDungeonNumber < 1 || restoredDungeonNumber > kMostDungeon || restoredPauseMs < 0 ||
        bagItems > kMostBagItems) {
        return false;
    }
    Bag restoredBag(bagItems);
    for (Item& item : restoredBag) {
        if (!readItem(in, itemCatalog, item)) {
            return false;
        }
    }
    DungeonLevel restoredLevel;
    if (!readLevel(in, itemCatalog, restoredLevel) || !in.done() ||
        (restoredInDungeon == 1 && restoredLevel.tiles.empty())) {
        return false;
    }
    random = restoredRandom;
    player = restoredPlayer;
    inDungeon = restoredInDungeon;
    regenerateLevel = restoredRegenerate == 1;
    dungeonNumber = restoredDungeonNumber;
    pauseMs = restoredPauseMs;
    bag = std::move(restoredBag);
    dungeon = std::move(restoredLevel);
    refreshEquipped();
    return true;
}

}  // namespace orbalune
