#include "env/terminal_env.h"

#include "platform/platform.h"

namespace zelto {

std::uint16_t parse_port(std::string_view text) {
  if (text.starts_with('+')) text.remove_prefix(1);
  std::uint32_t port = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return 0;
    port = port * 10 + static_cast<std::uint32_t>(c - '0');
    if (port > 65535) return 0;  // checked at each digit, so no length can overflow
  }
  return static_cast<std::uint16_t>(port);
}

std::optional<TerminalEnv> make_terminal_env(std::optional<std::string> node_id, std::optional<std::string> port,
                                             std::optional<std::string> token) {
  if (!node_id || node_id->empty() || !port || !token) return std::nullopt;
  const std::uint16_t port_number = parse_port(*port);
  if (port_number == 0) return std::nullopt;  // no port, or an invalid one
  return TerminalEnv{std::move(*node_id), port_number, std::move(*token)};
}

std::optional<TerminalEnv> read_terminal_env() {
  std::optional<std::string> node_id = platform::environment_variable("ZELTO_NODE_ID");
  std::optional<std::string> port = platform::environment_variable("ZELTO_PORT");
  std::optional<std::string> token = platform::environment_variable("ZELTO_TOKEN");
  return make_terminal_env(std::move(node_id), std::move(port), std::move(token));
}

}  // namespace zelto
