#pragma once

#include <fstream>
#include <sstream>
#include <string>

namespace orbalune::testing {

// The contents of a file under tests/data.
inline std::string readTestData(const std::string& name) {
    std::ifstream file(std::string(ORBALUNE_TEST_DATA_DIR) + "/" + name, std::ios::binary);
    std::ostringstream contents;
    contents << file.rdbuf();
    return contents.str();
}

}  // namespace orbalune::testing
