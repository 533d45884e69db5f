#pragma once

#include <string_view>

#include "failure.h"
#include "platform/platform.h"
#include "result.h"

namespace zelto {

// What reaches the standard streams, and the exit status that follows. One message per run goes to
// standard error. On a terminal (a console on Windows) control characters are shown visibly, so
// that texts from the app cannot drive the caller's terminal; to a pipe or a file every byte goes
// as it is, as callers parse it. An open stream that cannot be written ends the run with status
// 101 and, when standard error can still take it, a message that says what failed.

// Writes the report on standard output, in one go. Gives 0, or 101.
int print_report(std::string_view report);

// Writes the failure's message on standard error. Gives the failure's status, or 101.
int print_failure(const Failure& failure);

// Writes `text` on the stream, its control characters shown visibly when the stream is a terminal.
Result<Done, platform::SystemError> write_shown(platform::StandardStream stream, std::string_view text);

}  // namespace zelto
