#include "client.h"

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

namespace zelto::testing {
namespace {

// The command that starts the client: ZELTO_TEST_CLIENT, words separated by spaces, the program last.
std::vector<std::string> client_command() {
  const char* command = std::getenv("ZELTO_TEST_CLIENT");
  if (!command || !*command) throw std::runtime_error("ZELTO_TEST_CLIENT must give the command that starts the client");
  std::vector<std::string> words;
  for (std::string_view rest = command; !rest.empty();) {
    const std::size_t space = rest.find(' ');
    if (space != 0) words.emplace_back(rest.substr(0, space));
    rest = space == std::string_view::npos ? std::string_view() : rest.substr(space + 1);
  }
  return words;
}

std::string hex(std::string_view bytes) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string out;
  for (const char c : bytes) {
    out += kDigits[static_cast<unsigned char>(c) >> 4];
    out += kDigits[static_cast<unsigned char>(c) & 0xF];
  }
  return out;
}

// A Windows program is started by zelto-test-spawn.exe (built beside it), which gives it a UTF-16
// command line and environment as a Windows parent would, and no handle at all for a stream the
// case wants without one.
ProcessLaunch windows_client_launch(const ClientLaunch& launch, std::vector<std::string> argv) {
  const std::filesystem::path client = argv.back();
  argv.pop_back();
  const auto mode = [](StreamSetup setup) { return setup == StreamSetup::no_handle ? "none" : "inherit"; };
  const auto linux_side = [](StreamSetup setup) {
    return setup == StreamSetup::no_handle ? StreamSetup::captured : setup;
  };
  std::string windows_path = "Z:" + client.string();
  for (char& c : windows_path) c = c == '/' ? '\\' : c;

  argv.push_back((client.parent_path() / "zelto-test-spawn.exe").string());
  argv.push_back(mode(launch.out));
  argv.push_back(mode(launch.err));
  argv.push_back(hex(windows_path));
  for (const auto& [name, value] : launch.env) argv.push_back(hex(name + "=" + value));
  if (launch.command_line.empty()) {
    argv.emplace_back("--");
    for (const std::string& arg : launch.args) argv.push_back(hex(arg));
  } else {
    argv.emplace_back("--line");
    argv.push_back(hex(launch.command_line));
  }
  return {std::move(argv), environment_outside_terminal(), linux_side(launch.out), linux_side(launch.err)};
}

ProcessLaunch client_launch(const ClientLaunch& launch) {
  std::vector<std::string> argv = client_command();
  if (client_is_windows()) return windows_client_launch(launch, std::move(argv));

  argv.insert(argv.begin(), launch.wrapper.begin(), launch.wrapper.end());
  argv.insert(argv.end(), launch.args.begin(), launch.args.end());
  std::vector<std::string> env = environment_outside_terminal();
  for (const auto& [name, value] : launch.env) env.push_back(name + "=" + value);
  return {std::move(argv), std::move(env), launch.out, launch.err};
}

}  // namespace

ProcessResult run_client(const ClientLaunch& launch) { return run_process(client_launch(launch)); }

std::unique_ptr<ChildProcess> start_client(const ClientLaunch& launch) {
  return std::make_unique<ChildProcess>(client_launch(launch));
}

bool client_is_windows() { return client_command().back().ends_with(".exe"); }

}  // namespace zelto::testing
