#include "link/exchange.h"

#include <new>
#include <string>
#include <string_view>

#include "json/writer.h"
#include "link/response.h"
#include "platform/platform.h"
#include "text/utf8.h"

namespace zelto {
namespace {

Failure transport_failure(std::string_view error) {
  return {"zelto: falha ao falar com o app: " + std::string(error) + "\n", kExitFailure};
}

// Sends `line` whole, then gives everything the app sends until it closes the connection, as UTF-8
// text. The connection is closed when this returns, also when memory runs out.
Result<std::string, Failure> transfer(std::uint16_t port, std::string_view line) {
  platform::LoopbackConnection connection;
  if (const auto connected = connection.connect(port); !connected) return transport_failure(connected.error().text);
  while (!line.empty()) {
    const auto sent = connection.send_some(line);
    if (!sent) return transport_failure(sent.error().text);
    if (*sent == 0) return transport_failure("failed to write whole buffer");
    line.remove_prefix(*sent);
  }
  std::string received;
  char chunk[64 * 1024];
  for (;;) {
    const auto got = connection.receive_some(chunk);
    if (!got) return transport_failure(got.error().text);
    if (*got == 0) break;
    received.append(chunk, *got);
  }
  // English, and left so, as "out of memory" below: callers match on these texts.
  if (!is_valid_utf8(received)) return transport_failure("stream did not contain valid UTF-8");
  return received;
}

}  // namespace

Result<JsonValue, Failure> exchange(std::uint16_t port, const JsonValue& request) {
  // An answer of any size is taken: memory runs out in receiving it or, at about ten times its size
  // for one of many small values, in reading it. Either ends the exchange with the same text.
  try {
    const Result<std::string, Failure> received = transfer(port, to_json(request) + '\n');
    if (!received) return received.error();
    return read_response(*received);
  } catch (const std::bad_alloc&) {
    return transport_failure("out of memory");
  }
}

}  // namespace zelto
