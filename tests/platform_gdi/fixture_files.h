#pragma once
// Reads picture fixtures from tests/data/gdi.

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace gdi_test {

inline std::vector<std::uint8_t> Fixture(const std::string& name) {
    std::ifstream in(std::string(TEVORIN_TEST_DATA_DIR) + "/gdi/" + name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace gdi_test
