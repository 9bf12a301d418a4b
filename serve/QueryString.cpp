#include "serve/QueryString.h"

#include "options/Conversions.h"

namespace barwright::serve {

namespace {

// Decodes one key or value into out; false at a bad escape.
bool decodeComponent(std::string_view text, std::string& out) {
    out.clear();
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '+') {
            out += ' ';
        } else if (c != '%') {
            out += c;
        } else {
            if (i + 2 >= text.size()) {
                return false;
            }
            const int upper = hexDigitValue(text[i + 1]);
            const int lower = hexDigitValue(text[i + 2]);
            if (upper < 0 || lower < 0) {
                return false;
            }
            out += static_cast<char>(upper * 16 + lower);
            i += 2;
        }
    }
    return true;
}

}  // namespace

bool decodeQuery(std::string_view query, std::vector<QueryPair>& pairs, std::string& problem) {
    pairs.clear();
    while (!query.empty()) {
        const std::size_t end = query.find('&');
        const std::string_view part = query.substr(0, end);
        query = end == std::string_view::npos ? std::string_view() : query.substr(end + 1);
        if (part.empty()) {
            continue;
        }
        const std::size_t equals = part.find('=');
        QueryPair pair;
        const bool keyDecoded = decodeComponent(part.substr(0, equals), pair.key);
        if (!keyDecoded || (equals != std::string_view::npos &&
                            !decodeComponent(part.substr(equals + 1), pair.value))) {
            problem = "a '%' in the query is not followed by two hexadecimal digits";
            return false;
        }
        pairs.push_back(std::move(pair));
    }
    return true;
}

}  // namespace barwright::serve
