#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace zelto::testing {

// Where a standard stream of the client goes.
enum class StreamSetup {
  captured,     // a pipe the test reads
  no_handle,    // the descriptor is closed: the client starts without it
  broken_pipe,  // a pipe whose reading end is already closed
  full_device,  // /dev/full: every write fails for lack of space
};

struct ClientLaunch {
  std::vector<std::string> args;  // after the program name
  // ZELTO_* variables for the client; the test's own ZELTO_* variables are never passed on.
  std::vector<std::pair<std::string, std::string>> env;
  StreamSetup out = StreamSetup::captured;
  StreamSetup err = StreamSetup::captured;
};

struct ClientResult {
  int status = -1;  // exit status, or minus the signal that ended the process
  std::string out;
  std::string err;
};

// Runs the client under test: the program named by ZELTO_TEST_CLIENT, started through the command
// in ZELTO_TEST_LAUNCHER when that is set (for example Wine for the Windows build).
ClientResult run_client(const ClientLaunch& launch);

// True when the client under test is a Windows program.
bool client_is_windows();

}  // namespace zelto::testing
