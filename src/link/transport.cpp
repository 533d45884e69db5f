#include "link/transport.h"

#include "platform/platform.h"

namespace zelto {
namespace {

constexpr std::size_t kReceiveChunk = 64 * 1024;

std::variant<TextBuffer, std::string> send_and_receive(platform::LoopbackConnection& connection,
                                                       std::uint16_t port, std::string_view line) {
  if (const int error = connection.connect(port)) return platform::os_error_text(error);
  while (!line.empty()) {
    const platform::Transfer sent = connection.send_some(line);
    if (sent.error) return platform::os_error_text(sent.error);
    if (sent.bytes == 0) return std::string("failed to write whole buffer");
    line.remove_prefix(sent.bytes);
  }
  TextBuffer received;
  for (;;) {
    const std::span<char> room = received.spare(kReceiveChunk);
    if (room.empty()) return std::string("out of memory");
    const platform::Transfer got = connection.receive_some(room);
    if (got.error) return platform::os_error_text(got.error);
    if (got.bytes == 0) break;
    received.commit(got.bytes);
  }
  return received;
}

}  // namespace

std::variant<TextBuffer, std::string> transfer(std::uint16_t port, std::string_view line) {
  platform::LoopbackConnection connection;
  auto result = send_and_receive(connection, port, line);
  connection.close();
  return result;
}

}  // namespace zelto
