#include <array>
#include <ostream>

#include "game/depth_curve.hpp"
#include "game/game.hpp"
#include "game/saturating.hpp"

namespace orbalune {

namespace {
// Treasures are never sold, and items of no value never bought back; both keep their letters.
bool isForSale(const Item& item) {
    return item.category != ItemCategory::Treasure;
}
bool canBeSold(const Item& item) {
    return item.price > 0;
}

constexpr std::array<Choice, 2> kSides = {{{'a', "Buy"}, {'b', "Sell"}}};
}  // namespace

bool Game::visitStore() {
    out() << "\nWelcome to my store!\n\n";
    out() << "(a) Buy  (b) Sell\n";
    // The only way out of here is to choose a side.
    for (;;) {
        switch (readChar(Question::Kind::Store, kSides)) {
            case 'a':
            case 'A':
                return buy();
            case 'b':
            case 'B':
                return sell();
            default:
                break;
        }
    }
}

bool Game::buy() {
    if (bagIsFull()) {
        out() << "\nSorry pal, your bag is full. I can't sell you anything.\n";
        return true;
    }
    const std::vector<Item>& stock = itemCatalog.items;
    writeLetteredList(out(), stock, isForSale);
    writeCancelLine(out(), stock.size());
    out() << '\n';
    out() << "Your mokels: " << player.mokels << "\n\n";
    out() << "Which item would you like? ";

    const long slot =
        slotOfLetter(readChar(Question::Kind::Buy, itemChoices(stock, isForSale)), stock.size());
    if (slot < 0) {
        return false;
    }
    const Item& wanted = stock[static_cast<std::size_t>(slot)];
    if (!isForSale(wanted)) {
        return false;
    }
    if (player.mokels < wanted.price) {
        out() << "\nSorry, pal.  You don't have the mokels for that.\n";
        return true;
    }
    player.mokels -= wanted.price;
    addToBag(wanted);
    return true;
}

bool Game::sell() {
    const double sellPercent = sellPercentFor(dungeonNumber);
    out() << "\nI'll only buy back your items at " << static_cast<std::int32_t>(sellPercent)
          << "% their original price.\n\n";
    writeLetteredList(out(), bag, canBeSold);
    writeCancelLine(out(), bag.size());
    out() << '\n';
    out() << "Your mokels: " << player.mokels << "\n\n";
    out() << "Which do you want to sell? \n==>";

    const long chosen =
        slotOfLetter(readChar(Question::Kind::Sell, itemChoices(bag, canBeSold)), bag.size());
    if (chosen < 0) {
        return false;
    }
    const auto slot = static_cast<std::size_t>(chosen);
    Item& item = bag[slot];
    if (!canBeSold(item)) {
        return false;
    }
    item.equipped = false;
    const std::int32_t amount = buyBackAmount(item.price, sellPercent);
    out() << "\nHere are " << amount << " mokels for you!\n";
    removeFromBag(slot);
    player.mokels = saturatingAdd(player.mokels, amount);
    return true;
}

}  // namespace orbalune
