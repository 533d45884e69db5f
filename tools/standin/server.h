#pragma once

#include <cstdint>
#include <string_view>

#include "canvas.h"
#include "platform/platform.h"
#include "result.h"

namespace zelto::standin {

// Listens on 127.0.0.1 at `port` (0: a free one) and answers with `canvas` for the rest of the
// process, each connection on a thread of its own, so that a client that says nothing holds up no
// other: the connection's first line (up to its line feed) is the request, the canvas's answer goes
// back, and the connection is closed. What each answer did is logged. Gives the port.
Result<std::uint16_t, platform::SystemError> serve_in_background(std::uint16_t port, Canvas& canvas);

// Writes "[app] {line}" on standard error, its controls shown visibly on a terminal, as the client
// shows what the app sends: a request's texts come from other programs. A line that cannot be
// written is dropped.
void log(std::string_view line);

}  // namespace zelto::standin
