#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace orbalune {

// Little-endian integers, and counts as variable-length integers (7 bits a byte), so a snapshot
// reads the same on every machine and stays small.
struct SnapshotWriter {
    std::string bytes;

    void u8(std::uint8_t value) { bytes += static_cast<char>(value); }
    void u32(std::uint32_t value) {
        for (int shift = 0; shift < 32; shift += 8) {
            u8(static_cast<std::uint8_t>(value >> shift));
        }
    }
    void u64(std::uint64_t value) {
        u32(static_cast<std::uint32_t>(value));
        u32(static_cast<std::uint32_t>(value >> 32));
    }
    void i32(std::int32_t value) { u32(static_cast<std::uint32_t>(value)); }
    void i64(std::int64_t value) { u64(static_cast<std::uint64_t>(value)); }
    void count(std::uint64_t value) {
        for (; value >= 0x80; value >>= 7) {
            u8(static_cast<std::uint8_t>(value | 0x80));
        }
        u8(static_cast<std::uint8_t>(value));
    }
    void text(std::string_view value) {
        count(value.size());
        bytes += value;
    }
};

// Reads what a SnapshotWriter wrote. The bytes are a stranger's: a read past the end, or a count
// larger than the bytes left could hold, fails the reader for good and yields zero.
class SnapshotReader {
public:
    explicit SnapshotReader(std::string_view bytes) : bytes_(bytes) {}

    [[nodiscard]] bool ok() const { return ok_; }
    // Read whole and without fault.
    [[nodiscard]] bool done() const { return ok_ && next_ == bytes_.size(); }
    [[nodiscard]] std::size_t left() const { return bytes_.size() - next_; }

    std::uint8_t u8() {
        if (!ok_ || next_ >= bytes_.size()) {
            ok_ = false;
            return 0;
        }
        return static_cast<std::uint8_t>(bytes_[next_++]);
    }
    std::uint32_t u32() {
        std::uint32_t value = 0;
        for (int shift = 0; shift < 32; shift += 8) {
            value |= std::uint32_t{u8()} << shift;
        }
        return value;
    }
    std::uint64_t u64() {
        const std::uint64_t low = u32();
        return low | (std::uint64_t{u32()} << 32);
    }
    std::int32_t i32() { return static_cast<std::int32_t>(u32()); }
    std::int64_t i64() { return static_cast<std::int64_t>(u64()); }
    // A count of things each at least `unitBytes` long in what is left: no count a damaged
    // snapshot claims makes room for more than its own bytes.
    std::size_t count(std::size_t unitBytes = 1) {
        std::uint64_t value = 0;
        for (int shift = 0; shift < 64; shift += 7) {
            const std::uint8_t byte = u8();
            value |= std::uint64_t{byte & 0x7FU} << shift;
            if ((byte & 0x80U) == 0) {
                if (unitBytes > 0 && value > left() / unitBytes) {
                    ok_ = false;
                    return 0;
                }
                return static_cast<std::size_t>(value);
            }
        }
        ok_ = false;
        return 0;
    }
    std::string_view text() {
        const std::size_t size = count();
        if (!ok_) {
            return {};
        }
        const std::string_view value = bytes_.substr(next_, size);
        next_ += size;
        return value;
    }

private:
    std::string_view bytes_;
    std::size_t next_ = 0;
    bool ok_ = true;
};

}  // namespace orbalune
