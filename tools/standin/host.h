#pragma once

// What the stand-in app needs of the operating system beyond the client's platform layer: its
// serving thread, files created safely, the command it runs as its child, and the requests to end (signals, Ctrl+C)
// that it passes on to that command. One file per system (host_linux.cpp, host_win32.cpp).

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"
#include "result.h"

namespace zelto::standin {

// Run first: from now on a request to end the stand-in (SIGINT, SIGTERM or SIGHUP; Ctrl+C or
// Ctrl+Break on Windows) is noted, and passed on to the command when one runs, instead of ending
// the stand-in at once.
void catch_end_requests();

// The request to end that arrived, or 0.
int end_request();

// Ends the process as the request to end would have ended it, after the stand-in has cleaned up.
[[noreturn]] void end_as_requested(int request);

// Runs `work` on a thread of its own, which nothing waits for: it ends with its work, or with the
// process. (mingw-w64's C++ library, with the threads of Windows, has no std::thread.)
Result<Done, platform::SystemError> run_in_background(std::function<void()> work);

// Creates a file at `path` where there is nothing, not even a link, and writes all of `content` in
// it; a file that cannot be written whole is removed. Gives false, and creates nothing, when
// something is there already.
Result<bool, platform::SystemError> create_new_file(const std::filesystem::path& path, std::string_view content);

// Sets a variable of the stand-in's own environment, which the command inherits; PATH is also
// where the command is looked up.
Result<Done, platform::SystemError> set_environment_variable(const std::string& name, const std::string& value);

// The user's shell: $SHELL, or /bin/sh; %COMSPEC%, or cmd.exe, on Windows.
std::string default_shell();

// The separator of the folders in PATH.
char path_separator();

// Runs `command` and waits for it; gives its exit status (128 + the signal when a signal ended it).
// The command starts with the signals' usual handling, whatever the stand-in does with them.
Result<int, platform::SystemError> run_command(const std::vector<std::string>& command);

// Where the system looks for programs when PATH is not set: on Linux the system's default path
// (confstr(_CS_PATH)); on Windows nothing, as Windows looks in its own folders first.
std::string default_path();

// The running executable.
Result<std::filesystem::path, platform::SystemError> executable_path();

// A path from its UTF-8 text, and back, the same on every system.
inline std::filesystem::path path_of(std::string_view text) { return std::u8string(text.begin(), text.end()); }
inline std::string text_of(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return {text.begin(), text.end()};
}

}  // namespace zelto::standin
