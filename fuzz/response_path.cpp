// From the bytes the app sends to what the client prints, for every verb: never a crash, and
// always exactly one of the outcomes the client knows: the UTF-8 failure, an error line from the
// outcome check, or a report of whole lines in valid UTF-8.

#include <cstdint>
#include <cstdlib>

#include "link/exchange.h"
#include "report/report.h"
#include "text/utf8.h"

namespace {

constexpr zelto::Verb kVerbs[] = {zelto::Verb::list, zelto::Verb::send,    zelto::Verb::reply, zelto::Verb::note,
                                  zelto::Verb::diagram, zelto::Verb::html, zelto::Verb::browser};

void require(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  auto outcome = zelto::interpret_response(zelto::TextBuffer(bytes));

  if (const auto* failure = std::get_if<zelto::ExchangeFailure>(&outcome)) {
    if (!zelto::is_valid_utf8(bytes)) {
      require(failure->text == "zelto: falha ao falar com o app: stream did not contain valid UTF-8\n");
    } else {
      require(failure->text.starts_with("zelto: ") && failure->text.ends_with("\n"));
      require(zelto::is_valid_utf8(failure->text));
    }
    return 0;
  }
  const zelto::JsonValue& response = std::get<zelto::JsonDocument>(outcome).root();
  require(zelto::is_valid_utf8(bytes) && zelto::truth(zelto::member(&response, "ok")));
  for (const zelto::Verb verb : kVerbs) {
    const std::string report = zelto::report(verb, response);
    require(!report.empty() && report.ends_with("\n") && zelto::is_valid_utf8(report));
  }
  return 0;
}
