// The environment gate, and arguments or environment values that are not valid Unicode.

#include "blackbox_case.h"

namespace zelto::testing {
namespace {

const std::string kGate = "zelto: este comando só funciona dentro de um terminal do Zelto.\n";
const std::string kListRequest = R"({"from":"node-7","token":"tok","verb":"list"})";

BlackBoxCase refused(std::string name, std::vector<std::pair<std::string, std::optional<std::string>>> env,
                     std::vector<std::string> args = {"list"}) {
  return {.name = std::move(name), .args = std::move(args), .env = std::move(env), .err = kGate, .status = 1};
}

BlackBoxCase port_refused(std::string name, std::string port) {
  return refused(std::move(name), {{"ZELTO_PORT", std::move(port)}});
}

BlackBoxCase port_accepted(std::string name, std::string port) {
  return {.name = std::move(name), .args = {"list"}, .env = {{"ZELTO_PORT", std::move(port)}},
          .request = kListRequest, .out = "(sem conexões)\n"};
}

// A port the gate accepts but where the app is not: the client goes on and fails to connect.
BlackBoxCase port_passes_gate(std::string name, std::string port) {
  return {.name = std::move(name), .args = {"list"}, .env = {{"ZELTO_PORT", std::move(port)}},
          .app = not_listening(),
          .err = "zelto: falha ao falar com o app: {os:connection-refused}\n", .status = 1};
}

const BlackBoxCase kCases[] = {
    {.name = "token_empty_passes", .args = {"list"}, .env = {{"ZELTO_TOKEN", ""}},
     .request = R"({"from":"node-7","token":"","verb":"list"})", .out = "(sem conexões)\n"},
    {.name = "token_with_json_specials", .args = {"list"}, .env = {{"ZELTO_TOKEN", "a\"b\\c\td"}},
     .request = R"({"from":"node-7","token":"a\"b\\c\td","verb":"list"})", .out = "(sem conexões)\n"},
    {.name = "non_ascii_node_id", .args = {"list"}, .env = {{"ZELTO_NODE_ID", "nó—7"}},
     .request = R"({"from":"nó—7","token":"tok","verb":"list"})", .out = "(sem conexões)\n"},
    refused("node_id_empty", {{"ZELTO_NODE_ID", ""}}),
    refused("node_id_unset", {{"ZELTO_NODE_ID", std::nullopt}}),
    refused("port_unset", {{"ZELTO_PORT", std::nullopt}}),
    refused("token_unset", {{"ZELTO_TOKEN", std::nullopt}}),
    refused("all_unset", {{"ZELTO_NODE_ID", std::nullopt}, {"ZELTO_PORT", std::nullopt}, {"ZELTO_TOKEN", std::nullopt}}),
    refused("unset_without_verb", {{"ZELTO_TOKEN", std::nullopt}}, {}),
    refused("unset_with_unknown_verb", {{"ZELTO_NODE_ID", std::nullopt}}, {"foo"}),
    refused("unset_with_bad_usage", {{"ZELTO_PORT", std::nullopt}}, {"send"}),
    refused("unset_with_non_unicode_argument", {{"ZELTO_PORT", std::nullopt}}, {"send", "\xff"}),
    refused("node_id_not_unicode", {{"ZELTO_NODE_ID", "node\xff"}}),
    refused("token_not_unicode", {{"ZELTO_TOKEN", "\xed\xa0\x80"}}),  // an encoded surrogate
    refused("port_not_unicode", {{"ZELTO_PORT", "80\xc0\xb0"}}),
    port_refused("port_zero", "0"),
    port_refused("port_65536", "65536"),
    port_refused("port_plus_alone", "+"),
    port_refused("port_negative", "-1"),
    port_refused("port_leading_space", " {port}"),
    port_refused("port_trailing_space", "{port} "),
    port_refused("port_letters", "80a"),
    port_refused("port_empty", ""),
    port_refused("port_thirty_nines", std::string(30, '9')),
    port_accepted("port_with_plus", "+{port}"),
    port_accepted("port_leading_zeros", "00{port}"),
    port_accepted("port_twenty_six_zeros", std::string(26, '0') + "{port}"),
    port_passes_gate("port_1_passes_gate", "1"),
    port_passes_gate("port_65535_passes_gate", "65535"),
    {.name = "argument_not_unicode", .args = {"send", "Backend", "ol\xe1"},
     .err = "zelto: os argumentos precisam ser texto Unicode válido\n", .status = 2},
    {.name = "verb_not_unicode", .args = {"li\xffst"},
     .err = "zelto: os argumentos precisam ser texto Unicode válido\n", .status = 2},
    {.name = "ignored_argument_not_unicode", .args = {"list", "\xc3"},
     .err = "zelto: os argumentos precisam ser texto Unicode válido\n", .status = 2},
};

INSTANTIATE_TEST_SUITE_P(Gate, BlackBox, ::testing::ValuesIn(kCases), case_name);

}  // namespace
}  // namespace zelto::testing
