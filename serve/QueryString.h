#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "serve/SymbolRequest.h"

namespace barwright::serve {

// Splits a query ("a=1&b=x%20y", without the '?') into keys and values and
// percent-decodes both, strictly: '%' must be followed by two hexadecimal
// digits, whatever a lenient decoder would make of "%zz" or a '%' at the
// end. '+' is a space, as forms send it (a plus sign comes as %2B). Empty
// parts ("a=1&&b=2", a trailing '&') are skipped; a part without '=' is a
// key with an empty value. False with a reason in problem for a bad escape;
// pairs then holds what came before it.
[[nodiscard]] bool decodeQuery(std::string_view query, std::vector<QueryPair>& pairs,
                               std::string& problem);

}  // namespace barwright::serve
