#pragma once

// Realistic payloads by kind, in bench/data/payloads: one record a line,
// with the escapes \n \r \t \\ and \xHH for the bytes that a line cannot
// hold; lines that start with # are comments. Read by the comparison with
// the peer and by the decode tests.

#include <cstdio>
#include <string>
#include <vector>

namespace barwright {
namespace bench {

struct PayloadKind {
    const char* name;
    const char* file;
};

constexpr PayloadKind kPayloadKinds[] = {
    {"postal addresses", "postal.txt"},
    {"driver licences", "aamva.txt"},
    {"boarding passes", "bcbp.txt"},
    {"invoice lines", "invoice.txt"},
    {"URLs", "url.txt"},
    {"binary", "binary.txt"},
};

inline int payloadHexValue(char ch) {
    if (ch >= '0' && ch <= '9') return ch - '0';
    if (ch >= 'a' && ch <= 'f') return ch - 'a' + 10;
    if (ch >= 'A' && ch <= 'F') return ch - 'A' + 10;
    return -1;
}

// The bytes of one escaped line; false on an escape it does not know.
inline bool unescapePayload(const std::string& line, std::string& bytes) {
    bytes.clear();
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] != '\\') {
            bytes += line[i];
            continue;
        }
        if (++i == line.size()) return false;
        switch (line[i]) {
            case 'n':
                bytes += '\n';
                break;
            case 'r':
                bytes += '\r';
                break;
            case 't':
                bytes += '\t';
                break;
            case '\\':
                bytes += '\\';
                break;
            case 'x': {
                if (i + 2 >= line.size()) return false;
                const int high = payloadHexValue(line[i + 1]);
                const int low = payloadHexValue(line[i + 2]);
                if (high < 0 || low < 0) return false;
                bytes += static_cast<char>(high * 16 + low);
                i += 2;
                break;
            }
            default:
                return false;
        }
    }
    return true;
}

// The records of one kind's file; false when it cannot be read or holds a
// malformed line.
inline bool readPayloads(const std::string& path, std::vector<std::string>& records) {
    records.clear();
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return false;
    std::string text;
    char buffer[4096];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) text.append(buffer, got);
    std::fclose(file);

    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        const std::string line = text.substr(start, end - start);
        start = end + 1;
        if (line.empty() || line[0] == '#') continue;
        std::string bytes;
        if (!unescapePayload(line, bytes)) return false;
        records.push_back(bytes);
    }
    return !records.empty();
}

// The data setting that encodes exactly these bytes: every tilde doubled,
// so that none starts an escape.
inline std::string escapeTildes(const std::string& bytes) {
    std::string data;
    data.reserve(bytes.size());
    for (char ch : bytes) {
        data += ch;
        if (ch == '~') data += '~';
    }
    return data;
}

}  // namespace bench
}  // namespace barwright
