// What a successful run prints: the confirmations and the listing report, with every default.

#include "blackbox_case.h"

namespace zelto::testing {
namespace {

const std::string kPlaywrightLine =
    "para dirigir voce mesmo (clicar/preencher/navegar), conecte o Playwright via connectOverCDP nesse endpoint; "
    "senao, o usuario opera a janela aberta.\n";
const std::string kNoteInstruction =
    "edite esse arquivo com suas ferramentas de arquivo para preencher/atualizar a nota.\n";
const std::string kHtmlInstruction =
    "edite esse arquivo com suas ferramentas de arquivo para criar/atualizar a pagina (mantenha CSS/JS inline).\n";
const std::string kConnectionsHeading = "Agentes conectados (use `zelto send <nome> <mensagem>`):\n";
const std::string kNotesHeading = "Notas conectadas (arquivos .md — leia/edite com suas ferramentas de arquivo):\n";
const std::string kDiagramsHeading =
    "Diagramas conectados (arquivos .diagram.json — LEIA com suas ferramentas de arquivo pra entender o "
    "fluxo/arquitetura; use-os como apoio, ex.: ao codificar o que descrevem):\n";
const std::string kPagesHeading =
    "Paginas HTML conectadas (arquivos .html renderizados no canvas — edite-os com suas ferramentas de arquivo pra "
    "criar/atualizar a pagina; mantenha CSS/JS inline):\n";
const std::string kBrowsersHeading =
    "Navegadores conectados (webviews reais no canvas — abra/navegue com `zelto browser <url>`; dirija via "
    "Playwright connectOverCDP no endpoint):\n";

// `args` get `response` from the app and must print `out`; the request itself is checked elsewhere.
BlackBoxCase prints(std::string name, std::vector<std::string> args, std::string response, std::string out) {
  return {.name = std::move(name), .args = std::move(args), .app = answers(std::move(response)), .request = kAnyRequest,
          .out = std::move(out)};
}

BlackBoxCase sent(std::string name, std::string response, std::string count) {
  return prints(std::move(name), {"send", "x"}, std::move(response), "enviado para " + count + " terminal(is).\n");
}

BlackBoxCase replied(std::string name, std::string response, bool received) {
  return prints(std::move(name), {"reply", "x"}, std::move(response),
                received ? "resposta enviada ao chamador.\n" : "nenhum chamador recebeu a resposta.\n");
}

BlackBoxCase listed(std::string name, std::string response, std::string out) {
  return prints(std::move(name), {"list"}, std::move(response), std::move(out));
}

const BlackBoxCase kCases[] = {
    sent("sent_3", R"({"ok":true,"sent":3})", "3"),
    sent("sent_largest", R"({"ok":true,"sent":18446744073709551615})", "18446744073709551615"),
    sent("sent_zero", R"({"ok":true,"sent":0})", "0"),
    sent("sent_floating", R"({"ok":true,"sent":2.0})", "0"),
    sent("sent_exponent", R"({"ok":true,"sent":1e2})", "0"),
    sent("sent_negative", R"({"ok":true,"sent":-1})", "0"),
    sent("sent_text", R"({"ok":true,"sent":"3"})", "0"),
    sent("sent_beyond_unsigned", R"({"ok":true,"sent":18446744073709551616})", "0"),
    sent("sent_missing", R"({"ok":true})", "0"),
    replied("reply_sent_1", R"({"ok":true,"sent":1})", true),
    replied("reply_sent_7", R"({"ok":true,"sent":7})", true),
    replied("reply_sent_0", R"({"ok":true,"sent":0})", false),
    replied("reply_sent_true", R"({"ok":true,"sent":true})", false),
    replied("reply_sent_floating", R"({"ok":true,"sent":1.0})", false),
    replied("reply_sent_missing", R"({"ok":true})", false),

    prints("note_created", {"note", "Plano"}, R"({"ok":true,"label":"Plano","path":"C:\\notas\\Plano.md"})",
           "nota \"Plano\" criada no canvas, conectada a voce.\narquivo: C:\\notas\\Plano.md\n" + kNoteInstruction),
    prints("note_defaults", {"note", "Plano"}, R"({"ok":true,"label":7,"path":null})",
           "nota \"?\" criada no canvas, conectada a voce.\narquivo: ?\n" + kNoteInstruction),
    prints("note_label_printed_raw", {"note", "x"}, R"({"ok":true,"label":"a\"b\nc","path":"/p"})",
           "nota \"a\"b\nc\" criada no canvas, conectada a voce.\narquivo: /p\n" + kNoteInstruction),
    prints("html_created", {"html", "Painel"}, R"({"ok":true,"label":"Painel","path":"/w/Painel.html"})",
           "pagina HTML \"Painel\" criada no canvas, conectada a voce.\narquivo: /w/Painel.html\n" + kHtmlInstruction),
    prints("html_defaults", {"html", "Painel"}, R"({"ok":true})",
           "pagina HTML \"?\" criada no canvas, conectada a voce.\narquivo: ?\n" + kHtmlInstruction),
    prints("diagram_created", {"diagram", "Fluxo"}, R"({"ok":true,"label":"Fluxo","path":"/w/Fluxo.diagram.json"})",
           "diagrama \"Fluxo\" criado no canvas, conectado a voce.\narquivo: /w/Fluxo.diagram.json\n"),
    prints("diagram_defaults", {"diagram", "Fluxo"}, R"({"ok":true,"path":["x"]})",
           "diagrama \"?\" criado no canvas, conectado a voce.\narquivo: ?\n"),
    prints("browser_created", {"browser", "docs", "https://a.b"},
           R"({"ok":true,"label":"docs","url":"https://a.b","cdp":"http://127.0.0.1:9400","created":true})",
           "navegador \"docs\" aberto no canvas, conectado a voce.\nurl: https://a.b\nCDP: http://127.0.0.1:9400\n" +
               kPlaywrightLine),
    prints("browser_navigated", {"browser", "https://a.b"},
           R"({"ok":true,"label":"docs","url":"https://a.b","cdp":"ws://x","created":false})",
           "navegador \"docs\" navegou para a nova URL.\nurl: https://a.b\nCDP: ws://x\n" + kPlaywrightLine),
    prints("browser_created_one_is_not_true", {"browser", "u"}, R"({"ok":true,"label":"d","url":"u","created":1})",
           "navegador \"d\" navegou para a nova URL.\nurl: u\nCDP: http://127.0.0.1:9333\n" + kPlaywrightLine),
    prints("browser_defaults", {"browser", "u"}, R"({"ok":true,"cdp":false})",
           "navegador \"?\" navegou para a nova URL.\nurl: ?\nCDP: http://127.0.0.1:9333\n" + kPlaywrightLine),

