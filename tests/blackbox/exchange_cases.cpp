// The exchange with the app: transport failures, the response text, the reader's limits and the
// outcome check. Every case sends `zelto send oi`.

#include "blackbox_case.h"

namespace zelto::testing {
namespace {

const std::string kRequest = R"({"from":"node-7","message":"oi","token":"tok","verb":"send"})";
const std::string kUnreadable = "zelto: resposta inválida\n";
const std::string kUnknownError = "zelto: erro desconhecido\n";

// The app answers `response`; the client must print `out` and succeed, or print `err` and fail.
BlackBoxCase accepted(std::string name, std::string response, std::string out) {
  return {.name = std::move(name), .args = {"send", "oi"}, .app = answers(std::move(response)), .request = kRequest,
          .out = std::move(out)};
}

BlackBoxCase refused(std::string name, std::string response, std::string err) {
  return {.name = std::move(name), .args = {"send", "oi"}, .app = answers(std::move(response)), .request = kRequest,
          .err = std::move(err), .status = 1};
}

std::string nested_arrays(int depth) { return std::string(depth, '[') + std::string(depth, ']'); }

const BlackBoxCase kCases[] = {
    {.name = "nothing_listening", .args = {"send", "oi"}, .app = not_listening(),
     .err = "zelto: falha ao falar com o app: {os:connection-refused}\n", .status = 1},
    {.name = "closed_without_answer", .args = {"send", "oi"},
     .app = closes_after_request(), .request = kRequest, .err = kUnreadable, .status = 1},
    refused("not_utf8", "{\"ok\":true,\"x\":\"\xff\"}",
            "zelto: falha ao falar com o app: stream did not contain valid UTF-8\n"),
    refused("truncated_utf8_at_end", "{\"ok\":true}\xc3",
            "zelto: falha ao falar com o app: stream did not contain valid UTF-8\n"),
    refused("utf8_encoded_surrogate", "{\"ok\":true,\"x\":\"\xed\xa0\x80\"}",
            "zelto: falha ao falar com o app: stream did not contain valid UTF-8\n"),
    refused("utf8_overlong", "{\"ok\":true,\"x\":\"\xc0\xaf\"}",
            "zelto: falha ao falar com o app: stream did not contain valid UTF-8\n"),

    accepted("ok_true", R"({"ok":true,"sent":1})", "enviado para 1 terminal(is).\n"),
    {.name = "keeps_sending_side_open", .args = {"send", "oi"}, .app = answers_after_watching(R"({"ok":true,"sent":1})"),
     .request = kRequest, .out = "enviado para 1 terminal(is).\n"},
    accepted("ascii_white_space_trimmed", "  {\"ok\":true,\"sent\":2}\r\n", "enviado para 2 terminal(is).\n"),
    accepted("unicode_white_space_trimmed",
             "\xc2\xa0\xe3\x80\x80\xe2\x80\xa8\x0b\x0c{\"ok\":true,\"sent\":2}\xc2\x85\xe1\x9a\x80\xe2\x80\x8a\xe2\x80\xaf"
             "\xe2\x81\x9f\xe2\x80\xa9",
             "enviado para 2 terminal(is).\n"),
    refused("zero_width_space_is_not_white_space", "\xe2\x80\x8b{\"ok\":true}", kUnreadable),
    refused("byte_order_mark", "\xef\xbb\xbf{\"ok\":true}", kUnreadable),
    refused("number_too_large", R"({"ok":true,"sent":1e400})", kUnreadable),
    accepted("number_too_small_reads_as_zero", R"({"ok":true,"sent":1e-400})", "enviado para 0 terminal(is).\n"),
    refused("two_documents", R"({"ok":true}{"ok":true})", kUnreadable),
    refused("trailing_characters", R"({"ok":true} x)", kUnreadable),
    refused("empty_response", "", kUnreadable),
    refused("only_white_space", " \n\xe3\x80\x80 ", kUnreadable),
    refused("nul_byte_inside", std::string("{\"ok\":true}\0", 12), kUnreadable),
    refused("raw_control_character_in_string", "{\"ok\":true,\"x\":\"a\tb\"}", kUnreadable),
    refused("lone_leading_surrogate", R"({"ok":true,"x":"\ud800"})", kUnreadable),
    refused("lone_trailing_surrogate", R"({"ok":true,"x":"\udc00"})", kUnreadable),
    refused("surrogate_pair_reversed", R"({"ok":true,"x":"\udc00\ud800"})", kUnreadable),
    refused("single_quotes", "{'ok':true}", kUnreadable),
    refused("trailing_comma", R"({"ok":true,})", kUnreadable),
    refused("capitalised_literal", R"({"ok":True})", kUnreadable),
    refused("leading_zero", R"({"ok":true,"sent":01})", kUnreadable),
    accepted("depth_127_read", R"({"ok":true,"x":)" + nested_arrays(126) + "}", "enviado para 0 terminal(is).\n"),
    refused("depth_128_refused", R"({"ok":true,"x":)" + nested_arrays(127) + "}", kUnreadable),

    refused("app_error", R"({"ok":false,"error":"alvo nao encontrado"})", "zelto: alvo nao encontrado\n"),
    refused("app_error_escapes_decoded", R"({"error":"linha\nnova \u00e9 \ud83d\ude00 \"x\"","ok":false})",
            "zelto: linha\nnova é \xf0\x9f\x98\x80 \"x\"\n"),
    refused("app_error_empty", R"({"ok":false,"error":""})", "zelto: \n"),
    refused("error_not_string", R"({"ok":false,"error":42})", kUnknownError),
    refused("ok_text", R"({"ok":"yes"})", kUnknownError),
    refused("ok_text_true", R"({"ok":"true","error":"x"})", "zelto: x\n"),
    refused("ok_one", R"({"ok":1})", kUnknownError),
    refused("ok_null", R"({"ok":null})", kUnknownError),
    refused("ok_missing", R"({"sent":1})", kUnknownError),
    refused("not_an_object", "[true]", kUnknownError),
    refused("bare_true", "true", kUnknownError),
    refused("ok_in_nested_object", R"({"x":{"ok":true}})", kUnknownError),
    accepted("duplicate_key_last_wins", R"({"ok":false,"ok":true,"sent":5})", "enviado para 5 terminal(is).\n"),
    refused("duplicate_key_last_loses", R"({"ok":true,"ok":false})", kUnknownError),
    accepted("unknown_members_ignored", R"({"zzz":[1,{"a":null}],"ok":true,"aaa":-1.5e3,"sent":4})",
             "enviado para 4 terminal(is).\n"),
};

INSTANTIATE_TEST_SUITE_P(Exchange, BlackBox, ::testing::ValuesIn(kCases), case_name);

}  // namespace
}  // namespace zelto::testing
