#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace orbalune::testing {

// FNV-1a, 64 bits: enough to tell one recorded game, or one sequence of values, from another.
class Digest {
public:
    void add(std::uint64_t value) { hash_ = (hash_ ^ value) * 1099511628211ULL; }
    void addBytes(const std::string& bytes) {
        for (const char byte : bytes) {
            add(static_cast<unsigned char>(byte));
        }
    }
    [[nodiscard]] std::uint64_t value() const { return hash_; }
    // Sixteen hexadecimal digits, as the test data writes digests.
    [[nodiscard]] std::string hex() const {
        char text[17];
        std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash_));
        return text;
    }

private:
    std::uint64_t hash_ = 14695981039346656037ULL;
};

}  // namespace orbalune::testing
