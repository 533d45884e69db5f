// Runs each black-box case: the real client binary against a fake app, checking the request bytes,
// standard output, standard error and exit status.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "blackbox_case.h"

namespace zelto::testing {
namespace {

struct OsErrorText {
  std::string_view name;
  std::string_view posix;                     // glibc's text and number
  std::vector<std::string_view> windows_codes;  // the error numbers Windows (or Wine) may give
};

const OsErrorText kOsErrors[] = {
    {"connection-refused", "Connection refused (os error 111)", {"10061"}},
    {"broken-pipe", "Broken pipe (os error 32)", {"109", "232", "233"}},
    {"no-space", "No space left on device (os error 28)", {"112"}},
    {"connection-reset", "Connection reset by peer (os error 104)", {"10054"}},
};

const OsErrorText& os_error(std::string_view name) {
  for (const OsErrorText& error : kOsErrors) {
    if (error.name == name) return error;
  }
  throw std::runtime_error("unknown os error marker " + std::string(name));
}

// Takes a Windows error text off the front of `actual`: the system's words (one line) and
// " (os error N)" with N one of `codes`.
bool take_windows_error(std::string_view& actual, const std::vector<std::string_view>& codes) {
  const std::size_t line_end = std::min(actual.find('\n'), actual.size());
  const std::size_t number_at = actual.substr(0, line_end).rfind(" (os error ");
  if (number_at == std::string_view::npos || number_at == 0) return false;
  const std::string_view rest = actual.substr(number_at + 11);
  for (const std::string_view code : codes) {
    if (rest.starts_with(std::string(code) + ")")) {
      actual.remove_prefix(number_at + 11 + code.size() + 1);
      return true;
    }
  }
  return false;
}

// `actual` is `expected`, except that each "{os:NAME}" in `expected` stands for the text of that
// operating-system error: glibc's exact words, or on Windows any words with one of its numbers.
bool matches(std::string_view actual, std::string_view expected, bool windows) {
  for (;;) {
    const std::size_t marker = expected.find("{os:");
    const std::string_view literal = expected.substr(0, marker);
    if (!actual.starts_with(literal)) return false;
    actual.remove_prefix(literal.size());
    if (marker == std::string_view::npos) return actual.empty();
    const std::size_t end = expected.find('}', marker);
    const OsErrorText& error = os_error(expected.substr(marker + 4, end - marker - 4));
    expected.remove_prefix(end + 1);
    if (windows) {
      if (!take_windows_error(actual, error.windows_codes)) return false;
    } else {
      if (!actual.starts_with(error.posix)) return false;
      actual.remove_prefix(error.posix.size());
    }
  }
}

std::vector<std::pair<std::string, std::string>> client_env(const BlackBoxCase& c, std::uint16_t port) {
  std::vector<std::pair<std::string, std::optional<std::string>>> vars = {
      {"ZELTO_NODE_ID", "node-7"}, {"ZELTO_PORT", "{port}"}, {"ZELTO_TOKEN", "tok"}};
  for (const auto& change : c.env) {
    for (auto& var : vars) {
      if (var.first == change.first) var.second = change.second;
    }
  }
  std::vector<std::pair<std::string, std::string>> env;
  for (auto& [name, value] : vars) {
    if (!value) continue;
    if (const std::size_t at = value->find("{port}"); at != std::string::npos) {
      value->replace(at, 6, std::to_string(port));
    }
    env.emplace_back(name, *value);
  }
  return env;
}

// A command that runs the client in a mount namespace where /dev/null is a read-only file, so that
// a missing standard stream cannot be filled with it; empty when the machine refuses namespaces.
std::vector<std::string> read_only_dev_null_wrapper() {
  const std::string file = (std::filesystem::temp_directory_path() / "zelto-test-read-only-null").string();
  std::ofstream{file};
  std::vector<std::string> wrapper = {
      "/usr/bin/unshare", "-m", "sh", "-c",
      R"(mount --bind "$0" /dev/null && mount -o remount,bind,ro /dev/null && exec "$@")", file};
  std::vector<std::string> probe = wrapper;
  probe.insert(probe.end(), {"sh", "-c", "! true >/dev/null"});
  if (run_process({probe, environment_outside_terminal()}).status != 0) return {};
  return wrapper;
}

}  // namespace

void run_case(const BlackBoxCase& c) {
  if (client_is_windows() && !c.not_under_wine.empty()) GTEST_SKIP() << c.not_under_wine;
  if (!client_is_windows() && !c.windows_command_line.empty()) GTEST_SKIP() << "a raw command line is Windows' own";
  std::vector<std::string> wrapper;
  if (c.read_only_dev_null) {
    if (client_is_windows()) GTEST_SKIP() << "a read-only /dev/null is Linux's own";
    wrapper = read_only_dev_null_wrapper();
    if (wrapper.empty()) GTEST_SKIP() << "this machine refuses mount namespaces (unshare -m), which the case needs";
  }
  FakeApp app(c.app);
  const std::unique_ptr<ChildProcess> client = start_client(
      {c.args, c.windows_command_line, wrapper, client_env(c, app.port()), c.out_setup, c.err_setup});
  if (c.app.holds()) {
    // The app has answered but keeps the connection open: the client must still be waiting.
    app.wait_until_holding();
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_TRUE(client->running()) << "the client ended before the app closed the connection";
    app.release();
  }
  const ProcessResult result = client->finish();
  const std::vector<std::string> requests = app.stop();
  EXPECT_FALSE(app.saw_half_close()) << "the client shut down its sending side";

  const auto shown = [](const std::string& text, StreamSetup setup) {
    return setup == StreamSetup::terminal ? without_terminal_controls(text) : text;
  };
  const std::string err = shown(result.err, c.err_setup);
  EXPECT_EQ(result.status, c.status);
  EXPECT_EQ(shown(result.out, c.out_setup), c.out);
  EXPECT_TRUE(matches(err, c.err, client_is_windows()))
      << "stderr:   " << ::testing::PrintToString(err) << "\nexpected: " << ::testing::PrintToString(c.err);
  if (c.request) {
    ASSERT_EQ(requests.size(), 1u);
    if (c.request != kAnyRequest) {
      EXPECT_EQ(requests[0], *c.request + "\n");
    }
  } else {
    EXPECT_EQ(requests.size(), 0u) << "no connection may be made";
  }
}

TEST_P(BlackBox, Run) { run_case(GetParam()); }

std::string case_name(const ::testing::TestParamInfo<BlackBoxCase>& info) { return info.param.name; }

}  // namespace zelto::testing
