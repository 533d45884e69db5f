// Runs each black-box case: the real client binary against a fake app, checking the request bytes,
// standard output, standard error and exit status.

#include <gtest/gtest.h>

#include <chrono>
#include <regex>
#include <thread>

#include "blackbox_case.h"

namespace zelto::testing {
namespace {

struct OsErrorText {
  std::string_view name;
  std::string_view posix;            // glibc's text and number
  std::string_view windows_numbers;  // the error numbers Windows may give, as a regex alternative
};

constexpr OsErrorText kOsErrors[] = {
    {"connection-refused", "Connection refused (os error 111)", "10061"},
    {"broken-pipe", "Broken pipe (os error 32)", "109|232|233"},
    {"no-space", "No space left on device (os error 28)", "112"},
    {"connection-reset", "Connection reset by peer (os error 104)", "10054"},
};

std::string regex_escape(std::string_view text) {
  static const std::regex special(R"([.^$|()\[\]{}*+?\\])");
  return std::regex_replace(std::string(text), special, R"(\$&)");
}

// The expected text as a regular expression: literal, except for the "{os:NAME}" markers.
std::string expected_pattern(std::string_view expected, bool windows) {
  std::string pattern;
  for (;;) {
    const std::size_t marker = expected.find("{os:");
    pattern += regex_escape(expected.substr(0, marker));
    if (marker == std::string_view::npos) return pattern;
    const std::size_t end = expected.find('}', marker);
    const std::string_view name = expected.substr(marker + 4, end - marker - 4);
    const OsErrorText* error = nullptr;
    for (const OsErrorText& candidate : kOsErrors) {
      if (candidate.name == name) error = &candidate;
    }
    if (!error) throw std::runtime_error("unknown os error marker " + std::string(name));
    pattern += windows ? "[^\\n]+ \\(os error (" + std::string(error->windows_numbers) + ")\\)"
                       : regex_escape(error->posix);
    expected.remove_prefix(end + 1);
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

}  // namespace

void run_case(const BlackBoxCase& c) {
  if (client_is_windows() && !c.not_under_wine.empty()) GTEST_SKIP() << c.not_under_wine;
  FakeApp app(c.app);
  const std::unique_ptr<ChildProcess> client = start_client({c.args, client_env(c, app.port()), c.out_setup, c.err_setup});
  if (c.app.holds()) {
    // The app has answered but keeps the connection open: the client must still be waiting.
    app.wait_until_holding();
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_TRUE(client->running()) << "the client ended before the app closed the connection";
    app.release();
  }
  const ProcessResult result = client->finish();
  const std::vector<std::string> requests = app.stop();

  const auto shown = [](const std::string& text, StreamSetup setup) {
    return setup == StreamSetup::terminal ? without_terminal_controls(text) : text;
  };
  const std::string err = shown(result.err, c.err_setup);
  EXPECT_EQ(result.status, c.status);
  EXPECT_EQ(shown(result.out, c.out_setup), c.out);
  EXPECT_TRUE(std::regex_match(err, std::regex(expected_pattern(c.err, client_is_windows()))))
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
