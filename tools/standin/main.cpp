// zelto-standin: a small stand-in for the app, to try the client by hand and to test it end to end.
// It keeps a canvas in memory, answers the client on 127.0.0.1, and runs a command (or a shell) as
// if in one of its terminals, with the terminal's variables set and `zelto` first on PATH. However
// it ends, it leaves no folder of its own and no command running behind it.

#include <charconv>
#include <optional>
#include <random>
#include <span>
#include <system_error>

#include "canvas.h"
#include "failure.h"
#include "host.h"
#include "output/output.h"
#include "server.h"

namespace {

using namespace zelto;
using namespace zelto::standin;

constexpr std::string_view kUsage =
    "usage: zelto-standin [--port N] [--folder FOLDER] [--client ZELTO-CLI] [-- COMMAND [ARGUMENTS...]]\n"
    "Runs COMMAND, or your shell, as in a terminal of the app, with zelto on PATH. Options:\n"
    "  --port N             listen on 127.0.0.1 at port N (1 to 65535; a free one by default)\n"
    "  --folder FOLDER      keep the files of notes, diagrams and pages in FOLDER (by default a new\n"
    "                       temporary folder, removed at the end)\n"
    "  --client ZELTO-CLI   the client that `zelto` runs (by default zelto-cli beside the stand-in)\n"
    "  --help               show this and end\n";

struct Options {
  std::uint16_t port = 0;        // 0: a free one
  std::filesystem::path folder;  // empty: a temporary one
  std::filesystem::path client;
  std::vector<std::string> command;  // empty: the user's shell
  bool help = false;
};

Failure failed(const std::string& what) { return {"zelto-standin: " + what + "\n", kExitFailure}; }

Failure misused(const std::string& why) { return {"zelto-standin: " + why + "\n" + std::string(kUsage), kExitUsage}; }

Result<Options, Failure> parse_options(std::span<const std::string> words) {
  Options options;
  const Result<std::filesystem::path, platform::SystemError> self = executable_path();
  if (!self) return failed("cannot find where the stand-in is: " + self.error().text);
  options.client = self->parent_path() / ("zelto-cli" + text_of(self->extension()));
  for (std::size_t i = 0; i < words.size(); ++i) {
    const std::string_view option = words[i];
    if (option == "--") {
      options.command.assign(words.begin() + static_cast<std::ptrdiff_t>(i) + 1, words.end());
      break;
    }
    if (option == "--help") {
      options.help = true;
      continue;
    }
    if (option != "--port" && option != "--folder" && option != "--client")
      return misused("unknown option " + words[i]);
    if (i + 1 == words.size()) return misused(words[i] + " needs a value");
    const std::string& value = words[++i];
    if (option == "--port") {
      const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), options.port);
      if (error != std::errc() || end != value.data() + value.size() || options.port == 0) {
        return misused("--port takes a port from 1 to 65535, not " + value);
      }
    } else if (option == "--folder") {
      if (value.empty()) return misused("--folder needs a folder, not an empty text");
      options.folder = path_of(value);
    } else {
      options.client = std::filesystem::absolute(path_of(value));
    }
  }
  return options;
}

// A folder that goes away with everything in it when this does: a new one under the system's
// temporary folder, once made.
class TemporaryFolder {
 public:
  TemporaryFolder() = default;
  TemporaryFolder(const TemporaryFolder&) = delete;
  TemporaryFolder& operator=(const TemporaryFolder&) = delete;
  ~TemporaryFolder() {
    std::error_code ignored;  // nothing is left to do about a folder that cannot be removed
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
  }

