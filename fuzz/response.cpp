// The path of the app's bytes through the client, against a well-known JSON library (nlohmann):
// - the UTF-8 check and the white-space trimming agree with nlohmann's UTF-8 check and the list
//   of Unicode's White_Space characters;
// - the reader accepts exactly what nlohmann accepts and reads the same value, number forms and
//   the order of object members (nlohmann's order is the keys' byte order) included; where our rules differ on purpose
//   (a leading byte-order mark, 128 levels of nesting or more, a NUL byte, which nlohmann takes for the end of the
//   text) ours refuses;
// - the writer's text of what was read means the same to nlohmann, and reads back to a value
//   written the same again;
// - the outcome check passes exactly the answers whose "ok" is true, and gives the app's error
//   text otherwise; every verb's report is whole lines of UTF-8.
// Built with libFuzzer to fuzz, and with a plain main that runs it on the seed corpus in the tests.

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstdlib>
#include <nlohmann/json.hpp>

#include "json/reader.h"
#include "json/writer.h"
#include "link/exchange.h"
#include "report/report.h"
#include "text/utf8.h"
#include "text/white_space.h"

namespace {

using zelto::JsonValue;
using Json = nlohmann::json;

void require(bool condition) {
  if (!condition) std::abort();
}

bool valid_utf8(std::string_view bytes) {
  try {
    return !Json(std::string(bytes)).dump().empty();
  } catch (const Json::type_error&) {
    return false;
  }
}

std::string_view trimmed(std::string_view text) {
  static constexpr std::string_view kWhiteSpace[] = {
      "\t",     "\n",     "\v",     "\f",     "\r",     " ",      "\u0085", "\u00a0", "\u1680",
      "\u2000", "\u2001", "\u2002", "\u2003", "\u2004", "\u2005", "\u2006", "\u2007", "\u2008",
      "\u2009", "\u200a", "\u2028", "\u2029", "\u202f", "\u205f", "\u3000"};
  for (std::size_t before = text.size() + 1; before != text.size();) {
    before = text.size();
    for (const std::string_view space : kWhiteSpace) {
      if (text.starts_with(space)) text.remove_prefix(space.size());
      if (text.ends_with(space)) text.remove_suffix(space.size());
    }
  }
  return text;
}

// The same value in the same number forms; "-0" is the only one that differs on purpose: floating
// point -0.0 for us, the integer 0 for nlohmann.
bool same(const JsonValue& ours, const Json& theirs) {
  const auto bits = [](double number) { return std::bit_cast<std::uint64_t>(number); };
  if (const auto* array = std::get_if<zelto::JsonArray>(&ours.data)) {
    return theirs.is_array() && std::equal(array->begin(), array->end(), theirs.begin(), theirs.end(), same);
  }
  if (const auto* object = std::get_if<zelto::JsonObject>(&ours.data)) {
    const auto items = theirs.items();  // in the keys' byte order
    return theirs.is_object() && std::equal(object->begin(), object->end(), items.begin(), items.end(),
                                            [](const auto& member, const auto& item) {
                                              return member.key == item.key() && same(member.value, item.value());
                                            });
  }
  if (const auto* floating = std::get_if<double>(&ours.data)) {
    return theirs.is_number_float() ? bits(*floating) == bits(theirs.get<double>())
                                    : theirs == 0 && bits(*floating) == bits(-0.0);
  }
  return Json::parse(zelto::to_json(ours)) == theirs &&
         theirs.is_number_unsigned() == std::holds_alternative<std::uint64_t>(ours.data);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  JsonValue response;
  const std::optional<std::string> failure = zelto::check_response(bytes, response);
  require(zelto::is_valid_utf8(bytes) == valid_utf8(bytes));
  if (!valid_utf8(bytes)) {
    require(failure == "zelto: falha ao falar com o app: stream did not contain valid UTF-8\n");
    return 0;
  }
  const std::string_view text = trimmed(bytes);
  require(zelto::trim_white_space(bytes) == text);

  int deepest = -1;
  const Json theirs = Json::parse(
      text,
      [&](int depth, Json::parse_event_t event, Json&) {
        if (event == Json::parse_event_t::object_start || event == Json::parse_event_t::array_start)
          deepest = std::max(deepest, depth);
        return true;
      },
      /*allow_exceptions=*/false);
  const std::optional<JsonValue> ours = zelto::read_json(text);
  const bool refused_on_purpose =
      text.starts_with("\xEF\xBB\xBF") || text.find('\0') != std::string_view::npos || deepest >= 127;
  require(!ours == (theirs.is_discarded() || refused_on_purpose));
  if (!ours) {
    require(failure == "zelto: resposta inválida\n");
    return 0;
  }
  require(same(*ours, theirs));

  const std::string written = zelto::to_json(*ours);
  require(Json::parse(written) == theirs);
  require(zelto::to_json(zelto::read_json(written).value()) == written);

  const Json ok = theirs.is_object() ? theirs.value("ok", Json()) : Json();
  if (ok != true) {
    const Json error = theirs.is_object() ? theirs.value("error", Json()) : Json();
    require(failure == "zelto: " + (error.is_string() ? error.get<std::string>() : "erro desconhecido") + "\n");
    return 0;
  }
  require(!failure);
  for (int verb = 0; verb <= static_cast<int>(zelto::Verb::browser); ++verb) {
    const std::string report = zelto::report(static_cast<zelto::Verb>(verb), response);
    require(report.ends_with("\n") && zelto::is_valid_utf8(report));
  }
  return 0;
}