    listed("list_nothing", R"({"ok":true})", "(sem conexões)\n"),
    listed("list_self_only", R"({"ok":true,"self":{"label":"Terminal 2"}})", "Você é: Terminal 2\n(sem conexões)\n"),
    listed("list_self_label_not_text", R"({"ok":true,"self":{"label":5}})", "(sem conexões)\n"),
    listed("list_self_not_object", R"({"ok":true,"self":"x"})", "(sem conexões)\n"),
    listed("list_empty_arrays", R"({"ok":true,"connections":[],"notes":[],"diagrams":[],"htmls":[],"browsers":[]})",
           "(sem conexões)\n"),
    listed("list_connections_object_counts_empty", R"({"ok":true,"connections":{"label":"x"}})", "(sem conexões)\n"),
    listed("list_note_only", R"({"ok":true,"connections":[],"notes":[{"label":"Plano","path":"/w/Plano.md"}]})",
           kNotesHeading + "  - Plano: /w/Plano.md\n"),
    listed("list_connection_defaults", R"({"ok":true,"connections":[{"id":"a1"},{"label":"B"},3,null]})",
           kConnectionsHeading + "  - ? (a1)\n  - B (?)\n  - ? (?)\n  - ? (?)\n"),
    listed("list_missing_path_and_cdp", R"({"ok":true,"notes":[{"label":"Plano"}],"diagrams":[{}],"htmls":["x"],
           "browsers":[{"label":"docs"}]})",
           kNotesHeading + "  - Plano: (caminho indisponível)\n" + kDiagramsHeading + "  - ?: (caminho indisponível)\n" +
               kPagesHeading + "  - ?: (caminho indisponível)\n" + kBrowsersHeading + "  - docs: (cdp indisponível)\n"),
    listed("list_everything_in_order",
           R"({"browsers":[{"label":"docs","cdp":"http://127.0.0.1:9400"}],
               "htmls":[{"label":"Painel","path":"C:\\w\\Painel.html"}],
               "diagrams":[{"label":"Fluxo","path":"C:\\w\\Fluxo.diagram.json"}],
               "notes":[{"label":"Plano","path":"C:\\w\\Plano.md"},{"label":"Ideias","path":"C:\\w\\Ideias.md"}],
               "connections":[{"label":"Backend","id":"n2"},{"label":"Frontend","id":"n3"}],
               "self":{"label":"Terminal 1"},"ok":true})",
           "Você é: Terminal 1\n" + kConnectionsHeading + "  - Backend (n2)\n  - Frontend (n3)\n" + kNotesHeading +
               "  - Plano: C:\\w\\Plano.md\n  - Ideias: C:\\w\\Ideias.md\n" + kDiagramsHeading +
               "  - Fluxo: C:\\w\\Fluxo.diagram.json\n" + kPagesHeading + "  - Painel: C:\\w\\Painel.html\n" +
               kBrowsersHeading + "  - docs: http://127.0.0.1:9400\n"),
    listed("list_values_printed_raw", R"({"ok":true,"self":{"label":"a\nb"},"connections":[{"label":"x)(","id":"\t"}]})",
           "Você é: a\nb\n" + kConnectionsHeading + "  - x)( (\t)\n"),
};

INSTANTIATE_TEST_SUITE_P(Reports, BlackBox, ::testing::ValuesIn(kCases), case_name);

}  // namespace
}  // namespace zelto::testing
