#include "platform/saved_games/save_format.hpp"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace orbalune::testing {
namespace {

// The header is written for people too: they read it with head and make files with printf.
TEST(SaveFormat, HeaderIsTheDocumentedText) {
    EXPECT_EQ(saveHeader(42), "file orbalune saved game\nformat 1\nrules 1\nseed 42\n\n");
}

TEST(SaveFormat, EverySeedAndEveryByteOfKeysReadsBack) {
    std::string everyByte;
    for (int byte = 0; byte < 256; ++byte) {
        everyByte += static_cast<char>(byte);
    }
    for (const SavedGame& game :
         {SavedGame{0, ""}, SavedGame{42, "ven\n\naa"}, SavedGame{4294967295U, everyByte}}) {
        EXPECT_EQ(parseSavedGame(saveHeader(game.seed) + game.keys), game);
    }
    EXPECT_EQ(parseSavedGame("file orbalune saved game\nseed 7\nrules 1\nformat 1\n\nab"),
              (SavedGame{7, "ab"}))
        << "fields in any order";
}

TEST(SaveFormat, RefusesWhatIsNotAWholeSavedGameOfTheseRules) {
    const std::string file = "file orbalune saved game\n";
    const std::vector<std::pair<std::string, std::string>> refused = {
        {"", "empty file, not a saved game (remove it, or choose another name)"},
        {"# orbalune\nA text role-playing game\n", "not an orbalune saved game"},
        {"file orbalune saved games\n", "not an orbalune saved game"},
        {"file orbal", "truncated header"},
        {file + "format 1\nrules 1\nse", "truncated header"},
        {file + "format 1\nrules 1\nseed 42\n", "truncated header"},
        {file + std::string(300, 'x') + "\n\n", "damaged header: it does not end"},
        {file + "\n", "damaged header: no format"},
        {file + "format 1\nrules 1\n\n", "damaged header: no seed"},
        {file + "format 1\nrules 1\nseed\n\n", "damaged header: line 'seed' has no value"},
        {file + "format 1\nrules 1\nseed 4294967296\n\n",
         "damaged header: seed '4294967296' is not a number"},
        {file + "format 1\nrules 1\nseed 1\nseed 2\n\n", "damaged header: seed given twice"},
        {file + "format 1\nrules 1\nseed 1\ncolour blue\n\n",
         "damaged header: unknown field 'colour'"},
        {file + "format 1\r\nrules 1\nseed 1\n\n", "damaged header: format '1^M' is not a number"},
        // A stranger's bytes are shown as text, a NUL and an escape sequence among them.
        {file + "format 1\nrules 1\nseed 4" + std::string(1, '\0') + "2\x1b[2J\n\n",
         "damaged header: seed '4^@2^[[2J' is not a number"},
        {file + "format 2\nrules 1\nseed 1\nlevel 5\n\n",
         "saved in format version 2, but this orbalune reads format version 1"},
        {file + "format 1\nrules 9\nseed 1\n\n",
         "saved under rules version 9, but this orbalune plays rules version 1"},
    };
    for (const auto& [bytes, reason] : refused) {
        try {
            parseSavedGame(bytes);
            ADD_FAILURE() << "accepted: " << bytes;
        } catch (const SaveFileError& error) {
            EXPECT_EQ(error.reason, reason) << bytes;
        }
    }
}

}  // namespace
}  // namespace orbalune::testing
