#include <span>
#include <string_view>

#include "report/report.h"

namespace zelto {
namespace {

// One group of the listing: a kind of node connected to the caller's terminal.
struct ListingGroup {
  std::string_view key;      // the array of the `list` response
  std::string_view heading;  // the line before the group's entries
  std::string_view detail;   // the member shown after the label
  std::string_view missing;  // shown when that member is absent
  bool in_parentheses;       // "  - {label} ({detail})" rather than "  - {label}: {detail}"
};

// The groups in the order they are printed.
constexpr ListingGroup kListingGroups[] = {
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

void append_entry(const JsonValue& entry, const ListingGroup& group, std::string& out) {
  out += "  - ";
  out += text(member(&entry, "label")).value_or("?");
  out += group.in_parentheses ? " (" : ": ";
  out += text(member(&entry, group.detail)).value_or(group.missing);
  out += group.in_parentheses ? ")\n" : "\n";
}

}  // namespace

std::string listing(const JsonValue& response) {
  std::string out;
  if (const auto me = text(member(member(&response, "self"), "label"))) {
    out += "Você é: ";
    out += *me;
    out += '\n';
  }
  bool any = false;
  for (const ListingGroup& group : kListingGroups) {
    const auto entries = items(member(&response, group.key)).value_or(std::span<const JsonValue>());
    if (entries.empty()) continue;
    any = true;
    out += group.heading;
    for (const JsonValue& entry : entries) append_entry(entry, group, out);
  }
  if (!any) out += "(sem conexões)\n";
  return out;
}

}  // namespace zelto
