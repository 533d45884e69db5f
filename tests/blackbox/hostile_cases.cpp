// Apps that misbehave: resets, trickles, huge or broken answers, answers that never end.

#include "blackbox_case.h"

namespace zelto::testing {
namespace {

const std::string kRequest = R"({"from":"node-7","message":"oi","token":"tok","verb":"send"})";
const std::string kUnreadable = "zelto: resposta inválida\n";
const std::string kNotUtf8 = "zelto: falha ao falar com o app: stream did not contain valid UTF-8\n";
const std::string kNoteInstruction =
    "edite esse arquivo com suas ferramentas de arquivo para preencher/atualizar a nota.\n";

BlackBoxCase sending(std::string name, AppScript app, std::string out, std::string err = "", int status = 0) {
  return {.name = std::move(name), .args = {"send", "oi"}, .app = std::move(app), .request = kRequest,
          .out = std::move(out), .err = std::move(err), .status = status};
}

BlackBoxCase note_labelled(std::string name, AppScript app, const std::string& label) {
  return {.name = std::move(name), .args = {"note", "x"}, .app = std::move(app), .request = kAnyRequest,
          .out = "nota \"" + label + "\" criada no canvas, conectada a voce.\narquivo: ?\n" + kNoteInstruction};
}

const BlackBoxCase kCases[] = {
    {.name = "closes_without_reading", .args = {"send", "oi"}, .app = closes_without_reading(),
     .err = "zelto: falha ao falar com o app: {os:connection-reset}\n", .status = 1,
     .not_under_wine = "Wine reports the reset of an unread connection as the end of the stream"},
    sending("resets_in_the_middle_of_the_answer", resets_after(R"({"ok":true,"se)"), "",
            "zelto: falha ao falar com o app: {os:connection-reset}\n", 1),
    sending("answers_one_byte_at_a_time", trickles(R"({"ok":true,"sent":2})", 5), "enviado para 2 terminal(is).\n"),
    sending("bad_utf8_split_across_reads", answers_in_pieces({"{\"ok\":true,\"x\":\"\xc3", "(\"}"}), "", kNotUtf8, 1),
    sending("truncated_utf8_split_across_reads", answers_in_pieces({"{\"ok\":true,\"x\":\"\xe2\x80", "\"}"}), "",
            kNotUtf8, 1),
    note_labelled("utf8_character_split_across_reads",
                  answers_in_pieces({"{\"ok\":true,\"label\":\"a\xc3", "\xa9\xe2\x80", "\x94\xf0\x9f", "\x98\x80\"}"}),
                  "aé—\xf0\x9f\x98\x80"),
    sending("nul_byte_between_tokens", answers(std::string("{\"ok\":true,\0\"sent\":1}", 21)), "", kUnreadable, 1),
    sending("nul_byte_inside_a_string", answers(std::string("{\"ok\":true,\"x\":\"a\0b\"}", 22)), "", kUnreadable, 1),
    sending("only_nul_bytes", answers(std::string(64, '\0')), "", kUnreadable, 1),
    sending("escaped_nul_in_the_error_is_printed", answers(R"({"ok":false,"error":"a\u0000b"})"), "",
            std::string("zelto: a\0b\n", 11), 1),
    sending("answers_then_never_closes", holds_after(R"({"ok":true,"sent":1})"), "enviado para 1 terminal(is).\n"),
};

INSTANTIATE_TEST_SUITE_P(Hostile, BlackBox, ::testing::ValuesIn(kCases), case_name);

}  // namespace
}  // namespace zelto::testing

namespace zelto::testing {
namespace {

// Cases whose data is built when they run, not when the tests start.

TEST(HostileLarge, AnswerLargerThan64Mebibytes) {
  run_case(sending("answer", answers(R"({"ok":true,"sent":3,"pad":")" + std::string((64 << 20) + 1, 'x') + R"("})"),
                   "enviado para 3 terminal(is).\n"));
}

TEST(HostileLarge, WhiteSpaceAroundAMebibyte) {
  run_case(sending("answer", answers(std::string(1 << 20, ' ') + R"({"ok":true,"sent":1})" + std::string(1 << 20, '\n')),
                   "enviado para 1 terminal(is).\n"));
}

TEST(HostileLarge, TenMebibyteLabel) {
  const std::string label(10 << 20, 'a');
  run_case(note_labelled("answer", answers(R"({"ok":true,"label":")" + label + R"("})"), label));
}

TEST(HostileLarge, HundredThousandNestedArrays) {
  const std::string arrays = std::string(100000, '[') + std::string(100000, ']');
  run_case(sending("answer", answers(R"({"ok":true,"x":)" + arrays + "}"), "", kUnreadable, 1));
}

TEST(HostileLarge, HundredThousandUnclosedObjects) {
  std::string objects;
  for (int i = 0; i < 100000; ++i) objects += "{\"a\":";
  run_case(sending("answer", answers(objects), "", kUnreadable, 1));
}

}  // namespace
}  // namespace zelto::testing
