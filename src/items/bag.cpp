#include <ostream>

#include "game/game.hpp"
#include "game/saturating.hpp"

namespace orbalune {

void Game::addToBag(Item item) {
    bag.push_back(std::move(item));
    refreshEquipped();
}

void Game::removeFromBag(std::size_t slot) {
    bag.erase(bag.begin() + static_cast<std::ptrdiff_t>(slot));
    refreshEquipped();
    computeArmorClass();
}

void Game::refreshEquipped() {
    equippedWeapon.reset();
    equippedTunic.reset();
    equippedShield.reset();
    for (std::size_t slot = 0; slot < bag.size(); ++slot) {
        if (!bag[slot].equipped) {
            continue;
        }
        switch (bag[slot].category) {
            case ItemCategory::Weapon:
                equippedWeapon = slot;
                break;
            case ItemCategory::Tunic:
                equippedTunic = slot;
                break;
            default:
                equippedShield = slot;
                break;
        }
    }
}

void Game::computeArmorClass() {
    player.armorClass = 0;
    if (const Item* tunic = equippedItem(equippedTunic)) {
        player.armorClass += tunic->armorClass;
    }
    if (const Item* shield = equippedItem(equippedShield)) {
        player.armorClass += shield->armorClass;
    }
}

namespace {
// Moves the equipped mark of one kind of equipment to `slot`.
void equip(Bag& bag, EquippedSlot& reference, std::size_t slot) {
    if (reference) {
        bag[*reference].equipped = false;
    }
    reference = slot;
    bag[slot].equipped = true;
}
}  // namespace

void Game::useItem(std::size_t slot) {
    if (slot >= bag.size()) {
        throw FatalError{"Unable to use.\n"};
    }
    Item& item = bag[slot];
    switch (item.category) {
        case ItemCategory::Weapon:
            equip(bag, equippedWeapon, slot);
            return;
        case ItemCategory::Tunic:
            equip(bag, equippedTunic, slot);
            computeArmorClass();
            return;
        case ItemCategory::Shield:
            equip(bag, equippedShield, slot);
            computeArmorClass();
            return;
        default:
            break;
    }
    // The recall potion is known by its code, ahead of the healing consumables.
    if (item.code == kRecallPotionCode) {
        if (inDungeon == 1) {
            removeFromBag(slot);
            leaveDungeon();
        } else {
            out() << "\nYou are not in a dungeon!\n";
        }
        return;
    }
    if (item.category == ItemCategory::Consumable) {
        // Drawn before the test, so a refused heal still uses up its random number.
        const std::int32_t amount = random.randomInRange(item.minHeal, item.maxHeal);
        if (player.hp == player.maxHp) {
            out() << "\nYou don't need to use this!\n";
            return;
        }
        player.hp = saturatingAdd(player.hp, amount);
        out() << "\nYou used the " << item.name << " and gained " << amount << " HP.\n";
        removeFromBag(slot);
        return;
    }
    if (item.category == ItemCategory::Treasure) {
        out() << "\nYou can't use that.\n";
    }
}

void Game::useMenu() {
    if (bag.empty()) {
        out() << "You have nothing to use.\n";
        return;
    }
    writeLetteredList(out(), bag);
    writeCancelLine(out(), bag.size());
    out() << "Which? ";
    const long slot = slotOfLetter(readChar(Question::Kind::Use, itemChoices(bag)), bag.size());
    if (slot >= 0) {
        useItem(static_cast<std::size_t>(slot));
    }
}

}  // namespace orbalune
