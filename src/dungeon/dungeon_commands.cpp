#include <ostream>

#include "game/game.hpp"

namespace orbalune {

void Game::enterDungeon() {
    if (regenerateLevel) {
        dungeon.generateLevel(dungeonNumber, random, itemCatalog);
        regenerateLevel = false;
    }
    inDungeon = 1;
    dungeon.playerCol = dungeon.stairsCol;
    dungeon.playerRow = dungeon.stairsRow;
}

bool Game::pickUp() {
    if (bagIsFull()) {
        out() << "\nYour bag is full!\n";
        return true;
    }
    const std::span<const Item> items = dungeon.itemsUnderPlayer();
    std::size_t chosen = 0;
    if (items.size() > 1) {
        writeLetteredList(out(), items);  // no cancel line here: any other letter cancels
        out() << "Which? ";
        const long position =
            slotOfLetter(readChar(Question::Kind::PickUp, itemChoices(items)), items.size());
        if (position < 0) {
            return false;
        }
        chosen = static_cast<std::size_t>(position);
    }
    addToBag(dungeon.takeItem(dungeon.playerRow, dungeon.playerCol, chosen));
    return true;
}

}  // namespace orbalune
