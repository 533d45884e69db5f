#include "link/exchange.h"

#include "json/writer.h"
#include "link/transport.h"
#include "text/utf8.h"
#include "text/white_space.h"

namespace zelto {
namespace {

ExchangeFailure transport_failure(std::string_view error) {
  return {"zelto: falha ao falar com o app: " + std::string(error) + "\n"};
}

JsonDocument unreadable_response() {
  JsonStore store;
  const JsonMember members[] = {{"error", store.string("resposta inválida")}, {"ok", JsonValue::boolean(false)}};
  const JsonValue root = store.object(members);
  return JsonDocument(root, std::move(store));
}

}  // namespace

std::variant<JsonDocument, ExchangeFailure> interpret_response(TextBuffer received) {
  if (!is_valid_utf8(received.view())) return transport_failure("stream did not contain valid UTF-8");
  received.keep(trim_white_space(received.view()));
  std::optional<JsonDocument> read = read_json(std::move(received));
  JsonDocument response = read ? std::move(*read) : unreadable_response();

  if (truth(member(&response.root(), "ok"))) return response;
  const std::string_view error = text(member(&response.root(), "error")).value_or("erro desconhecido");
  return ExchangeFailure{"zelto: " + std::string(error) + "\n"};
}

std::variant<JsonDocument, ExchangeFailure> exchange(std::uint16_t port, const JsonValue& request) {
  std::string line;
  line.reserve(128);
  write_json(request, line);
  line += '\n';
  std::variant<TextBuffer, std::string> received = transfer(port, line);
  if (const auto* error = std::get_if<std::string>(&received)) return transport_failure(*error);
  return interpret_response(std::move(std::get<TextBuffer>(received)));
}

}  // namespace zelto
