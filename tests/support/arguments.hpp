#pragma once

#include <string>
#include <utility>
#include <vector>

namespace orbalune::testing {

// A command line as main receives it: argc, and argv with its words writable, since getopt may
// reorder them.
class Arguments {
public:
    explicit Arguments(std::vector<std::string> words) : words_(std::move(words)) {
        for (std::string& word : words_) {
            pointers_.push_back(word.data());
        }
        pointers_.push_back(nullptr);
    }
    Arguments(const Arguments&) = delete;
    Arguments& operator=(const Arguments&) = delete;
    ~Arguments() = default;

    [[nodiscard]] int argc() const { return static_cast<int>(words_.size()); }
    char** argv() { return pointers_.data(); }

private:
    std::vector<std::string> words_;
    std::vector<char*> pointers_;
};

}  // namespace orbalune::testing
