#pragma once

#include <string_view>

namespace zelto {

// One group of the listing report: a kind of node connected to the caller's terminal.
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
