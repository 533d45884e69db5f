#pragma once

#include <string>

#include "json/json.h"
#include "verb.h"

namespace zelto {

// What a successful run prints: the listing for `list`; for every other verb a confirmation of what
// the app did, with the files and endpoints the caller needs next.
std::string report(Verb verb, const JsonValue& response);

}  // namespace zelto
