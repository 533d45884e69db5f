#include "output/output.h"

#include <optional>
#include <string>

#include "platform/platform.h"
#include "text/escapes.h"

namespace zelto {
namespace {

using platform::StandardStream;

// `text` (valid UTF-8) with its control characters, other than tab and line feed, in a visible form:
// the C0 controls and DEL in caret notation, as `cat -v` shows them ("^[" for ESC, "^?" for DEL),
// and the C1 controls U+0080 to U+009F as "\u0080" to "\u009f".
std::string with_visible_controls(std::string_view text) {
  std::string shown;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    const auto next = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0;
    if ((byte < 0x20 && byte != '\t' && byte != '\n') || byte == 0x7F) {
      shown += '^';
      shown += static_cast<char>(byte ^ 0x40);
    } else if (byte == 0xC2 && next >= 0x80 && next <= 0x9F) {  // U+0080 to U+009F
      append_unicode_escape(next, shown);
      ++i;
    } else {
      shown += text[i];
    }
  }
  return shown;
}

int write_failed(std::string_view stream_name, const platform::SystemError& error) {
  const std::string message = "zelto: failed printing to " + std::string(stream_name) + ": " + error.text + "\n";
  (void)platform::write_standard(StandardStream::error, message);  // fails too when standard error is what failed
  return kExitWriteFailed;
}

}  // namespace

Result<Done, platform::SystemError> write_shown(StandardStream stream, std::string_view text) {
  if (platform::is_terminal(stream)) return platform::write_standard(stream, with_visible_controls(text));
  return platform::write_standard(stream, text);
}

int print_report(const std::function<void(ReportText&)>& make) {
  std::optional<platform::SystemError> failed;  // once a block fails, the rest goes nowhere
  ReportText out([&failed](std::string_view block) {
    if (failed) return;
    if (auto written = write_shown(StandardStream::output, block); !written) failed = written.error();
  });
  make(out);
  out.flush();
  return failed ? write_failed("stdout", *failed) : kExitReported;
}

int print_failure(const Failure& failure) {
  const auto written = write_shown(StandardStream::error, failure.text);
  return written ? failure.status : write_failed("stderr", written.error());
}

}  // namespace zelto
