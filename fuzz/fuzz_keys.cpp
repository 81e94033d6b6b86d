// Feeds the fuzzer's bytes to the keyboard as a terminal would send them. Its first byte says
// whether the terminal speaks UTF-8. The keys the key reader gives, reading a pipe in pieces of
// its own buffer's size, must be the keys the bytes make split a byte at a time, whatever the
// pieces cut: a key is read whole however the reads fall.
#include <unistd.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/terminal/key_sequences.hpp"
#include "platform/terminal/terminal_keys.hpp"

namespace {

[[noreturn]] void report(const char* what) {
    std::fprintf(stderr, "finding: %s\n", what);
    std::abort();
}

// A key as a pair that both readers give alike: its kind and its byte (nothing for a sequence
// that means nothing here).
using Seen = std::pair<int, char>;

std::vector<Seen> splitWhole(const std::string& bytes, bool utf8) {
    orbalune::KeySplitter splitter(utf8);
    std::vector<Seen> keys;
    const auto add = [&keys](const orbalune::KeySplitter::Keys& some) {
        if (some.count > orbalune::KeySplitter::kMostKeys) {
            report("more keys from one byte than there is room for");
        }
        for (std::size_t i = 0; i < some.count; ++i) {
            const orbalune::Key& key = some.keys[i];
            const bool none = key.kind == orbalune::KeyKind::Ignored;
            keys.emplace_back(static_cast<int>(key.kind), none ? '\0' : key.byte);
        }
    };
    for (const char byte : bytes) {
        add(splitter.take(byte));
    }
    // The input ends here: a key it cuts short is no key.
    splitter.abandon();
    add(splitter.flush());
    if (splitter.pending()) {
        report("bytes still pending after a flush");
    }
    return keys;
}

std::vector<Seen> readFromPipe(const std::string& bytes, bool utf8) {
    std::array<int, 2> pipe{};
    if (::pipe(pipe.data()) != 0 ||
        ::write(pipe[1], bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) {
        report("no pipe");
    }
    ::close(pipe[1]);
    orbalune::TerminalKeys keyboard(pipe[0], orbalune::TerminalKeys::kNoEndKey, utf8);
    std::vector<Seen> keys;
    using Kind = orbalune::PressedKey::Kind;
    for (orbalune::PressedKey key = keyboard.pressKey(std::chrono::milliseconds(-1));
         key.kind != Kind::Ended; key = keyboard.pressKey(std::chrono::milliseconds(-1))) {
        const auto kind = key.kind == Kind::Byte    ? orbalune::KeyKind::Byte
                          : key.kind == Kind::Arrow ? orbalune::KeyKind::Arrow
                          : key.kind == Kind::End   ? orbalune::KeyKind::End
                                                    : orbalune::KeyKind::Ignored;
        keys.emplace_back(
            static_cast<int>(kind),
            kind == orbalune::KeyKind::Ignored || kind == orbalune::KeyKind::End ? '\0' : key.byte);
    }
    ::close(pipe[0]);
    return keys;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0 || size > 60000) {  // a pipe holds 64 KiB: written whole before it is read
        return 0;
    }
    const bool utf8 = (data[0] & 1) != 0;
    const std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    std::vector<Seen> whole = splitWhole(bytes, utf8);
    // The End key gives no byte, and keys that mean nothing stay nothing.
    for (Seen& key : whole) {
        if (key.first == static_cast<int>(orbalune::KeyKind::End)) {
            key.second = '\0';
        }
    }
    if (readFromPipe(bytes, utf8) != whole) {
        report("reading in pieces gave other keys than splitting the bytes whole");
    }
    return 0;
}
