#include "link/exchange.h"

#include <algorithm>
#include <new>
#include <string>
#include <string_view>

#include "platform/platform.h"
#include "text/text.h"

namespace zelto {
namespace {

// The least room the answer's next bytes are given.
constexpr std::size_t kRoom = 65536;

Failure transport_failure(std::string_view error) {
  return {"zelto: falha ao falar com o app: " + std::string(error) + "\n", kExitFailure};
}

// Sends `line` whole, then gives everything the app sends until it closes the connection, as UTF-8
// text. The connection is closed when this returns, also when memory runs out.
Result<Bytes, Failure> transfer(std::uint16_t port, std::string_view line) {
  platform::LoopbackSocket connection;
  if (const auto connected = connection.connect(port); !connected) return transport_failure(connected.error().text);
  while (!line.empty()) {
    const auto sent = connection.send_some(line);
    if (!sent) return transport_failure(sent.error().text);
    if (*sent == 0) return transport_failure("failed to write whole buffer");
    line.remove_prefix(*sent);
  }
  Bytes received;
  for (;;) {
    const auto got = connection.receive_some(received.room(kRoom));
    if (!got) return transport_failure(got.error().text);
    if (*got == 0) break;
    received.extend(*got);
  }
  if (!is_valid_utf8({received.span().data(), received.span().size()}))
    return transport_failure("stream did not contain valid UTF-8");
  return received;
}

}  // namespace

std::span<char> Bytes::room(std::size_t count) {
  if (capacity_ - size_ < count) {
    const std::size_t capacity = std::max(2 * capacity_, size_ + count);
    char* const grown = static_cast<char*>(std::realloc(data_.get(), capacity));
    if (!grown) throw std::bad_alloc();
    (void)data_.release();  // moved to `grown`
    data_.reset(grown);
    capacity_ = capacity;
  }
  return {data_.get() + size_, capacity_ - size_};
}

Result<Response, Failure> read_response(Bytes received) {
  const std::span<char> bytes = received.span();
  const std::string_view trimmed = trim_white_space({bytes.data(), bytes.size()});
  const auto start = static_cast<std::size_t>(trimmed.data() - bytes.data());
  Result<JsonValue, NotJson> value = read_json(bytes.subspan(start, trimmed.size()));
  if (!value) return Failure{"zelto: resposta inválida\n", kExitFailure};
  if (!truth(member(&*value, "ok"))) {
    const std::string_view error = text(member(&*value, "error")).value_or("erro desconhecido");
    return Failure{"zelto: " + std::string(error) + "\n", kExitFailure};
  }
  return Response(std::move(received), std::move(*value));
}

Result<Response, Failure> exchange_with_app(std::uint16_t port, std::string_view request) {
  // An answer of any size is taken: memory runs out in receiving it or, at a few times its size for
  // one of many small values, in reading it. Either ends the exchange with the same text.
  try {
    Result<Bytes, Failure> received = transfer(port, std::string(request) + '\n');
    if (!received) return received.error();
    return read_response(std::move(*received));
  } catch (const std::bad_alloc&) {
    return transport_failure("out of memory");
  }
}

}  // namespace zelto
