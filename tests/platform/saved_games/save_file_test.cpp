#include "platform/saved_games/save_file.hpp"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/os/unique_fd.hpp"
#include "platform/programs/exit_status.hpp"
#include "platform/saved_games/save_creation.hpp"
#include "platform/saved_games/save_format.hpp"
#include "support/program_run.hpp"
#include "support/screens.hpp"

namespace orbalune::testing {
namespace {

// The longest name a directory takes is a name for a saved game too, and nothing is left beside
// it.
TEST(SaveFile, ANewGameStartsWithItsWholeHeaderAndKeepsEveryKeyItTook) {
    const TemporaryDirectory directory;
    const std::string name(255, 'g');
    const std::string path = directory.file(name);
    const ProgramRun run = runGame({"--save", path, "--seed", "42"}, "v\n  e x\n");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(readFile(path), saveHeader(42) + "vex") << "blanks skipped, refused keys kept";
    EXPECT_EQ(directory.names(), std::vector<std::string>{name}) << "no temporary left";
    EXPECT_EQ(std::filesystem::status(path).permissions() & std::filesystem::perms::owner_write,
              std::filesystem::perms::owner_write);
}

TEST(SaveFile, WithoutASeedANewGameTakesTheClocks) {
    const TemporaryDirectory directory;
    runGame({"--save=" + directory.file("a.game")}, "", 1234);
    EXPECT_EQ(readFile(directory.file("a.game")), saveHeader(1234));
}

// Each refusal: one line naming the file and the reason, status 2, the file as it was, and no
// file where there was none. Every way a header is wrong is the format's test; one stands here
// for them, with bytes a terminal would act on.
TEST(SaveFile, RefusesBadFilesLeavingThemAsTheyWere) {
    const TemporaryDirectory directory;
    const std::string game = saveHeader(5) + "ve";
    struct Case {
        std::string name;
        std::string contents;  // empty: no such file
        std::vector<std::string> extra;
        std::string reason;
    };
    const std::vector<Case> cases = {
        {"no-such-directory/my.game", "", {}, "cannot create: No such file or directory"},
        {"empty.game", "", {}, "empty file, not a saved game (remove it, or choose another name)"},
        {"odd.game",
         "file orbalune saved game\nformat 1\nrules 1\nseed \x1b]0;x\a\x1b[2J\n\n",
         {},
         "damaged header: seed '^[]0;x^G^[[2J' is not a number"},
        {"seeded.game",
         game,
         {"--seed", "9"},
         "a saved game has its own seed; --seed is for a new game"},
    };
    for (const Case& bad : cases) {
        const std::string path = directory.file(bad.name);
        const bool exists = bad.name != "no-such-directory/my.game";
        if (exists) {
            writeFile(path, bad.contents);
        }
        std::vector<std::string> words = {"--save", path};
        words.insert(words.end(), bad.extra.begin(), bad.extra.end());
        const ProgramRun run = runGame(words, "vvv");
        EXPECT_EQ(run.status, kExitUsage) << bad.name;
        EXPECT_EQ(run.err, "orbalune: " + path + ": " + bad.reason + "\n");
        EXPECT_EQ(run.out, "") << bad.name;
        EXPECT_EQ(std::filesystem::exists(path), exists) << bad.name;
        if (exists) {
            EXPECT_EQ(readFile(path), bad.contents) << bad.name;
        }
    }
}

TEST(SaveFile, RefusesWhatIsNotAFile) {
    const TemporaryDirectory directory;
    const std::string fifo = directory.file("pipe");
    const std::string link = directory.file("link");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    ASSERT_EQ(::symlink("gone.game", link.c_str()), 0);
    for (const auto& [path, reason] :
         {std::pair{directory.file(""), "is a directory"}, std::pair{fifo, "not a regular file"},
          std::pair{link, "is a broken symbolic link"}}) {
        const ProgramRun run = runGame({"--save", path}, "v");
        EXPECT_EQ(run.status, kExitUsage);
        EXPECT_EQ(run.err, "orbalune: " + path + ": " + reason + "\n");
    }
    EXPECT_EQ(directory.names(), (std::vector<std::string>{"link", "pipe"}));
}

// Keys are read a window at a time, however many a file seems to hold: a stranger's sparse file
// of a gigabyte costs no more memory than a short game. A file that grows is seen to; one cut
// short under a reader is said to be.
TEST(SaveFile, KeysAreReadAWindowAtATime) {
    const TemporaryDirectory directory;
    const std::string path = directory.file("sparse.game");
    writeFile(path, saveHeader(1) + "ve");
    const std::size_t gigabyte = std::size_t{1} << 30;
    ASSERT_EQ(::truncate(path.c_str(), static_cast<off_t>(saveHeader(1).size() + gigabyte)), 0);
    const SaveReader reader = openSaveReader(path);
    SavedKeys keys = reader.keys();
    ASSERT_EQ(keys.size(), gigabyte);
    EXPECT_EQ(keys.piece(0).substr(0, 3), std::string_view("ve\0", 3));
    EXPECT_LE(keys.piece(0).size(), std::size_t{1} << 16);
    EXPECT_EQ(keys.piece(gigabyte - 1), std::string_view("\0", 1));
    EXPECT_EQ(keys[1], 'e');

    EXPECT_FALSE(keys.grow());
    std::ofstream(path, std::ios::app) << 'n';
    EXPECT_TRUE(keys.grow());
    EXPECT_EQ(keys[gigabyte], 'n');
    ASSERT_EQ(::truncate(path.c_str(), static_cast<off_t>(saveHeader(1).size() + 2)), 0);
    EXPECT_EQ(keys[0], 'v');
    EXPECT_THROW(keys[gigabyte / 2], SaveFileError);
}

// flock locks belong to an open file, so a second opening in this process is refused as a
// second game would be.
TEST(SaveFile, OneGameAFile) {
    const TemporaryDirectory directory;
    const std::string path = directory.file("my.game");
    SaveFile first = openSaveFile(path, 8);
    const ProgramRun second = runGame({"--save", path}, "e");
    EXPECT_EQ(second.status, kExitUsage);
    EXPECT_EQ(second.err, "orbalune: " + path +
                              ": locked by another process, perhaps another game playing it\n");
    EXPECT_EQ(readFile(path), saveHeader(8));
    ASSERT_TRUE(first.appendKey('v'));
    EXPECT_EQ(readFile(path), saveHeader(8) + "v");
}

// Anyone who can read a file can hold its lock; the owner is told so, not that a game plays it.
TEST(SaveFile, ALockHeldByAReaderIsSaidToBeOne) {
    const TemporaryDirectory directory;
    const std::string path = directory.file("shared.game");
    writeFile(path, saveHeader(8) + "v");
    const UniqueFd reader(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    ASSERT_EQ(::flock(reader.get(), LOCK_SH), 0);
    const ProgramRun refused = runGame({"--save", path}, "e");
    EXPECT_EQ(refused.status, kExitUsage);
    EXPECT_EQ(refused.err,
              "orbalune: " + path + ": locked by another process, which is reading it\n");
    EXPECT_EQ(readFile(path), saveHeader(8) + "v");
}

// File systems that lack ways of naming a new file, as the system's calls would refuse them.
int noUnnamedFiles(const std::string& /*directory*/, mode_t /*mode*/, UniqueFd& /*file*/) {
    return EOPNOTSUPP;
}
int noLinks(const std::string& /*from*/, const std::string& /*to*/) {
    return EPERM;  // as vfat says it
}
int noExclusiveRename(const std::string& /*from*/, const std::string& /*to*/) {
    return EINVAL;  // the flag unknown, as on many FUSE and SMB mounts
}

// Whatever a temporary name holds at the moment it gets its own name: a game killed then leaves
// it behind, so it must not be a whole saved game.
std::string heldWhenNamed;
int linkNoting(const std::string& from, const std::string& to) {
    heldWhenNamed = readFile(from);
    return os::systemNamingCalls().hardLink(from, to);
}
int renameNoting(const std::string& from, const std::string& to) {
    heldWhenNamed = readFile(from);
    if (std::filesystem::exists(to)) {  // the one test that renames: no one races it
        return EEXIST;
    }
    return std::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

// The file systems that lack a way of naming a new file, each as its calls.
std::vector<std::pair<std::string, os::NamingCalls>> lackingFileSystems() {
    const os::NamingCalls& system = os::systemNamingCalls();
    return {
        {"no unnamed files", {noUnnamedFiles, system.nameUnnamed, linkNoting, noExclusiveRename}},
        {"FAT", {noUnnamedFiles, system.nameUnnamed, noLinks, renameNoting}},
        {"no way but in place", {noUnnamedFiles, system.nameUnnamed, noLinks, noExclusiveRename}},
    };
}

TEST(SaveCreation, OnFileSystemsWithoutUnnamedFilesOrLinks) {
    for (const auto& [name, calls] : lackingFileSystems()) {
        const TemporaryDirectory directory;
        const std::string path = directory.file("my.game");
        heldWhenNamed = "none";
        {
            SaveFile save = openSaveFile(path, 7, calls);
            EXPECT_TRUE(save.created) << name;
            ASSERT_TRUE(save.appendKey('e')) << name;
            EXPECT_EQ(runGame({"--save", path}, "v").err,
                      "orbalune: " + path +
                          ": locked by another process, perhaps another game playing it\n")
                << name;
        }
        EXPECT_EQ(readFile(path), saveHeader(7) + "e") << name;
        EXPECT_EQ(directory.names(), std::vector<std::string>{"my.game"}) << name;
        if (heldWhenNamed != "none") {
            EXPECT_THROW(parseSaveHeader(heldWhenNamed), SaveFileError) << name;
        }
        // Another game that created the name first wins; this one then opens its game.
        EXPECT_FALSE(createSaveFile(path, 8, calls).has_value()) << name;
        EXPECT_EQ(directory.names(), std::vector<std::string>{"my.game"}) << name;
        SaveFile opened = openSaveFile(path, 8, calls);
        EXPECT_EQ(opened.seed, 7U) << name;
        EXPECT_EQ(opened.keys.size(), 1U) << name;
    }
}

// A disk that fills while a game creates its file (a file size limit plays it, with SIGXFSZ
// ignored as a full disk sends none): whether the first write or the header's last byte fails,
// the creation says why and leaves nothing behind that a later game would take for its own.
TEST(SaveCreation, AFullDiskLeavesNoHalfMadeFile) {
    auto fileSystems = lackingFileSystems();
    fileSystems.emplace_back("unnamed files", os::systemNamingCalls());
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit unlimited{};
    ::getrlimit(RLIMIT_FSIZE, &unlimited);
    for (const auto& [name, calls] : fileSystems) {
        for (const rlim_t room : {rlim_t{10}, rlim_t{saveHeader(7).size() - 1}}) {
            const TemporaryDirectory directory;
            rlimit limited = unlimited;
            limited.rlim_cur = room;
            ::setrlimit(RLIMIT_FSIZE, &limited);
            std::string refusal = "none";
            try {
                createSaveFile(directory.file("my.game"), 7, calls);
            } catch (const SaveFileError& error) {
                refusal = error.reason;
            }
            ::setrlimit(RLIMIT_FSIZE, &unlimited);
            EXPECT_EQ(refusal, "cannot create: File too large") << name << ", " << room;
            EXPECT_EQ(directory.names(), std::vector<std::string>{}) << name << ", " << room;
        }
    }
    std::signal(SIGXFSZ, previous);
}

}  // namespace
}  // namespace orbalune::testing
