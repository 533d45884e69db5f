#pragma once

#include <cstdint>
#include <string>

#include "failure.h"
#include "result.h"

namespace zelto {

// What the app gives each of its terminals, read from ZELTO_NODE_ID, ZELTO_PORT and ZELTO_TOKEN.
struct TerminalEnv {
  std::string node_id;  // never empty
  std::uint16_t port;   // never 0
  std::string token;    // may be empty
};

// The gate: reads the three variables, all of them before any decision, and passes when the node
// id is present and not empty, the port is present and valid, and the token is present (it may be
// empty). A value that is not valid UTF-8 counts as absent. Outside a terminal of the app the
// failure is the one fixed text, whatever is wrong.
Result<TerminalEnv, Failure> read_terminal_env();

}  // namespace zelto
