#include "link/exchange.h"

#include <algorithm>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"
#include "text/text.h"

namespace zelto {
namespace {

// The room for the next bytes of the answer: as much as has come, from a page for a short answer up
// to 64 KiB for a long one.
constexpr std::size_t kLeastRoom = 4096, kMostRoom = 65536;

Failure transport_failure(std::string_view error) {
  return {"zelto: falha ao falar com o app: " + std::string(error) + "\n", kExitFailure};
}

// Sends `line` whole, then gives everything the app sends until it closes the connection, as UTF-8
// text. The connection is closed when this returns, also when memory runs out.
Result<std::vector<char>, Failure> transfer(std::uint16_t port, std::string_view line) {
  platform::LoopbackConnection connection;
  if (const auto connected = connection.connect(port); !connected) return transport_failure(connected.error().text);
  while (!line.empty()) {
    const auto sent = connection.send_some(line);
    if (!sent) return transport_failure(sent.error().text);
    if (*sent == 0) return transport_failure("failed to write whole buffer");
    line.remove_prefix(*sent);
  }
  std::vector<char> received;
  for (;;) {
    const std::size_t size = received.size();
    received.resize(size + std::clamp(size, kLeastRoom, kMostRoom));  // zero-filled before the bytes come
    const auto got = connection.receive_some(std::span(received).subspan(size));
    if (!got) return transport_failure(got.error().text);
    received.resize(size + *got);
    if (*got == 0) break;
  }
  if (!is_valid_utf8({received.data(), received.size()}))
    return transport_failure("stream did not contain valid UTF-8");
  return received;
}

}  // namespace

Result<Response, Failure> read_response(std::vector<char> received) {
  const std::string_view trimmed = trim_white_space({received.data(), received.size()});
  const auto start = static_cast<std::size_t>(trimmed.data() - received.data());
  Result<JsonValue, NotJson> value = read_json(std::span(received).subspan(start, trimmed.size()));
  if (!value) return Failure{"zelto: resposta inválida\n", kExitFailure};
  if (!truth(member(&*value, "ok"))) {
    const std::string_view error = text(member(&*value, "error")).value_or("erro desconhecido");
    return Failure{"zelto: " + std::string(error) + "\n", kExitFailure};
  }
  return Response(std::move(received), std::move(*value));
}

Result<Response, Failure> exchange(std::uint16_t port, std::string_view request) {
  // An answer of any size is taken: memory runs out in receiving it or, at a few times its size for
  // one of many small values, in reading it. Either ends the exchange with the same text.
  try {
    Result<std::vector<char>, Failure> received = transfer(port, std::string(request) + '\n');
    if (!received) return received.error();
    return read_response(std::move(*received));
  } catch (const std::bad_alloc&) {
    return transport_failure("out of memory");
  }
}

}  // namespace zelto
