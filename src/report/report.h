#pragma once

#include "json/json.h"
#include "output/output.h"
#include "verb.h"

namespace zelto {

// Makes what a successful run prints into `out`: the listing for `list`; for every other verb a
// confirmation of what the app did, with the files and endpoints the caller needs next.
void report(Verb verb, const JsonValue& response, ReportText& out);

}  // namespace zelto
