// zelto: one request from a terminal of the app, one report. The run is a straight pipeline:
// environment gate, command table, exchange with the app, report. Each step gives its value or the
// failure that ends the run; printing decides the exit status.

#include <new>

#include "commands/command_table.h"
#include "env/terminal_env.h"
#include "link/exchange.h"
#include "output/output.h"
#include "platform/platform.h"

namespace {

using namespace zelto;

int run(int argc, char** argv) {
  const Result<TerminalEnv, Failure> env = read_terminal_env();
  if (!env) return print_failure(env.error());
  const Result<Command, Failure> command = build_command(*env, platform::arguments(argc, argv));
  if (!command) return print_failure(command.error());
  const Result<Response, Failure> response = exchange_with_app(env->port, command->request);
  if (!response) return print_failure(response.error());
  return print_report([&](ReportText& out) { command->verb->report(response->value, out); });
}

}  // namespace

int main(int argc, char** argv) {
  platform::prepare_process();
  // Memory can run out anywhere: in reading the arguments, in building the report, in showing it.
  // What the run held is freed by then, so the message can still be written.
  try {
    return run(argc, argv);
  } catch (const std::bad_alloc&) {
    return print_failure({"zelto: out of memory\n", kExitFailure});
  }
}
