#pragma once

// What the stand-in app needs of the operating system beyond the client's platform layer: its
// serving thread, files created safely, the command it runs as its child, and the requests to end
// (signals) that it passes on to that command. One file per system (host_linux.cpp,
// host_win32.cpp).

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"
#include "result.h"

namespace zelto::standin {

// Run first, before the platform layer sets any signal's handling. A signal ignored when the
// stand-in started stays ignored, for it and for its command, as shells do (nohup, `command &` in a
// script). From now on a request to end (SIGTERM, SIGHUP or SIGINT) that a program sends the
// stand-in is passed on to the command's process group, and the stand-in ends by it once the command
// has ended. (What the terminal sends, Ctrl+C say, reaches the command, which has the terminal, and
// not the stand-in. On Windows the console passes Ctrl+C and Ctrl+Break to every process attached to
// it: the stand-in leaves them to the command.)
void catch_end_requests();

// How the command ended: with an exit status, or (on Linux) by a signal.
struct CommandEnd {
  int status = 0;
  int signal = 0;  // or 0
};

// Runs `command`, looked up on PATH, and waits for it. On Linux it runs in a process group of its
// own, which has the terminal when the stand-in had it, and takes and gives the terminal as the
// stand-in's caller stops and continues it; the signals it starts with are those the stand-in
// started with. On Windows the command line gives the program exactly these words, also through
// cmd.exe, where every character cmd.exe reads as its own is escaped.
Result<CommandEnd, platform::SystemError> run_command(const std::vector<std::string>& command);

// Ends the stand-in, its cleanup done, as its command ended; or, when a request to end came, by
// that signal.
[[noreturn]] void end_like(CommandEnd command);

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
