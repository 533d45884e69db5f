#pragma once

// Everything the program asks of the operating system. One implementation per system
// (platform_linux.cpp, platform_win32.cpp); the rest of the program includes no system header.
// Texts come and go as they are: whether they are valid Unicode, and what is shown how, is decided
// by the program, not here.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "result.h"

namespace zelto::platform {

// An error the system reported, described: "{the system's text} (os error {number})".
struct SystemError {
  std::string text;
};

// Run first: notes which standard streams the process was started without, and makes a reader or
// peer that went away, or a file grown to its size limit, give an error instead of ending the
// process.
void prepare_process();

// The variable's value, when it is set. On Windows the UTF-16 value is given as UTF-8, where an
// unpaired surrogate keeps the three bytes UTF-8 would give it (and so is not valid UTF-8).
std::optional<std::string> environment_variable(const char* name);

// The arguments after the program name. On Windows they are split from the UTF-16 command line by
// the C runtime's rules, and given as environment_variable() gives a value; argc/argv are not used.
std::vector<std::string> arguments(int argc, char** argv);

enum class StandardStream { output, error };

// Writes all of `text`. A stream the process was started without takes the text and drops it.
Result<Done, SystemError> write_standard(StandardStream stream, std::string_view text);

// True when the stream is a terminal (a console on Windows), where a person reads it.
bool is_terminal(StandardStream stream);

// The system's description of its error `code` (errno; GetLastError() on Windows).
SystemError system_error(int code);

// A TCP socket on the loopback address, closed when it goes: the client's connection to the app,
// which blocks, with no time-out and no half-close, or the stand-in app's listener and the
// connections it accepts, which never wait. Calls interrupted by a signal are repeated; nothing
// else is.
class LoopbackSocket {
 public:
  LoopbackSocket() = default;
  LoopbackSocket(LoopbackSocket&& other) noexcept : handle_(std::exchange(other.handle_, std::nullopt)) {}
  ~LoopbackSocket();

  // Connects to 127.0.0.1 at `port`.
  Result<Done, SystemError> connect(std::uint16_t port);
  // The number of bytes sent, or received: 0 received means the peer closed the connection.
  Result<std::size_t, SystemError> send_some(std::string_view bytes);
  Result<std::size_t, SystemError> receive_some(std::span<char> room);

  // Listens on 127.0.0.1 at `port`, or at a free port when it is 0; gives the port. The port may be
  // taken again as soon as the listener goes, and no program the process starts inherits it. The
  // listener and the connections it accepts never wait: a call that would wait fails, so they are
  // called once wait_for() says they are ready.
  Result<std::uint16_t, SystemError> listen(std::uint16_t port);
  // The next connection to the port it listens on.
  Result<LoopbackSocket, SystemError> accept();

  // What wait_for() waits for on a socket: bytes to receive, a connection to accept or the end of
  // the connection; or room to send.
  struct Awaited {
    const LoopbackSocket* socket;
    bool room_to_send;
  };
  // Waits until one of the sockets is ready for what it awaits, or for `milliseconds` (-1: for as
  // long as it takes); gives whether each is ready. A signal may end the wait early.
  static Result<std::vector<bool>, SystemError> wait_for(std::span<const Awaited> sockets, int milliseconds);

 private:
  explicit LoopbackSocket(std::uintptr_t handle) : handle_(handle) {}

  std::optional<std::uintptr_t> handle_;  // the socket, once there is one
};

}  // namespace zelto::platform
