#include "platform/saved_games/save_format.hpp"

#include <array>
#include <optional>
#include <utility>

#include "game/rules_version.hpp"
#include "platform/programs/decimal.hpp"
#include "platform/terminal/shown_text.hpp"

namespace orbalune {

namespace {

constexpr std::string_view kFileLine = "file orbalune saved game";
constexpr std::string_view kHeaderEnd = "\n\n";

[[noreturn]] void refuse(std::string reason) {
    throw SaveFileError{std::move(reason)};
}

// The "name value" lines after the file line, by name. A stranger's bytes in a reason are shown
// as text: a reason goes to a terminal, or into the page's JSON.
struct HeaderFields {
    enum Field : std::size_t { kFormat, kRules, kSeed };
    static constexpr std::array<std::string_view, 3> kNames = {"format", "rules", "seed"};
    std::array<std::optional<std::string_view>, kNames.size()> values;
    std::optional<std::string_view> unknown;

    void read(std::string_view line) {
        const std::size_t space = line.find(' ');
        if (space == std::string_view::npos) {
            refuse("damaged header: line '" + shownText(line) + "' has no value");
        }
        const std::string_view name = line.substr(0, space);
        for (std::size_t i = 0; i < kNames.size(); ++i) {
            if (name == kNames[i]) {
                if (values[i]) {
                    refuse("damaged header: " + std::string(name) + " given twice");
                }
                values[i] = line.substr(space + 1);
                return;
            }
        }
        unknown = unknown.value_or(name);
    }

    // The field's value as a number; a missing or malformed one is damage.
    [[nodiscard]] std::uint32_t number(Field field) const {
        const std::string name(kNames[field]);
        if (!values[field]) {
            refuse("damaged header: no " + name);
        }
        const std::optional<std::uint32_t> value = parseUint32(*values[field]);
        if (!value) {
            refuse("damaged header: " + name + " '" + shownText(*values[field]) +
                   "' is not a number");
        }
        return *value;
    }
};

}  // namespace

std::string saveHeader(std::uint32_t seed) {
    return std::string(kFileLine) + "\nformat " + std::to_string(kSaveFormatVersion) + "\nrules " +
           std::to_string(kRulesVersion) + "\nseed " + std::to_string(seed) +
           std::string(kHeaderEnd);
}

SaveHeader parseSaveHeader(std::string_view bytes) {
    if (bytes.empty()) {
        // Not ours to fill: the player made it, or another program did.
        refuse("empty file, not a saved game (remove it, or choose another name)");
    }
    const std::string_view firstLine = bytes.substr(0, bytes.find('\n'));
    if (firstLine != kFileLine) {
        refuse(kFileLine.starts_with(bytes) ? "truncated header" : "not an orbalune saved game");
    }
    const std::size_t end = bytes.find(kHeaderEnd);
    if (end == std::string_view::npos || end > kMaxHeaderBytes) {
        refuse(end == std::string_view::npos && bytes.size() <= kMaxHeaderBytes
                   ? "truncated header"
                   : "damaged header: it does not end");
    }

    HeaderFields fields;
    for (std::size_t start = firstLine.size() + 1; start <= end;) {
        const std::size_t stop = bytes.find('\n', start);
        fields.read(bytes.substr(start, stop - start));
        start = stop + 1;
    }
    // The format first: a newer one may have fields this reader does not know.
    if (const std::uint32_t format = fields.number(HeaderFields::kFormat);
        format != kSaveFormatVersion) {
        refuse("saved in format version " + std::to_string(format) +
               ", but this orbalune reads format version " + std::to_string(kSaveFormatVersion));
    }
    if (fields.unknown) {
        refuse("damaged header: unknown field '" + shownText(*fields.unknown) + "'");
    }
    if (const std::uint32_t rules = fields.number(HeaderFields::kRules);
        rules != static_cast<std::uint32_t>(kRulesVersion)) {
        refuse("saved under rules version " + std::to_string(rules) +
               ", but this orbalune plays rules version " + std::to_string(kRulesVersion));
    }
    return SaveHeader{fields.number(HeaderFields::kSeed), end + kHeaderEnd.size()};
}

SavedGame parseSavedGame(std::string_view bytes) {
    const SaveHeader header = parseSaveHeader(bytes.substr(0, kHeaderProbeBytes));
    return SavedGame{header.seed, std::string(bytes.substr(header.size))};
}

}  // namespace orbalune
