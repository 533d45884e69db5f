#include "report/report.h"

#include <span>
#include <string_view>

namespace zelto {
namespace {

constexpr std::string_view kDefaultCdp = "http://127.0.0.1:9333";

std::string_view field(const JsonValue& response, std::string_view key) {
  return text(member(&response, key)).value_or("?");
}

void created_node(std::string_view opening, const JsonValue& response, std::string_view closing,
                  std::string_view instruction, ReportText& out) {
  out.add(opening, field(response, "label"), closing, "arquivo: ", field(response, "path"), "\n", instruction);
}

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

void listing(const JsonValue& response, ReportText& out) {
  if (const auto me = text(member(member(&response, "self"), "label"))) out.add("Você é: ", *me, "\n");
  bool any = false;
  for (const ListingGroup& group : kListingGroups) {
    const auto entries = items(member(&response, group.key)).value_or(std::span<const JsonValue>());
    if (entries.empty()) continue;
    any = true;
    out.add(group.heading);
    for (const JsonValue& entry : entries) {
      out.add("  - ", text(member(&entry, "label")).value_or("?"), group.in_parentheses ? " (" : ": ",
              text(member(&entry, group.detail)).value_or(group.missing), group.in_parentheses ? ")\n" : "\n");
    }
  }
  if (!any) out.add("(sem conexões)\n");
}

}  // namespace

void report(Verb verb, const JsonValue& response, ReportText& out) {
  const std::uint64_t sent = unsigned_number(member(&response, "sent")).value_or(0);
  switch (verb) {
    case Verb::list: return listing(response, out);
    case Verb::send: return out.add("enviado para ", std::to_string(sent), " terminal(is).\n");
    case Verb::reply:
      return out.add(sent != 0 ? "resposta enviada ao chamador.\n" : "nenhum chamador recebeu a resposta.\n");
    case Verb::note:
      return created_node("nota \"", response, "\" criada no canvas, conectada a voce.\n",
                          "edite esse arquivo com suas ferramentas de arquivo para preencher/atualizar a nota.\n", out);
    case Verb::html:
      return created_node("pagina HTML \"", response, "\" criada no canvas, conectada a voce.\n",
                          "edite esse arquivo com suas ferramentas de arquivo para criar/atualizar a pagina "
                          "(mantenha CSS/JS inline).\n",
                          out);
    case Verb::diagram:
      return created_node("diagrama \"", response, "\" criado no canvas, conectado a voce.\n", "", out);
    case Verb::browser: break;
  }
  const bool created = truth(member(&response, "created"));
  out.add("navegador \"", field(response, "label"),
          created ? "\" aberto no canvas, conectado a voce.\n" : "\" navegou para a nova URL.\n");
  out.add("url: ", field(response, "url"), "\nCDP: ", text(member(&response, "cdp")).value_or(kDefaultCdp), "\n");
  out.add(
      "para dirigir voce mesmo (clicar/preencher/navegar), conecte o Playwright via connectOverCDP nesse "
      "endpoint; senao, o usuario opera a janela aberta.\n");
}

}  // namespace zelto
