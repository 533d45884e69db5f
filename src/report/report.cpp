#include "report/report.h"

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
