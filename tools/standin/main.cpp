// zelto-standin: a small stand-in for the app, to try the client by hand and to test it end to end.
// It keeps a canvas in memory, answers the client on 127.0.0.1, and runs a command (or a shell) as
// if in one of its terminals, with the terminal's variables set and `zelto` first on PATH. However
// it ends, it leaves no folder of its own and no command running behind it.

#include <charconv>
#include <cstdlib>
#include <exception>
#include <iostream>
#include <optional>
#include <random>
#include <span>

#include "canvas.h"
#include "host.h"
#include "platform/platform.h"

namespace {

using namespace zelto::standin;

constexpr std::string_view kUsage =
    "usage: zelto-standin [--port N] [--folder FOLDER] [--client ZELTO-CLI] [-- COMMAND [ARGUMENTS...]]\n"
    "Runs COMMAND, or your shell, as in a terminal of the app, with zelto on PATH. Options:\n"
    "  --port N             listen on 127.0.0.1 at port N (1 to 65535; a free one by default)\n"
    "  --folder FOLDER      keep the files of notes, diagrams and pages in FOLDER (by default a new\n"
    "                       temporary folder, removed at the end)\n"
    "  --client ZELTO-CLI   the client that `zelto` runs (by default zelto-cli beside the stand-in)\n"
    "  --help               show this and end\n";

// The command line was not understood: the usage goes to standard error, with status 2.
struct Misused {};

struct Options {
  std::uint16_t port = 0;
  std::filesystem::path folder;  // empty: a temporary one
  std::filesystem::path client;
  std::vector<std::string> command;
  bool help = false;
};

Options parse_options(std::span<const std::string> words) {
  Options options;
  const std::filesystem::path self = executable_path();
  options.client = self.parent_path() / ("zelto-cli" + text_of(self.extension()));
  for (std::size_t i = 0; i < words.size(); ++i) {
    const std::string_view option = words[i];
    const bool has_value = i + 1 < words.size();
    if (option == "--") {
      options.command.assign(words.begin() + static_cast<std::ptrdiff_t>(i) + 1, words.end());
      break;
    } else if (option == "--help") {
      options.help = true;
    } else if (option == "--port" && has_value) {
      const std::string_view port = words[++i];
      const auto [end, error] = std::from_chars(port.data(), port.data() + port.size(), options.port);
      if (error != std::errc() || end != port.data() + port.size() || options.port == 0) throw Misused{};
    } else if (option == "--folder" && has_value) {
      options.folder = path_of(words[++i]);
    } else if (option == "--client" && has_value) {
      options.client = std::filesystem::absolute(path_of(words[++i]));
    } else {
      throw Misused{};
    }
  }
  if (options.command.empty()) options.command = {default_shell()};
  return options;
}

// A new folder under the system's temporary folder, removed with everything in it when this goes.
class TemporaryFolder {
 public:
  explicit TemporaryFolder(std::string_view prefix) {
    std::random_device random;
    do {
      path_ = std::filesystem::temp_directory_path() / (std::string(prefix) + std::to_string(random()));
    } while (!std::filesystem::create_directory(path_));
  }
  TemporaryFolder(const TemporaryFolder&) = delete;
  TemporaryFolder& operator=(const TemporaryFolder&) = delete;
  ~TemporaryFolder() {
    std::error_code ignored;  // nothing is left to do about a folder that cannot be removed
    std::filesystem::remove_all(path_, ignored);
  }
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

std::string random_token() {
  std::random_device random;
  std::string token;
  for (int i = 0; i < 32; ++i) token += "0123456789abcdef"[random() % 16];
  return token;
}

// Serves the canvas while the command runs; gives the command's exit status. The folders it made
// are removed when it returns, or throws.
int run(const Options& options) {
  std::optional<TemporaryFolder> temporary;
  if (options.folder.empty()) temporary.emplace("zelto-standin-");
  const std::filesystem::path folder = temporary ? temporary->path() : options.folder;
  std::filesystem::create_directories(folder);
  const TemporaryFolder bin("zelto-standin-bin-");  // `zelto`, first on the command's PATH
  std::filesystem::copy_file(options.client, bin.path() / ("zelto" + text_of(options.client.extension())));

  // The server answers with the canvas for the rest of the process, even after the command ends.
  Canvas& canvas = *new Canvas(std::filesystem::canonical(folder), random_token());
  const std::uint16_t port = serve_in_background(options.port, [&canvas](std::string_view line) {
    std::string log;
    std::string response = canvas.answer(line, log);
    std::cerr << "[app] " << log << std::endl;
    return response;
  });
  std::cerr << "[app] listening on 127.0.0.1:" << port << "; files in " << text_of(folder) << std::endl;

  const char* path = std::getenv("PATH");
  set_environment_variable("PATH", text_of(bin.path()) + (path ? path_separator() + std::string(path) : ""));
  set_environment_variable("ZELTO_NODE_ID", canvas.caller_id());
  set_environment_variable("ZELTO_PORT", std::to_string(port));
  set_environment_variable("ZELTO_TOKEN", canvas.token());
  return run_command(options.command);
}

}  // namespace

int main(int argc, char** argv) {
  catch_end_requests();
  int status = 1;
  try {
    const Options options = parse_options(zelto::platform::arguments(argc, argv));
    if (options.help) {
      std::cout << kUsage;
      return 0;
    }
    status = run(options);
  } catch (const Misused&) {
    std::cerr << kUsage;
    status = 2;
  } catch (const std::exception& error) {
    std::cerr << "zelto-standin: " << error.what() << "\n";
  }
  if (const int request = end_request()) end_as_requested(request);
  return status;
}