  Result<Done, Failure> make(std::string_view prefix) {
    std::error_code error;
    // Absolute, as TMPDIR may not be: the command changes its folder, and PATH names one of these.
    std::filesystem::path temporary = std::filesystem::temp_directory_path(error);
    if (!error) temporary = std::filesystem::absolute(temporary, error);
    std::random_device random;
    while (!error) {
      const std::filesystem::path path = temporary / (std::string(prefix) + std::to_string(random()));
      if (std::filesystem::create_directory(path, error)) {
        path_ = path;
        return Done{};
      }
    }
    return failed("cannot make a temporary folder: " + error.message());
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

// Sets the command's variables: the terminal's three, and PATH with `bin` first, then the folders
// of PATH, or where the system looks without it.
Result<Done, Failure> set_terminal_variables(const Canvas& canvas, std::uint16_t port,
                                             const std::filesystem::path& bin) {
  const std::string rest = platform::environment_variable("PATH").value_or(default_path());
  const std::pair<std::string, std::string> variables[] = {
      {"PATH", text_of(bin) + (rest.empty() ? "" : path_separator() + rest)},
      {"ZELTO_NODE_ID", canvas.caller_id()},
      {"ZELTO_PORT", std::to_string(port)},
      {"ZELTO_TOKEN", canvas.token()},
  };
  for (const auto& [name, value] : variables) {
    const Result<Done, platform::SystemError> set = set_environment_variable(name, value);
    if (!set) return failed("cannot set " + name + ": " + set.error().text);
  }
  return Done{};
}

// Serves the canvas while the command runs; gives how the command ended. The folders it made are
// removed when it returns.
Result<CommandEnd, Failure> run(const Options& options) {
  TemporaryFolder temporary, bin;  // bin: `zelto`, first on the command's PATH
  if (options.folder.empty()) {
    if (const Result<Done, Failure> made = temporary.make("zelto-standin-"); !made) return made.error();
  }
  if (const Result<Done, Failure> made = bin.make("zelto-standin-bin-"); !made) return made.error();
  const std::filesystem::path folder = options.folder.empty() ? temporary.path() : options.folder;
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (!error && !std::filesystem::is_directory(folder, error)) error = std::make_error_code(std::errc::not_a_directory);
  const std::filesystem::path canonical = error ? folder : std::filesystem::canonical(folder, error);
  if (error) return failed("cannot use the folder " + text_of(folder) + ": " + error.message());
  if (!std::filesystem::is_regular_file(options.client)) {
    return failed("no client at " + text_of(options.client) +
                  ": the stand-in runs the zelto-cli beside it, or the one given with --client");
  }
  const std::filesystem::path zelto = bin.path() / ("zelto" + text_of(options.client.extension()));
  if (std::filesystem::copy_file(options.client, zelto, error); error) {
    return failed("cannot copy " + text_of(options.client) + " to " + text_of(zelto) + ": " + error.message());
  }

  // The canvas answers for the rest of the process, even after the command ends.
  Canvas& canvas = *new Canvas(canonical, random_token());
  const Result<std::uint16_t, platform::SystemError> port = serve_in_background(options.port, canvas);
  if (!port) return failed("cannot listen on 127.0.0.1:" + std::to_string(options.port) + ": " + port.error().text);
  log("listening on 127.0.0.1:" + std::to_string(*port) + "; files in " + text_of(canonical));
  if (const Result<Done, Failure> set = set_terminal_variables(canvas, *port, bin.path()); !set) return set.error();

  std::vector<std::string> command = options.command;
  if (command.empty()) {
    command = {default_shell()};
    log("your shell (" + command[0] +
        ") runs as a terminal of the stand-in, \"Terminal 1\": try `zelto list`; "
        "`exit` leaves it and ends the stand-in");
  }
  const Result<CommandEnd, platform::SystemError> ended = run_command(command);
  if (!ended) return failed("cannot run " + command[0] + ": " + ended.error().text);
  return *ended;
}

// The stand-in's run, from its arguments to how it ends.
CommandEnd stand_in(std::span<const std::string> words) {
  const Result<Options, Failure> options = parse_options(words);
  if (!options) return {print_failure(options.error())};
  if (options->help) return {print_report([](ReportText& out) { out.add(kUsage); })};
  const Result<CommandEnd, Failure> ended = run(*options);
  return ended ? *ended : CommandEnd{print_failure(ended.error())};
}

}  // namespace

int main(int argc, char** argv) {
  catch_end_requests();
  platform::prepare_process();  // a log or a client gone away fails a write, and ends nothing
  CommandEnd ended;
  try {
    ended = stand_in(platform::arguments(argc, argv));
  } catch (const std::exception& error) {  // memory run out, or a text that a path cannot hold
    ended = {print_failure(failed(error.what()))};
  }
  end_like(ended);
}
