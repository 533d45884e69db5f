#pragma once

#include <cstdint>

#include "failure.h"
#include "json/value.h"
#include "result.h"

namespace zelto {

// One exchange with the app on 127.0.0.1:`port`: the request goes out as one line of compact JSON,
// everything the app sends until it closes comes back, and the connection is closed before this
// returns. Gives the app's answer when its "ok" is true; otherwise the failure, with status 1.
Result<JsonValue, Failure> exchange(std::uint16_t port, const JsonValue& request);

}  // namespace zelto
