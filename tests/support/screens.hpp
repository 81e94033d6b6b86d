#pragma once

#include <string>

namespace orbalune::testing {

inline const std::string kTownBanner = "\nYou are currently in town.\n";
inline const std::string kTownMenu =
    "\n(E) Enter the dungeon  (B) Buy/Sell items  (G) Get resurrected  \n"
    "(I) Inventory  (D) Drop  (U) Use/Equip  (V) View Stats  \n==> ";
inline const std::string kTownScreen = kTownBanner + kTownMenu;
inline const std::string kCommonOptions =
    "(I) Inventory  (D) Drop  (U) Use/Equip  (V) View Stats  \n==> ";
inline const std::string kStartingTunicLine = "green tunic+ 1  AC: 3  Value: 100  (Equipped)";
inline const std::string kStartingHandsLine = "bare hands+ 1  Dam: 1-2  (Equipped)";

// How many times `needle` occurs in `text`.
inline std::size_t countOf(const std::string& text, const std::string& needle) {
    std::size_t count = 0;
    for (std::size_t at = text.find(needle); at != std::string::npos;
         at = text.find(needle, at + needle.size())) {
        ++count;
    }
    return count;
}

}  // namespace orbalune::testing
