#include "link/transport.h"

#include "platform/platform.h"

namespace zelto {

std::optional<std::string> transfer(std::uint16_t port, std::string_view line, std::string& received) {
  platform::LoopbackConnection connection;  // closed when this returns, before anything is printed
  if (const int error = connection.connect(port)) return platform::os_error_text(error);
  while (!line.empty()) {
    const platform::Transfer sent = connection.send_some(line);
    if (sent.error) return platform::os_error_text(sent.error);
    if (sent.bytes == 0) return "failed to write whole buffer";
    line.remove_prefix(sent.bytes);
  }
  char chunk[64 * 1024];
  for (;;) {
    const platform::Transfer got = connection.receive_some(chunk);
    if (got.error) return platform::os_error_text(got.error);
    if (got.bytes == 0) return std::nullopt;
    received.append(chunk, got.bytes);
  }
}

}  // namespace zelto
