#include "output/output.h"

#include "platform/platform.h"
#include "text/visible_controls.h"

namespace zelto {
namespace {

using platform::StandardStream;

int write_failed(std::string_view stream_name, const platform::SystemError& error) {
  // English, and left so: callers match on "failed printing to ".
  const std::string message = "zelto: failed printing to " + std::string(stream_name) + ": " + error.text + "\n";
  (void)platform::write_standard(StandardStream::error, message);  // fails too when standard error is what failed
  return kExitWriteFailed;
}

Result<Done, platform::SystemError> write_shown(StandardStream stream, std::string_view text) {
  if (platform::is_terminal(stream)) return platform::write_standard(stream, with_visible_controls(text));
  return platform::write_standard(stream, text);
}

}  // namespace

int print_report(std::string_view report) {
  const auto written = write_shown(StandardStream::output, report);
  return written ? kExitReported : write_failed("stdout", written.error());
}

int print_failure(const Failure& failure) {
  const auto written = write_shown(StandardStream::error, failure.text);
  return written ? failure.status : write_failed("stderr", written.error());
}

}  // namespace zelto
