#include "server.h"

#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <utility>

#include "host.h"
#include "output/output.h"

namespace zelto::standin {
namespace {

using platform::LoopbackSocket;

// A longer request line is cut there, and so read as no request at all.
constexpr std::size_t kLongestRequest = 64 << 20;
// The wait before accepting again after a failure (out of descriptors, say): the connection stays
// queued, and the server does not spin.
constexpr auto kPauseAfterFailedAccept = std::chrono::milliseconds(100);

// What the connection sends up to its first line feed, or up to its end.
Result<std::string, platform::SystemError> read_line(LoopbackSocket& connection) {
  std::string line;
  char chunk[1 << 16];
  while (line.size() < kLongestRequest) {
    const Result<std::size_t, platform::SystemError> got = connection.receive_some(chunk);
    if (!got) return got.error();
    const std::string_view piece(chunk, *got);
    const std::size_t end = piece.find('\n');
    line += piece.substr(0, end);
    if (*got == 0 || end != std::string_view::npos) break;
  }
  return line;
}

void write_all(LoopbackSocket& connection, std::string_view bytes) {
  while (!bytes.empty()) {
    const Result<std::size_t, platform::SystemError> sent = connection.send_some(bytes);
    if (!sent || *sent == 0) return;  // the client went away: there is no one left to tell
    bytes.remove_prefix(*sent);
  }
}

void answer(LoopbackSocket& connection, Canvas& canvas) {
  const Result<std::string, platform::SystemError> request = read_line(connection);
  if (!request) return log("a connection broke before its request: " + request.error().text);
  std::string response, what_happened;
  one_at_a_time([&] { response = canvas.answer(*request, what_happened); });
  log(what_happened);
  write_all(connection, response);
}

void accept_connections(platform::LoopbackSocket& listener, Canvas& canvas) {
  for (bool failing = false;;) {
    Result<LoopbackSocket, platform::SystemError> accepted = listener.accept();
    if (!accepted) {
      if (!std::exchange(failing, true)) log("cannot accept connections: " + accepted.error().text);
      std::this_thread::sleep_for(kPauseAfterFailedAccept);
      continue;
    }
    failing = false;
    // Held by this loop until the connection's thread has started, then by that thread alone.
    auto connection = std::make_shared<LoopbackSocket>(std::move(*accepted));
    const auto started = run_in_background([connection, &canvas] { answer(*connection, canvas); });
    if (!started) log("cannot answer a connection: " + started.error().text);
  }
}

}  // namespace

Result<std::uint16_t, platform::SystemError> serve_in_background(std::uint16_t port, Canvas& canvas) {
  auto& listener = *new platform::LoopbackSocket;  // it listens for the rest of the process
  const Result<std::uint16_t, platform::SystemError> listening = listener.listen(port);
  if (!listening) return listening.error();
  const auto started = run_in_background([&listener, &canvas] { accept_connections(listener, canvas); });
  if (!started) return started.error();
  return *listening;
}

void log(std::string_view line) {
  (void)write_shown(platform::StandardStream::error, "[app] " + std::string(line) + "\n");
}

}  // namespace zelto::standin
