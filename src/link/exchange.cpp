#include "link/exchange.h"

#include <new>

#include "json/reader.h"
#include "json/writer.h"
#include "link/transport.h"
#include "text/utf8.h"
#include "text/white_space.h"

namespace zelto {
namespace {

std::string transport_failure(std::string_view error) {
  return "zelto: falha ao falar com o app: " + std::string(error) + "\n";
}

}  // namespace

std::optional<std::string> check_response(std::string_view received, JsonValue& response) {
  if (!is_valid_utf8(received)) return transport_failure("stream did not contain valid UTF-8");
  std::optional<JsonValue> read = read_json(trim_white_space(received));
  if (!read) return "zelto: resposta inválida\n";
  response = std::move(*read);
  if (truth(member(&response, "ok"))) return std::nullopt;
  return "zelto: " + std::string(text(member(&response, "error")).value_or("erro desconhecido")) + "\n";
}

std::optional<std::string> exchange(std::uint16_t port, const JsonValue& request, JsonValue& response) {
  // An answer of any size is taken: memory runs out in receiving it or, at about ten times its size
  // for one of many small values, in reading it. Either ends the exchange with the same text.
  try {
    std::string received;
    if (std::optional<std::string> failure = transfer(port, to_json(request) + '\n', received)) {
      return transport_failure(*failure);
    }
    return check_response(received, response);
  } catch (const std::bad_alloc&) {
    return transport_failure("out of memory");
  }
}

}  // namespace zelto
