// The exit-status rules for writing to the standard streams, the same on every system.

#include "exit_status.h"
#include "platform/platform.h"
#include "text/visible_controls.h"

namespace zelto::platform {
namespace {

int report_write_failure(std::string_view stream_name, int error) {
  const std::string message =
      "zelto: failed printing to " + std::string(stream_name) + ": " + os_error_text(error) + "\n";
  (void)write_standard(StandardStream::error, message);  // when standard error is what failed, this fails too
  return kExitWriteFailed;
}

int write_shown(StandardStream stream, std::string_view text) {
  return is_terminal(stream) ? write_standard(stream, with_visible_controls(text)) : write_standard(stream, text);
}

}  // namespace

int print_report(std::string_view report) {
  const int error = write_shown(StandardStream::output, report);
  return error == 0 ? kExitReported : report_write_failure("stdout", error);
}

int print_failure(std::string_view message, int status) {
  const int error = write_shown(StandardStream::error, message);
  return error == 0 ? status : report_write_failure("stderr", error);
}

}  // namespace zelto::platform
