#include "game/rules_version.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <sstream>
#include <string>

#include "support/digest.hpp"
#include "support/test_data.hpp"

namespace orbalune::testing {
namespace {

std::string digestOf(const std::string& bytes) {
    Digest digest;
    digest.addBytes(bytes);
    return digest.hex();
}

// Saved games replay under their rules version only. The golden game's digest is recorded with
// each version, so that a change that makes the game play differently, and so changes the golden
// game, cannot keep the version that old saves were made under.
TEST(RulesVersion, IsRaisedWheneverTheGoldenGameChanges) {
    std::istringstream history(readTestData("rules-versions"));
    std::set<std::string> digests;
    std::int32_t lastVersion = 0;
    std::string lastDigest;
    for (std::string line; std::getline(history, line);) {
        if (line.empty() || line[0] == '#') {
            continue;
        }
        std::istringstream fields(line);
        std::int32_t version = 0;
        fields >> version >> lastDigest;
        EXPECT_EQ(version, lastVersion + 1) << "versions follow each other: " << line;
        EXPECT_TRUE(digests.insert(lastDigest).second) << "a digest is never reused: " << line;
        lastVersion = version;
    }
    EXPECT_EQ(lastVersion, kRulesVersion) << "tests/data/rules-versions ends with this version";
    EXPECT_EQ(lastDigest, digestOf(readTestData("golden.expected")))
        << "The golden game changed: the game plays differently from the same seed and keys. "
           "Raise kRulesVersion and add a line for it to tests/data/rules-versions.";
}

}  // namespace
}  // namespace orbalune::testing
