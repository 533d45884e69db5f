#pragma once

// Everything the program asks of the operating system. One implementation per system
// (platform_posix.cpp, platform_win32.cpp); the rest of the program includes no system header.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zelto::platform {

// Run first: notes which standard streams the process was started without, and makes a reader or
// peer that went away, or a file grown to its size limit, give an error instead of ending the
// process.
void prepare_process();

// The variable's value as UTF-8; empty when it is unset or its value is not valid Unicode.
std::optional<std::string> environment_variable(const char* name);

// The arguments after the program name as UTF-8; empty when any of them is not valid Unicode.
// On Windows they come from the UTF-16 command line and argc/argv are not used.
std::optional<std::vector<std::string>> unicode_arguments(int argc, char** argv);

// The system's description of an error number: "{text} (os error {code})".
std::string os_error_text(int code);

enum class StandardStream { output, error };

// Writes all of `text` (UTF-8). Returns 0, or the error number that stopped the write. A stream the
// process was started without takes the text and drops it.
int write_standard(StandardStream stream, std::string_view text);

// True when the stream is a terminal (a console on Windows), where a person reads it.
bool is_terminal(StandardStream stream);

// The next two show control characters visibly when their stream is a terminal: texts from the app
// cannot drive the caller's terminal. To a pipe or a file they write every byte as it is.

// Writes the report on standard output in one go at the end of the run. Returns the exit status:
// 0, or 101 after saying on standard error what failed.
int print_report(std::string_view report);

// Writes one failure message on standard error. Returns the exit status: `status`, or 101 when
// standard error cannot be written.
int print_failure(std::string_view message, int status);

// What one send or receive did: bytes moved, or the error number (then bytes is 0).
struct Transfer {
  std::size_t bytes = 0;
  int error = 0;
};

// A blocking TCP connection to the loopback address: no time-out, no socket option, no half-close;
// closed when it goes. Sends and receives interrupted by a signal are repeated; nothing else is.
class LoopbackConnection {
 public:
  LoopbackConnection() = default;
  LoopbackConnection(const LoopbackConnection&) = delete;
  LoopbackConnection& operator=(const LoopbackConnection&) = delete;
  ~LoopbackConnection();

  // Connects to 127.0.0.1 at `port`. Returns 0 or the error number.
  int connect(std::uint16_t port);
  Transfer send_some(std::string_view bytes);
  Transfer receive_some(std::span<char> room);  // 0 bytes: the peer closed the connection

 private:
  std::optional<std::uintptr_t> handle_;  // the socket, once there is one
};

}  // namespace zelto::platform
