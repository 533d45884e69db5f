#pragma once

#include <functional>
#include <string>
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

// A report's text as it is made, handed on in blocks of about 64 KiB, so that a long report is never
// held whole. A block holds the pieces of whole calls of add(): none is split.
class ReportText {
 public:
  explicit ReportText(std::function<void(std::string_view)> hand_on) : hand_on_(std::move(hand_on)) {}

  template <typename... Pieces>
  void add(const Pieces&... pieces) {
    (block_.append(pieces), ...);
    if (block_.size() >= kBlock) flush();
  }
  // Hands on what is left.
  void flush() {
    hand_on_(block_);
    block_.clear();
  }

 private:
  static constexpr std::size_t kBlock = 1 << 16;
  std::function<void(std::string_view)> hand_on_;
  std::string block_;
};

// Writes the report that `make` makes on standard output, as it is made. Gives 0, or 101.
int print_report(const std::function<void(ReportText&)>& make);

// Writes the failure's message on standard error. Gives the failure's status, or 101.
int print_failure(const Failure& failure);

// Writes `text` on the stream, its control characters shown visibly when the stream is a terminal.
Result<Done, platform::SystemError> write_shown(platform::StandardStream stream, std::string_view text);

}  // namespace zelto
