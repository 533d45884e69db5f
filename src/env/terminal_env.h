#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zelto {

// What the app gives each of its terminals, read from ZELTO_NODE_ID, ZELTO_PORT and ZELTO_TOKEN.
struct TerminalEnv {
  std::string node_id;  // never empty
  std::uint16_t port;   // never 0
  std::string token;    // may be empty
};

inline constexpr std::string_view kOutsideTerminalText =
    "zelto: este comando só funciona dentro de um terminal do Zelto.\n";

// The port the text names: decimal digits only, after at most one leading '+'; leading zeros
// allowed; nothing else, no white space. 0, which is no port, when the text is empty, is not such
// a number or exceeds 65535.
std::uint16_t parse_port(std::string_view text);

// The gate: a terminal environment when the node id is present and not empty, the port is
// present, valid and not 0, and the token is present (even empty).
std::optional<TerminalEnv> make_terminal_env(std::optional<std::string> node_id, std::optional<std::string> port,
                                             std::optional<std::string> token);

// Reads the three variables, all of them before any decision, and applies the gate.
std::optional<TerminalEnv> read_terminal_env();

}  // namespace zelto
