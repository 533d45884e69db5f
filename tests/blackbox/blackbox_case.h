#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "client.h"
#include "fake_app.h"

namespace zelto::testing {

inline const std::string kAnyRequest = "(any one request)";

// One run of the client against the fake app, and everything it must do.
struct BlackBoxCase {
  std::string name = {};
  std::vector<std::string> args = {};
  // For the Windows client only: the whole command line it is started with, instead of `args`.
  std::string windows_command_line = {};
  // Changes to the default terminal environment (ZELTO_NODE_ID=node-7, ZELTO_PORT=the fake app's
  // port, ZELTO_TOKEN=tok): a value, or nullopt for an unset variable. "{port}" in a value stands
  // for the fake app's port.
  std::vector<std::pair<std::string, std::optional<std::string>>> env = {};
  AppScript app = answers(R"({"ok":true})");
  // The line the app must receive, without its line feed; kAnyRequest when one request is expected
  // but checked by other cases; nullopt when no connection may be made.
  std::optional<std::string> request = {};
  std::string out = {};
  // Exact, except that "{os:NAME}" stands for an operating-system error text of that kind.
  std::string err = {};
  int status = 0;
  StreamSetup out_setup = StreamSetup::captured;
  StreamSetup err_setup = StreamSetup::captured;
  // Why Wine cannot show what Windows does here; the case is then skipped for the Windows client.
  std::string not_under_wine = {};
  // Linux only: the client runs in a mount namespace whose /dev/null is a read-only file.
  bool read_only_dev_null = false;
};

inline void PrintTo(const BlackBoxCase& c, std::ostream* os) { *os << c.name; }

// The parameterised test that runs the cases; each table instantiates it with its own cases.
class BlackBox : public ::testing::TestWithParam<BlackBoxCase> {};

std::string case_name(const ::testing::TestParamInfo<BlackBoxCase>& info);

// Runs one case and checks everything it expects; for cases too large to build before the tests start.
void run_case(const BlackBoxCase& c);

}  // namespace zelto::testing
