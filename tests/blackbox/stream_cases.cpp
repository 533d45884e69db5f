// Standard output and standard error that cannot be written, or that the client starts without.

#include "blackbox_case.h"

namespace zelto::testing {
namespace {

using namespace std::string_literals;

const std::string kListRequest = R"({"from":"node-7","token":"tok","verb":"list"})";
const std::string kGate = "zelto: este comando só funciona dentro de um terminal do Zelto.\n";

// On Windows a terminal is a console, written in UTF-16: the text must still show as typed.
const std::string kListing =
    R"({"ok":true,"self":{"label":"Você é — ação"},"notes":[{"label":"Ação","path":"C:\\notas\\Ação.md"}]})";
const std::string kListingShown =
    "Você é: Você é — ação\nNotas conectadas (arquivos .md — leia/edite com suas ferramentas de arquivo):\n"
    "  - Ação: C:\\notas\\Ação.md\n";

// Texts from the app with control characters: ESC, BEL, DEL, a C1 control (U+009B), CR and NUL; a
// line feed, which is kept.
const std::string kControls = R"({"ok":true,"self":{"label":"a\u001b]52;c;aGk=\u0007b\u001b[2Jc\u007fd\u009be\rf\u0000g\nh"}})";
const std::string kControlsRaw = "Você é: a\x1b]52;c;aGk=\x07" "b\x1b[2Jc\x7f" "d\xc2\x9b" "e\rf\0g\nh\n(sem conexões)\n"s;
const std::string kControlsShown = "Você é: a^[]52;c;aGk=^Gb^[[2Jc^?d\\u009be^Mf^@g\nh\n(sem conexões)\n";

const BlackBoxCase kCases[] = {
    {.name = "stdout_on_terminal_shows_controls", .args = {"list"}, .app = answers(kControls),
     .request = kListRequest, .out = kControlsShown, .out_setup = StreamSetup::terminal},
    {.name = "stdout_on_pipe_keeps_controls", .args = {"list"}, .app = answers(kControls), .request = kListRequest,
     .out = kControlsRaw},
    {.name = "stderr_on_terminal_shows_controls", .args = {"list"},
     .app = answers(R"({"ok":false,"error":"x\u001b[31my\u0085"})"), .request = kListRequest,
     .err = "zelto: x^[[31my\\u0085\n", .status = 1, .err_setup = StreamSetup::terminal},
    {.name = "stdout_without_handle_and_dev_null_read_only", .args = {"list"}, .request = kListRequest,
     .out_setup = StreamSetup::no_handle, .read_only_dev_null = true},
    {.name = "stderr_without_handle_and_dev_null_read_only", .args = {"list"},
     .app = answers(R"({"ok":false,"error":"x"})"), .request = kListRequest, .status = 1,
     .err_setup = StreamSetup::no_handle, .read_only_dev_null = true},
    {.name = "both_without_handle_and_dev_null_read_only", .args = {"list"}, .request = kListRequest,
     .out_setup = StreamSetup::no_handle, .err_setup = StreamSetup::no_handle, .read_only_dev_null = true},
    {.name = "stdout_on_terminal", .args = {"list"}, .app = answers(kListing), .request = kListRequest,
     .out = kListingShown, .out_setup = StreamSetup::terminal},
    {.name = "stderr_on_terminal", .args = {"list"}, .app = answers(R"({"ok":false,"error":"não — já"})"),
     .request = kListRequest, .err = "zelto: não — já\n", .status = 1, .err_setup = StreamSetup::terminal},
    {.name = "stdout_without_handle", .args = {"list"}, .request = kListRequest, .out_setup = StreamSetup::no_handle},
    {.name = "stdout_broken_pipe", .args = {"list"}, .request = kListRequest,
     .err = "zelto: failed printing to stdout: {os:broken-pipe}\n", .status = 101,
     .out_setup = StreamSetup::broken_pipe},
    {.name = "stdout_full_device", .args = {"list"}, .request = kListRequest,
     .err = "zelto: failed printing to stdout: {os:no-space}\n", .status = 101,
     .out_setup = StreamSetup::full_device},
    {.name = "stdout_broken_but_nothing_to_print", .args = {"send"},
     .err = "uso: zelto send <alvo> <mensagem>  |  zelto send <mensagem>\n", .status = 2,
     .out_setup = StreamSetup::broken_pipe},
    {.name = "stderr_without_handle_on_gate", .args = {"list"}, .env = {{"ZELTO_TOKEN", std::nullopt}}, .status = 1,
     .err_setup = StreamSetup::no_handle},
    {.name = "stderr_without_handle_on_app_error", .args = {"list"}, .app = answers(R"({"ok":false,"error":"x"})"),
     .request = kListRequest, .status = 1, .err_setup = StreamSetup::no_handle},
    {.name = "stderr_without_handle_on_usage", .args = {"note"}, .status = 2, .err_setup = StreamSetup::no_handle},
    {.name = "stderr_broken_on_gate", .args = {"list"}, .env = {{"ZELTO_TOKEN", std::nullopt}}, .status = 101,
     .err_setup = StreamSetup::broken_pipe},
    {.name = "stderr_broken_on_app_error", .args = {"list"}, .app = answers(R"({"ok":false,"error":"x"})"),
     .request = kListRequest, .status = 101, .err_setup = StreamSetup::broken_pipe},
    {.name = "stderr_full_on_usage", .args = {"html"}, .status = 101, .err_setup = StreamSetup::full_device},
    {.name = "both_without_handle", .args = {"list"}, .request = kListRequest, .out_setup = StreamSetup::no_handle,
     .err_setup = StreamSetup::no_handle},
    {.name = "stdout_and_stderr_broken", .args = {"list"}, .request = kListRequest, .status = 101,
     .out_setup = StreamSetup::broken_pipe, .err_setup = StreamSetup::broken_pipe},
};

INSTANTIATE_TEST_SUITE_P(Streams, BlackBox, ::testing::ValuesIn(kCases), case_name);

}  // namespace
}  // namespace zelto::testing
