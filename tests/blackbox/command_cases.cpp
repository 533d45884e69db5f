// The command table: verbs, argument counts, usage texts and the exact request each verb sends.

#include "blackbox_case.h"

namespace zelto::testing {
namespace {

const std::string kUnknownTail = "'. Use: list | send | reply | note | diagram | html | browser\n";

BlackBoxCase unknown(std::string name, std::vector<std::string> args) {
  const std::string verb = args.empty() ? "" : args[0];
  return {.name = std::move(name), .args = std::move(args), .err = "zelto: comando desconhecido '" + verb + kUnknownTail,
          .status = 2};
}

BlackBoxCase usage(std::string verb, std::string text) {
  return {.name = verb + "_without_arguments", .args = {verb}, .err = std::move(text), .status = 2};
}

// A verb that reaches the app: checks the request it sends; the app answers {"ok":true}.
BlackBoxCase sends(std::string name, std::vector<std::string> args, std::string request, std::string out) {
  return {.name = std::move(name), .args = std::move(args), .request = std::move(request), .out = std::move(out)};
}

// The Windows client, started with exactly this command line, must send `request`.
BlackBoxCase windows_line(std::string name, std::string line, std::string request, std::string out) {
  return {.name = "windows_line_" + std::move(name), .windows_command_line = std::move(line),
          .request = std::move(request), .out = std::move(out)};
}

const std::string kSent0 = "enviado para 0 terminal(is).\n";
const std::string kNoCaller = "nenhum chamador recebeu a resposta.\n";
const std::string kNoteOut =
    "nota \"?\" criada no canvas, conectada a voce.\narquivo: ?\n"
    "edite esse arquivo com suas ferramentas de arquivo para preencher/atualizar a nota.\n";
const std::string kHtmlOut =
    "pagina HTML \"?\" criada no canvas, conectada a voce.\narquivo: ?\n"
    "edite esse arquivo com suas ferramentas de arquivo para criar/atualizar a pagina (mantenha CSS/JS inline).\n";
const std::string kDiagramOut = "diagrama \"?\" criado no canvas, conectado a voce.\narquivo: ?\n";
const std::string kBrowserOut =
    "navegador \"?\" navegou para a nova URL.\nurl: ?\nCDP: http://127.0.0.1:9333\n"
    "para dirigir voce mesmo (clicar/preencher/navegar), conecte o Playwright via connectOverCDP nesse endpoint; "
    "senao, o usuario opera a janela aberta.\n";

const BlackBoxCase kCases[] = {
    unknown("no_arguments", {}),
    unknown("upper_case_verb", {"LIST"}),
    unknown("abbreviated_verb", {"lis"}),
    unknown("verb_with_trailing_space", {"list "}),
    unknown("option_like_verb", {"--help"}),
    unknown("empty_verb", {"", "list"}),
    unknown("non_ascii_verb", {"lístá", "x"}),
    usage("send", "uso: zelto send <alvo> <mensagem>  |  zelto send <mensagem>\n"),
    usage("reply", "uso: zelto reply <sua resposta>\n"),
    usage("note", "uso: zelto note <titulo> [conteudo inicial]\n"),
    usage("diagram", "uso: zelto diagram <titulo> [json {boxes,arrows}]\n"),
    usage("html", "uso: zelto html <titulo> [html inicial]\n"),
    usage("browser", "uso: zelto browser [nome] <url>\n"),

    sends("list_plain", {"list"}, R"({"from":"node-7","token":"tok","verb":"list"})", "(sem conexões)\n"),
    sends("list_ignores_arguments", {"list", "extra", "words"}, R"({"from":"node-7","token":"tok","verb":"list"})",
          "(sem conexões)\n"),
    sends("send_message_only", {"send", "pronto"}, R"({"from":"node-7","message":"pronto","token":"tok","verb":"send"})",
          kSent0),
    sends("send_one_argument_with_space", {"send", "a b"},
          R"({"from":"node-7","message":"a b","token":"tok","verb":"send"})", kSent0),
    sends("send_target_and_words", {"send", "Backend", "roda", "os", "testes"},
          R"({"from":"node-7","message":"roda os testes","target":"Backend","token":"tok","verb":"send"})", kSent0),
    sends("send_target_and_empty_message", {"send", "Backend", ""},
          R"({"from":"node-7","message":"","target":"Backend","token":"tok","verb":"send"})", kSent0),
    sends("send_escapes", {"send", "T", "linha\nnova\t\"aspas\" \\ \x01\x1f\x7f/"},
          R"({"from":"node-7","message":"linha\nnova\t\"aspas\" \\ \u0001\u001f)" "\x7f" R"(/","target":"T","token":"tok","verb":"send"})",
          kSent0),
    sends("send_every_named_escape", {"send", "\b\f\r"},
          R"({"from":"node-7","message":"\b\f\r","token":"tok","verb":"send"})", kSent0),
    sends("send_non_ascii_raw", {"send", "ação —", "olá", "\xf0\x9f\x98\x80"},
          R"({"from":"node-7","message":"olá )" "\xf0\x9f\x98\x80" R"(","target":"ação —","token":"tok","verb":"send"})",
          kSent0),
    sends("reply_one", {"reply", "feito"}, R"({"from":"node-7","message":"feito","token":"tok","verb":"reply"})",
          kNoCaller),
    sends("reply_joins_with_empty_piece", {"reply", "a", "", "b"},
          R"({"from":"node-7","message":"a  b","token":"tok","verb":"reply"})", kNoCaller),
    sends("reply_empty_first_piece", {"reply", "", "x"},
          R"({"from":"node-7","message":" x","token":"tok","verb":"reply"})", kNoCaller),
    sends("reply_keeps_spaces", {"reply", " a ", " b"},
          R"({"from":"node-7","message":" a   b","token":"tok","verb":"reply"})", kNoCaller),
    sends("note_title_only", {"note", "T"}, R"({"from":"node-7","title":"T","token":"tok","verb":"note"})", kNoteOut),
    sends("note_empty_content", {"note", "T", ""},
          R"({"from":"node-7","message":"","title":"T","token":"tok","verb":"note"})", kNoteOut),
    sends("note_content_joined", {"note", "Plano", "# Plano", "inicial"},
          R"({"from":"node-7","message":"# Plano inicial","title":"Plano","token":"tok","verb":"note"})", kNoteOut),
    sends("html_title_only", {"html", "Painel"}, R"({"from":"node-7","title":"Painel","token":"tok","verb":"html"})",
          kHtmlOut),
    sends("html_content", {"html", "Painel", "<h1>Oi</h1>", "<p>x</p>"},
          R"({"from":"node-7","message":"<h1>Oi</h1> <p>x</p>","title":"Painel","token":"tok","verb":"html"})",
          kHtmlOut),
    sends("diagram_title_only", {"diagram", "Fluxo"},
          R"({"from":"node-7","title":"Fluxo","token":"tok","verb":"diagram"})", kDiagramOut),
    sends("diagram_json_text", {"diagram", "Fluxo", R"({"boxes":[]})"},
          R"({"diagram":"{\"boxes\":[]}","from":"node-7","title":"Fluxo","token":"tok","verb":"diagram"})",
          kDiagramOut),
    sends("diagram_not_json_still_sent", {"diagram", "Fluxo", "{boxes:", "[}"},
          R"({"diagram":"{boxes: [}","from":"node-7","title":"Fluxo","token":"tok","verb":"diagram"})", kDiagramOut),
    sends("browser_url_only", {"browser", "https://exemplo.com"},
          R"({"from":"node-7","token":"tok","url":"https://exemplo.com","verb":"browser"})", kBrowserOut),
    sends("browser_name_and_url", {"browser", "docs", "endereco", "x"},
          R"({"from":"node-7","target":"docs","token":"tok","url":"endereco","verb":"browser"})", kBrowserOut),
    sends("browser_drops_extra_arguments", {"browser", "a", "b", "c", "d"},
          R"({"from":"node-7","target":"a","token":"tok","url":"b","verb":"browser"})", kBrowserOut),

    // Command lines split as the Microsoft C runtime splits them.
    windows_line("doubled_quote_in_quoted_run", R"(zelto-cli.exe send "Back""end" "x y")",
                 R"({"from":"node-7","message":"x y","target":"Back\"end","token":"tok","verb":"send"})", kSent0),
    windows_line("quoted_run_goes_on_after_doubled_quote", R"(zelto-cli.exe reply "diz ""oi"" agora")",
                 R"({"from":"node-7","message":"diz \"oi\" agora","token":"tok","verb":"reply"})", kNoCaller),
    windows_line("doubled_quote_then_space", R"(zelto-cli.exe send "a"" b" c)",
                 R"({"from":"node-7","message":"c","target":"a\" b","token":"tok","verb":"send"})", kSent0),
    windows_line("doubled_quote_then_empty_argument", R"(zelto-cli.exe reply "a""b" "")",
                 R"({"from":"node-7","message":"a\"b ","token":"tok","verb":"reply"})", kNoCaller),
    windows_line("doubled_quotes_outside_quoted_run", R"(zelto-cli.exe reply a""b """")",
                 R"({"from":"node-7","message":"ab \"","token":"tok","verb":"reply"})", kNoCaller),
    windows_line("quoted_run_keeps_spaces_to_the_end", R"(zelto-cli.exe send a"b"" c d)",
                 R"({"from":"node-7","message":"ab\" c d","token":"tok","verb":"send"})", kSent0),
    windows_line("even_backslashes_before_quote", R"(zelto-cli.exe reply a\\"b c" d)",
                 R"({"from":"node-7","message":"a\\b c d","token":"tok","verb":"reply"})", kNoCaller),
    windows_line("odd_backslashes_before_quote", R"(zelto-cli.exe reply a\\\"b \"c)",
                 R"({"from":"node-7","message":"a\\\"b \"c","token":"tok","verb":"reply"})", kNoCaller),
    windows_line("backslashes_elsewhere_literal", R"(zelto-cli.exe reply a\\\b d"e f"g h)",
                 R"({"from":"node-7","message":"a\\\\\\b de fg h","token":"tok","verb":"reply"})", kNoCaller),
    windows_line("trailing_backslashes", R"(zelto-cli.exe reply C:\dir\ "C:\dir two\\" x\\)",
                 R"({"from":"node-7","message":"C:\\dir\\ C:\\dir two\\ x\\\\","token":"tok","verb":"reply"})",
                 kNoCaller),
    windows_line("tabs_separate", "zelto-cli.exe\treply\ta\t\t\"b\tc\"\t",
                 R"({"from":"node-7","message":"a b\tc","token":"tok","verb":"reply"})", kNoCaller),
    windows_line("empty_arguments", R"(zelto-cli.exe send "" "")",
                 R"({"from":"node-7","message":"","target":"","token":"tok","verb":"send"})", kSent0),
    windows_line("unclosed_quote", R"(zelto-cli.exe reply "x  y)",
                 R"({"from":"node-7","message":"x  y","token":"tok","verb":"reply"})", kNoCaller),
    windows_line("program_path_with_spaces", R"("C:\Program Files\zelto\zelto-cli.exe" send "x y" z)",
                 R"({"from":"node-7","message":"z","target":"x y","token":"tok","verb":"send"})", kSent0),
    windows_line("program_path_backslash_before_closing_quote", R"("C:\Program Files\zelto\" reply x)",
                 R"({"from":"node-7","message":"x","token":"tok","verb":"reply"})", kNoCaller),
    windows_line("program_path_unquoted", R"(C:\zelto\zelto-cli.exe reply "x")",
                 R"({"from":"node-7","message":"x","token":"tok","verb":"reply"})", kNoCaller),
};

INSTANTIATE_TEST_SUITE_P(Commands, BlackBox, ::testing::ValuesIn(kCases), case_name);

}  // namespace
}  // namespace zelto::testing
