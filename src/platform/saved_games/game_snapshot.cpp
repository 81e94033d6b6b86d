#include "platform/saved_games/game_snapshot.hpp"

#include <limits>

#include "game/snapshot_bytes.hpp"
#include "platform/saved_games/saved_keys.hpp"

namespace orbalune {

namespace {

constexpr std::string_view kMagic = "orbalune snapshot 1\n";

std::uint64_t checksumOf(std::string_view bytes) {
    KeysDigest sum;
    for (const char byte : bytes) {
        sum.add(byte);
    }
    return sum.value;
}

}  // namespace

std::uint64_t KeysDigest::of(SavedKeys& keys, std::size_t count) {
    KeysDigest digest;
    for (std::size_t next = 0; next < count;) {
        const std::string_view piece = keys.piece(next).substr(0, count - next);
        for (const char key : piece) {
            digest.add(key);
        }
        next += piece.size();
    }
    return digest.value;
}

std::string GameSnapshot::encode() const {
    SnapshotWriter out;
    out.bytes = kMagic;
    out.u64(taken);
    out.u64(keysDigest);
    out.text(screen.text);
    out.count(screen.sinceKey);
    out.text(game);
    out.u64(checksumOf(out.bytes));
    return std::move(out.bytes);
}

std::optional<GameSnapshot> GameSnapshot::decode(std::string_view bytes) {
    constexpr std::size_t kChecksumBytes = 8;
    if (bytes.size() < kMagic.size() + kChecksumBytes || !bytes.starts_with(kMagic)) {
        return std::nullopt;
    }
    const std::string_view body = bytes.substr(0, bytes.size() - kChecksumBytes);
    SnapshotReader checksum(bytes.substr(body.size()));
    if (checksum.u64() != checksumOf(body)) {
        return std::nullopt;
    }
    SnapshotReader in(body.substr(kMagic.size()));
    GameSnapshot snapshot;
    const std::uint64_t taken = in.u64();
    if (taken > std::numeric_limits<std::size_t>::max()) {
        return std::nullopt;
    }
    snapshot.taken = static_cast<std::size_t>(taken);
    snapshot.keysDigest = in.u64();
    snapshot.screen.text = in.text();
    snapshot.screen.sinceKey = in.count(0);
    snapshot.game = in.text();
    if (!in.done() || snapshot.screen.sinceKey > snapshot.screen.text.size()) {
        return std::nullopt;
    }
    return snapshot;
}

bool GameSnapshot::belongsTo(SavedKeys& keys, std::size_t end) const {
    return taken <= end && end <= keys.size() && KeysDigest::of(keys, taken) == keysDigest;
}

}  // namespace orbalune
