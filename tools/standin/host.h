#pragma once

// What the stand-in app needs of the operating system: a loopback listener, a command run as its
// child, and the requests to end (signals, Ctrl+C) that it passes on to that child. One file per
// system (host_linux.cpp, host_win32.cpp), so that the canvas and the rest stay plain logic.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace zelto::standin {

// Run first: from now on a request to end the stand-in (SIGINT, SIGTERM or SIGHUP; Ctrl+C or
// Ctrl+Break on Windows) is noted, and passed on to the command when one runs, instead of ending
// the stand-in at once.
void catch_end_requests();

// The request to end that arrived, or 0.
int end_request();

// Ends the process as the request to end would have ended it, after the stand-in has cleaned up.
[[noreturn]] void end_as_requested(int request);

// Listens on 127.0.0.1 at `port` (0: a free one) and serves on a background thread for the rest of
// the process: each connection's first line (up to its line feed) goes to `answer`, whose result
// is written back before the connection is closed. Returns the port; throws when it cannot listen.
std::uint16_t serve_in_background(std::uint16_t port, std::function<std::string(std::string_view)> answer);

// Sets a variable of the stand-in's own environment, which the command inherits; PATH is also
// where the command is looked up.
void set_environment_variable(const std::string& name, const std::string& value);

// The user's shell: $SHELL, or /bin/sh; %COMSPEC% on Windows.
std::string default_shell();

// The separator of the folders in PATH.
char path_separator();

// Runs `command` and waits for it; gives its exit status (128 + the signal when a signal ended
// it). Throws when it cannot start.
int run_command(const std::vector<std::string>& command);

// The running executable.
std::filesystem::path executable_path();

// A path from its UTF-8 text, and back, the same on every system.
inline std::filesystem::path path_of(std::string_view text) { return std::u8string(text.begin(), text.end()); }
inline std::string text_of(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return {text.begin(), text.end()};
}

}  // namespace zelto::standin
