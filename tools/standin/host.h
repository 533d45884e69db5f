#pragma once

// What the stand-in app needs of the operating system: a loopback listener, a child process,
// folders. Kept apart from the canvas so that the canvas stays plain logic.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zelto::standin {

// Listens on 127.0.0.1 at `port` (0: a free one) and serves on a background thread for the rest of
// the process: each connection's first line (up to its line feed) goes to `answer`, whose result
// is written back before the connection is closed. Returns the port; throws when it cannot listen.
std::uint16_t serve_in_background(std::uint16_t port, std::function<std::string(std::string_view)> answer);

// Runs `command` (searched on PATH) with these variables added to the environment, waits for it and
// gives its exit status (128 + the signal when a signal ended it). Throws when it cannot start.
int run_command(const std::vector<std::string>& command,
                const std::vector<std::pair<std::string, std::string>>& variables);

// A new, empty folder under the system's temporary folder.
std::filesystem::path make_temporary_folder(std::string_view prefix);

// The folder that holds the running executable.
std::filesystem::path executable_folder();

}  // namespace zelto::standin
