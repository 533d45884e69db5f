#pragma once

#include <string>

namespace zelto {

// Every status the program exits with.
enum ExitStatus : int {
  kExitReported = 0,       // the report was printed
  kExitFailure = 1,        // outside a terminal of the app, the exchange failed or the app said no
  kExitUsage = 2,          // unknown verb, missing arguments, arguments that are not Unicode
  kExitWriteFailed = 101,  // an open standard output or standard error could not be written
};

// Why a run ends early: the whole message for standard error and the status to exit with. The
// messages are Portuguese, but for the texts of failures of the system's kind ("failed printing to ",
// "out of memory", "stream did not contain valid UTF-8", "failed to write whole buffer"): those
// are English, and left so, as callers match on them.
struct Failure {
  std::string text;
  ExitStatus status;
};

}  // namespace zelto
