#include "env/terminal_env.h"

#include <optional>
#include <string_view>

#include "platform/platform.h"
#include "text/text.h"

namespace zelto {
namespace {

std::optional<std::string> present(const char* name) {
  std::optional<std::string> value = platform::environment_variable(name);
  if (value && !is_valid_utf8(*value)) return std::nullopt;
  return value;
}

// The port the text names, when it names one: decimal digits only, after at most one leading '+';
// leading zeros allowed; nothing else, no white space; from 1 to 65535.
std::optional<std::uint16_t> parse_port(std::string_view text) {
  if (text.starts_with('+')) text.remove_prefix(1);
  std::uint32_t port = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    port = port * 10 + static_cast<std::uint32_t>(c - '0');
    if (port > 65535) return std::nullopt;  // checked at each digit, so no length can overflow
  }
  if (port == 0) return std::nullopt;  // also the empty text
  return static_cast<std::uint16_t>(port);
}

}  // namespace

Result<TerminalEnv, Failure> read_terminal_env() {
  std::optional<std::string> node_id = present("ZELTO_NODE_ID");
  const std::optional<std::string> port_text = present("ZELTO_PORT");
  std::optional<std::string> token = present("ZELTO_TOKEN");
  const std::optional<std::uint16_t> port = port_text ? parse_port(*port_text) : std::nullopt;
  if (!node_id || node_id->empty() || !port || !token) {
    return Failure{"zelto: este comando só funciona dentro de um terminal do Zelto.\n", kExitFailure};
  }
  return TerminalEnv{std::move(*node_id), *port, std::move(*token)};
}

}  // namespace zelto
