#pragma once

#include <cstddef>
#include <cstdint>
#include <streambuf>
#include <string>
#include <string_view>

namespace orbalune {

// The keys of a saved game, read from its file as they are asked for: any of them, in any order,
// while only a window of them is held, so that memory stays the same however many keys a file
// holds, or seems to hold (a sparse file). Keys already in memory can stand in for a file.
class SavedKeys {
public:
    // Keys held elsewhere, which outlive this record; none by default.
    SavedKeys() = default;
    explicit SavedKeys(std::string_view keys) : held_(keys), size_(keys.size()) {}
    // The keys of the saved game open as `fd` (not taken over), from its byte `start` on: as many
    // as it holds now.
    SavedKeys(int fd, std::uint64_t start);

    [[nodiscard]] std::size_t size() const { return size_; }
    // The key at `index`, below size(). Throws SaveFileError when the file cannot be read, or no
    // longer holds it (it was cut short).
    char operator[](std::size_t index) { return piece(index).front(); }
    // The keys from `index` (below size()) on that are in memory now: at least one.
    std::string_view piece(std::size_t index);
    // Counts in the keys the file has gained since it was last looked at; whether it had any.
    bool grow();

private:
    std::string_view held_;
    int fd_ = -1;
    std::uint64_t start_ = 0;
    std::size_t size_ = 0;
    std::string window_;  // keys read from the file, from windowStart_ on
    std::size_t windowStart_ = 0;
};

// Saved keys as a stream, from the first to the last there are when it is read.
class SavedKeysStream : public std::streambuf {
public:
    explicit SavedKeysStream(SavedKeys& keys) : keys_(keys) {}

protected:
    int_type underflow() override;

private:
    SavedKeys& keys_;
    std::size_t next_ = 0;  // the index of the key after the get area
};

}  // namespace orbalune
