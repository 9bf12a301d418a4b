#pragma once

#include <fstream>
#include <iterator>
#include <string>

namespace barwright::test {

// The usage text, kept in tests/cli/usage.txt apart from the program's own
// copy so that a change to either shows.
inline std::string expectedText(const char* name) {
    std::ifstream in(std::string(BARWRIGHT_EXPECTED_DIR) + "/" + name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
inline const std::string kUsage = expectedText("usage.txt");

// What a failed run writes on standard error: the banner, then the message.
inline std::string failureText(const std::string& message) {
    return "barwright Version 1.2\n" + message + "\n";
}

}  // namespace barwright::test
