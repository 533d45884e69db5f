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

}  // namespace

void report_listing(const JsonValue& response, ReportText& out) {
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

void report_sent(const JsonValue& response, ReportText& out) {
  out.add("enviado para ", std::to_string(unsigned_number(member(&response, "sent")).value_or(0)), " terminal(is).\n");
}

void report_reply(const JsonValue& response, ReportText& out) {
  const bool received = unsigned_number(member(&response, "sent")).value_or(0) != 0;
  out.add(received ? "resposta enviada ao chamador.\n" : "nenhum chamador recebeu a resposta.\n");
}

void report_note(const JsonValue& response, ReportText& out) {
  created_node("nota \"", response, "\" criada no canvas, conectada a voce.\n",
               "edite esse arquivo com suas ferramentas de arquivo para preencher/atualizar a nota.\n", out);
}

void report_diagram(const JsonValue& response, ReportText& out) {
  created_node("diagrama \"", response, "\" criado no canvas, conectado a voce.\n", "", out);
}

void report_page(const JsonValue& response, ReportText& out) {
  created_node("pagina HTML \"", response, "\" criada no canvas, conectada a voce.\n",
               "edite esse arquivo com suas ferramentas de arquivo para criar/atualizar a pagina (mantenha CSS/JS "
               "inline).\n",
               out);
}

void report_browser(const JsonValue& response, ReportText& out) {
  const bool created = truth(member(&response, "created"));
  out.add("navegador \"", field(response, "label"),
          created ? "\" aberto no canvas, conectado a voce.\n" : "\" navegou para a nova URL.\n");
  out.add("url: ", field(response, "url"), "\nCDP: ", text(member(&response, "cdp")).value_or(kDefaultCdp), "\n");
  out.add(
      "para dirigir voce mesmo (clicar/preencher/navegar), conecte o Playwright via connectOverCDP nesse "
      "endpoint; senao, o usuario opera a janela aberta.\n");
}

}  // namespace zelto
