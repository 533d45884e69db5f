#include "link/exchange.h"

#include "json/writer.h"
#include "link/transport.h"
#include "text/white_space.h"

namespace zelto {

JsonDocument read_response(TextBuffer text) {
  text.keep(trim_white_space(text.view()));
  if (std::optional<JsonDocument> response = read_json(std::move(text))) return std::move(*response);
  JsonStore store;
  const JsonMember members[] = {{"error", store.string("resposta inválida")}, {"ok", JsonValue::boolean(false)}};
  const JsonValue root = store.object(members);
  return JsonDocument(root, std::move(store));
}

std::optional<std::string> outcome_failure(const JsonValue& response) {
  if (truth(member(&response, "ok"))) return std::nullopt;
  const std::string_view error = text(member(&response, "error")).value_or("erro desconhecido");
  return "zelto: " + std::string(error) + "\n";
}

std::variant<JsonDocument, ExchangeFailure> exchange(std::uint16_t port, const JsonValue& request) {
  std::string line;
  line.reserve(128);
  write_json(request, line);
  line += '\n';
  auto received = transfer(port, line);
  if (auto* error = std::get_if<std::string>(&received)) {
    return ExchangeFailure{"zelto: falha ao falar com o app: " + *error + "\n"};
  }
  JsonDocument response = read_response(std::move(std::get<TextBuffer>(received)));
  if (std::optional<std::string> failure = outcome_failure(response.root())) return ExchangeFailure{std::move(*failure)};
  return response;
}

}  // namespace zelto
