#pragma once

#include <cstdint>
#include <string_view>

#include "canvas.h"
#include "platform/platform.h"
#include "result.h"

namespace zelto::standin {

// Listens on 127.0.0.1 at `port` (0: a free one) and answers with `canvas` for the rest of the
// process, on a thread of its own: a connection's first line (up to its line feed) is the request,
// the canvas's answer goes back, and the connection is closed. Whatever other local programs do,
// what it holds is bounded: a connection has a few seconds to send its request and as many to take
// the answer; a new connection beyond the most held at once drops the oldest waiting one; a request
// over its bound, or over what all requests may hold together, is refused with an answer. What
// each answer did is logged. Gives the port.
Result<std::uint16_t, platform::SystemError> serve_in_background(std::uint16_t port, Canvas& canvas);

// Writes "[app] {line}" on standard error: a line feed or a carriage return in `line` as ^J and ^M,
// so that the line stays one line, and on a terminal its other controls shown visibly, as the
// client shows what the app sends: a request's texts come from other programs. A line that cannot
// be written is dropped.
void log(std::string_view line);

}  // namespace zelto::standin
