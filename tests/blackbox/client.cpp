#include "client.h"

#include <cstdlib>
#include <stdexcept>

namespace zelto::testing {
namespace {

std::string client_path() {
  const char* path = std::getenv("ZELTO_TEST_CLIENT");
  if (!path || !*path) throw std::runtime_error("ZELTO_TEST_CLIENT must name the client under test");
  return path;
}

}  // namespace

ProcessResult run_client(const ClientLaunch& launch) {
  std::vector<std::string> argv;
  if (const char* launcher = std::getenv("ZELTO_TEST_LAUNCHER"); launcher && *launcher) argv.emplace_back(launcher);
  argv.push_back(client_path());
  argv.insert(argv.end(), launch.args.begin(), launch.args.end());
  std::vector<std::string> env = environment_outside_terminal();
  for (const auto& [name, value] : launch.env) env.push_back(name + "=" + value);
  return run_process({std::move(argv), std::move(env), launch.out, launch.err});
}

bool client_is_windows() { return client_path().ends_with(".exe"); }

}  // namespace zelto::testing
