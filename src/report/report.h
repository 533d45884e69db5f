#pragma once

#include <string_view>

#include "json/json.h"
#include "output/output.h"

namespace zelto {

// What a successful run prints, made into `out`: for `list` the listing of what is connected to
// the caller's terminal; for every other verb a confirmation of what the app did, with the files and
// endpoints the caller needs next. The command table names each verb's.
void report_listing(const JsonValue& response, ReportText& out);
void report_sent(const JsonValue& response, ReportText& out);
void report_reply(const JsonValue& response, ReportText& out);
void report_note(const JsonValue& response, ReportText& out);
void report_diagram(const JsonValue& response, ReportText& out);
void report_page(const JsonValue& response, ReportText& out);
void report_browser(const JsonValue& response, ReportText& out);

// One group of the listing: a kind of node connected to the caller's terminal.
struct ListingGroup {
  std::string_view key;      // the array of the `list` response
  std::string_view heading;  // the line before the group's entries
  std::string_view detail;   // the member shown after the label
  std::string_view missing;  // shown when that member is absent
  bool in_parentheses;       // "  - {label} ({detail})" rather than "  - {label}: {detail}"
};

// The groups in the order they are printed.
inline constexpr ListingGroup kListingGroups[] = {
    {"connections", "Agentes conectados (use `zelto send <nome> <mensagem>`):\n", "id", "?", true},
    {"notes", "Notas conectadas (arquivos .md — leia/edite com suas ferramentas de arquivo):\n", "path",
     "(caminho indisponível)", false},
    {"diagrams",
     "Diagramas conectados (arquivos .diagram.json — LEIA com suas ferramentas de arquivo pra entender o "
     "fluxo/arquitetura; use-os como apoio, ex.: ao codificar o que descrevem):\n",
     "path", "(caminho indisponível)", false},
    {"htmls",
     "Paginas HTML conectadas (arquivos .html renderizados no canvas — edite-os com suas ferramentas de arquivo "
     "pra criar/atualizar a pagina; mantenha CSS/JS inline):\n",
     "path", "(caminho indisponível)", false},
    {"browsers",
     "Navegadores conectados (webviews reais no canvas — abra/navegue com `zelto browser <url>`; dirija via "
     "Playwright connectOverCDP no endpoint):\n",
     "cdp", "(cdp indisponível)", false},
};

}  // namespace zelto
