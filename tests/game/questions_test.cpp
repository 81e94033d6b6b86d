#include <gtest/gtest.h>

#include <array>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "game/game.hpp"
#include "support/game_fixture.hpp"
#include "support/test_data.hpp"

namespace orbalune::testing {
namespace {

constexpr std::array<const char*, 9> kKindNames = {"town", "dungeon", "fight", "store",  "buy",
                                                   "sell", "use",     "drop",  "pick up"};

// "kind: key words, key words", as a platform that shows the choices hears them.
std::string describe(const Question& question) {
    std::string text = kKindNames.at(static_cast<std::size_t>(question.kind));
    text += ':';
    for (const Choice& choice : question.choices) {
        text += &choice == question.choices.data() ? " " : ", ";
        text += choice.key;
        text += ' ';
        text += choice.words;
    }
    return text;
}

// A game that tells each question it asks, as the web page's console hears them.
struct Asked {
    std::istringstream in;
    std::ostringstream out;
    std::vector<std::string> questions;
    Game game;

    explicit Asked(std::uint32_t seed)
        : game(Console{in, out, {}, seed, [this](const Question& question) {
                           questions.push_back(describe(question));
                       }}) {}

    std::vector<std::string> play(const std::string& keys) {
        in.str(keys);
        in.clear();
        game.run();
        return std::exchange(questions, {});
    }
};

const std::string kCommon = "I Inventory, D Drop, U Use/Equip, V View Stats";
const std::string kTown =
    "town: E Enter the dungeon, B Buy/Sell items, G Get resurrected, " + kCommon;
const std::string kFight = "fight: a Attack, b Use Item, c Run";
const std::string kStock =
    "buy: a bare hands, b sword, c white sword, d magical sword, e green tunic, f blue tunic, "
    "g red tunic, h wooden shield, i magical shield, j heart, k green potion, l recall potion, "
    "q cancel";

// Seed 191: into the dungeon, east into a fight won by four attacks, which leaves a recall potion
// on the floor; got and used, it warps the player to town, where the store sells bare hands for
// nothing (treasures are not for sale, but keep their letters) and buys back only what has a
// value. Every question, with the keys it acts on, in the order asked; the last is the read
// that found no key.
TEST(Questions, EachReadTellsItsQuestionAndTheKeysThatAct) {
    Asked asked(191);
    const std::vector<std::string> expected = {
        kTown,
        "dungeon: A Ascend, N North, S South, W West, E East, " + kCommon,
        kFight,
        kFight,
        kFight,
        kFight,
        "dungeon: N North, S South, W West, G Get, " + kCommon,
        "dungeon: N North, S South, W West, " + kCommon,
        "use: a green tunic, b bare hands, c recall potion, d cancel",
        kTown,
        "store: a Buy, b Sell",
        kStock,
        kTown,
        "store: a Buy, b Sell",
        "sell: a green tunic, d cancel",
        kTown,
        "drop: a green tunic, b bare hands, c bare hands, d cancel",
        kTown,
    };
    EXPECT_EQ(asked.play("EEaaaaGUcBaaBbqDb"), expected);
}

// Two items on the floor: the list asks which, and the letter after the last cancels although
// no line says so.
TEST(Questions, APickUpListOffersTheLetterThatCancels) {
    Asked asked(1);
    useHandMadeLevel(asked.game, {"^."});
    asked.game.dungeon.putItem(0, 0, asked.game.itemCatalog.findItem("HE"));
    asked.game.dungeon.putItem(0, 0, asked.game.itemCatalog.findItem("SW"));
    const std::vector<std::string> questions = asked.play("gc");
    ASSERT_EQ(questions.size(), 3U);
    EXPECT_EQ(questions[1], "pick up: a heart, b sword, c cancel");
    EXPECT_EQ(asked.game.dungeon.itemsUnderPlayer().size(), 2U);
}

// Whoever listens, the game says and draws exactly what it does unheard.
TEST(Questions, AskingChangesNothingOfTheGame) {
    const std::string keys = readTestData("golden.keys");
    Asked asked(19);
    EXPECT_GT(asked.play(keys).size(), keys.size() / 2);
    Session unheard(19);
    unheard.play(keys);
    EXPECT_TRUE(asked.out.str() == unheard.takeOutput()) << "the golden game, heard, differs";
}

}  // namespace
}  // namespace orbalune::testing
