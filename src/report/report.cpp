#include "report/report.h"

#include <span>
#include <string_view>

namespace zelto {
namespace {

constexpr std::string_view kDefaultCdp = "http://127.0.0.1:9333";

std::string field(const JsonValue& response, std::string_view key) {
  return std::string(text(member(&response, key)).value_or("?"));
}

std::string created_node(std::string_view opening, const JsonValue& response, std::string_view closing,
                         std::string_view instruction) {
  return std::string(opening) + field(response, "label") + std::string(closing) +
         "arquivo: " + field(response, "path") + "\n" + std::string(instruction);
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

// Counts what would be appended, so that the listing can be written into a string of its size.
struct Length {
  std::size_t bytes = 0;
  Length& operator+=(std::string_view text) {
    bytes += text.size();
    return *this;
  }
};

template <typename Out>
void append_entry(const JsonValue& entry, const ListingGroup& group, Out& out) {
  out += "  - ";
  out += text(member(&entry, "label")).value_or("?");
  out += group.in_parentheses ? " (" : ": ";
  out += text(member(&entry, group.detail)).value_or(group.missing);
  out += group.in_parentheses ? ")\n" : "\n";
}

template <typename Out>
void append_listing(const JsonValue& response, Out& out) {
  if (const auto me = text(member(member(&response, "self"), "label"))) {
    out += "Você é: ";
    out += *me;
    out += "\n";
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
}

std::string listing(const JsonValue& response) {
  // Measured first, then written: a long listing is not copied as it grows.
  Length length;
  append_listing(response, length);
  std::string out;
  out.reserve(length.bytes);
  append_listing(response, out);
  return out;
}

}  // namespace

std::string report(Verb verb, const JsonValue& response) {
  const std::uint64_t sent = unsigned_number(member(&response, "sent")).value_or(0);
  switch (verb) {
    case Verb::list: return listing(response);
    case Verb::send: return "enviado para " + std::to_string(sent) + " terminal(is).\n";
    case Verb::reply: return sent != 0 ? "resposta enviada ao chamador.\n" : "nenhum chamador recebeu a resposta.\n";
    case Verb::note:
      return created_node("nota \"", response, "\" criada no canvas, conectada a voce.\n",
                          "edite esse arquivo com suas ferramentas de arquivo para preencher/atualizar a nota.\n");
    case Verb::html:
      return created_node("pagina HTML \"", response, "\" criada no canvas, conectada a voce.\n",
                          "edite esse arquivo com suas ferramentas de arquivo para criar/atualizar a pagina "
                          "(mantenha CSS/JS inline).\n");
    case Verb::diagram: return created_node("diagrama \"", response, "\" criado no canvas, conectado a voce.\n", "");
    case Verb::browser: break;
  }
  const std::string label = field(response, "label");
  std::string out = truth(member(&response, "created"))
                        ? "navegador \"" + label + "\" aberto no canvas, conectado a voce.\n"
                        : "navegador \"" + label + "\" navegou para a nova URL.\n";
  out += "url: " + field(response, "url") + "\n";
  out += "CDP: " + std::string(text(member(&response, "cdp")).value_or(kDefaultCdp)) + "\n";
  out +=
      "para dirigir voce mesmo (clicar/preencher/navegar), conecte o Playwright via connectOverCDP nesse "
      "endpoint; senao, o usuario opera a janela aberta.\n";
  return out;
}

}  // namespace zelto
