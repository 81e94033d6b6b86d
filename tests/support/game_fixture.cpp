#include "support/game_fixture.hpp"

namespace orbalune::testing {

Session::Session(std::uint32_t seed)
    : game(Console{in, out,
                   [this](std::int32_t ms) {
                       pauses.push_back(ms);
                       if (markPauses) {
                           out << "{pause " << ms << '}';
                       }
                   },
                   seed}) {}

void Session::type(const std::string& keys) {
    in.clear();
    in.str(keys);
}

int Session::play(const std::string& keys) {
    type(keys);
    return game.run();
}

std::string Session::takeOutput() {
    std::string text = out.str();
    out.str("");
    return text;
}

std::string transcript(std::uint32_t seed, const std::string& keys) {
    Session session(seed);
    session.markPauses = true;
    session.play(keys);
    return session.takeOutput();
}

}  // namespace orbalune::testing
