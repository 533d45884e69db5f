#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zelto::testing {

// Where a standard stream of a child process goes.
enum class StreamSetup {
  captured,     // a pipe the test reads
  no_handle,    // the descriptor is closed: the process starts without it
  broken_pipe,  // a pipe whose reading end is already closed
  full_device,  // /dev/full: every write fails for lack of space
  terminal,     // a pseudo-terminal the test reads: an interactive console
};

// What a program wrote to a terminal, without carriage returns and terminal escape sequences.
std::string without_terminal_controls(std::string_view text);

struct ProcessLaunch {
  std::vector<std::string> argv;  // argv[0] is the program's path
  std::vector<std::string> env;   // NAME=value entries, the whole environment
  StreamSetup out = StreamSetup::captured;
  StreamSetup err = StreamSetup::captured;
};

struct ProcessResult {
  int status = -1;  // exit status, or minus the signal that ended the process
  std::string out;
  std::string err;
};

// A program started with standard input on /dev/null.
class ChildProcess {
 public:
  explicit ChildProcess(const ProcessLaunch& launch);
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // True while the program has not ended.
  bool running();
  // Reads what it writes to the end and waits for it to end.
  ProcessResult finish();

 private:
  int pid_ = -1;
  int out_fd_ = -1;
  int err_fd_ = -1;
  std::optional<int> wait_status_;
};

// Runs a program with standard input on /dev/null and waits for it.
ProcessResult run_process(const ProcessLaunch& launch);

// This process's environment without the terminal variables ZELTO_NODE_ID, ZELTO_PORT and ZELTO_TOKEN.
std::vector<std::string> environment_outside_terminal();

}  // namespace zelto::testing
