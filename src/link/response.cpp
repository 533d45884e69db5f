#include "link/response.h"

#include <string>

#include "json/reader.h"
#include "text/white_space.h"

namespace zelto {

Result<JsonValue, Failure> read_response(std::string_view received) {
  Result<JsonValue, NotJson> response = read_json(trim_white_space(received));
  if (!response) return Failure{"zelto: resposta inválida\n", kExitFailure};
  if (truth(member(&*response, "ok"))) return std::move(*response);
  const std::string_view error = text(member(&*response, "error")).value_or("erro desconhecido");
  return Failure{"zelto: " + std::string(error) + "\n", kExitFailure};
}

}  // namespace zelto
