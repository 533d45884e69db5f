// Every input is taken as the app's answer, through the client's steps, each against a statement
// made apart from it:
// - the UTF-8 check agrees with nlohmann's;
// - the reader accepts exactly what nlohmann accepts; where our rules differ on purpose (a leading
//   byte-order mark, 128 levels of nesting or more, a NUL byte, which nlohmann takes for the end of
//   the text) ours refuses;
// - what it read, written by the writer, is to nlohmann the value it read itself, number forms
//   included, and of a repeated key the last;
// - an answer passes exactly when a JSON Patch test of "/ok" against true passes, and the failure
//   shows "/error" when that is a string; every verb's report is whole lines of UTF-8, which a
//   Windows console takes in UTF-16 chunks of whole characters.
// Taken as UTF-16 units (two bytes each, low first), as Windows gives arguments and variables, the
// input becomes the UTF-8 that nlohmann reads from the same units written as \u escapes, and text
// that is not UTF-8 where nlohmann refuses them (a surrogate without its other half), also when the
// half it lacks lies just past the units given.

#include "link/exchange.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <nlohmann/json.hpp>
#include <optional>

#include "commands/command_table.h"
#include "json/json.h"
#include "text/text.h"

namespace {

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

// The message for an answer, by JSON Patch and JSON Pointer (RFC 6902, 6901) rather than member
// lookups: none when a test of "/ok" against true passes.
std::optional<std::string> expected_failure(const Json& answer) {
  try {
    answer.patch(Json::parse(R"([{"op": "test", "path": "/ok", "value": true}])"));
    return std::nullopt;
  } catch (const Json::exception&) {
    const Json::json_pointer error("/error");
    const bool given = answer.is_object() && answer.contains(error) && answer.at(error).is_string();
    return "zelto: " + (given ? answer.at(error).get<std::string>() : "erro desconhecido") + "\n";
  }
}

void check_answer(std::string_view bytes) {
  require(zelto::is_valid_utf8(bytes) == valid_utf8(bytes));
  if (!valid_utf8(bytes)) return;
  const std::string_view text = zelto::trim_white_space(bytes);

  int deepest = -1;
  const Json theirs = Json::parse(
      text,
      [&](int depth, Json::parse_event_t event, Json& parsed) {
        if (event == Json::parse_event_t::object_start || event == Json::parse_event_t::array_start)
          deepest = std::max(deepest, depth);
        // "-0" is floating point -0.0 for us on purpose; nlohmann reads it as the integer 0.
        if (event == Json::parse_event_t::value && parsed.is_number_integer() && !parsed.is_number_unsigned() &&
            parsed == 0)
          parsed = -0.0;
        return true;
      },
      /*allow_exceptions=*/false);
  std::string read_text(text);  // the reader decodes escapes in place, and the value views the text
  const auto ours = zelto::read_json(read_text);
  const bool refused_on_purpose =
      text.starts_with("\xEF\xBB\xBF") || text.find('\0') != std::string_view::npos || deepest >= 127;
  require(!ours == (theirs.is_discarded() || refused_on_purpose));
  zelto::Bytes received;
  std::ranges::copy(bytes, received.room(bytes.size()).begin());
  received.extend(bytes.size());
  const auto response = zelto::read_response(std::move(received));
  if (!ours) {
    require(!response && response.error().text == "zelto: resposta inválida\n");
    return;
  }
  // Written and read back by nlohmann, it is the value that nlohmann read, in the same number forms.
  require(Json::parse(zelto::to_json(*ours)).dump() == theirs.dump());

  const std::optional<std::string> failure = expected_failure(theirs);
  require(!response == failure.has_value());
  if (failure) {
    require(response.error().text == *failure && response.error().status == 1);
    return;
  }
  for (const zelto::VerbRow& row : zelto::kVerbs) {
    std::string report;
    zelto::ReportText out([&report](std::string_view block) { report += block; });
    row.report(response->value, out);
    out.flush();
    require(report.ends_with("\n") && zelto::is_valid_utf8(report));
    const std::wstring units = zelto::to_utf16(report);
    require(zelto::to_utf8(units) == report);
    for (const std::size_t most : {1, 2, 3}) {  // short chunks meet many pairs
      for (std::wstring_view rest = units; !rest.empty();) {
        const std::size_t chunk = zelto::console_chunk(rest, most);
        require(chunk > 0 && chunk <= std::max<std::size_t>(most, 2));  // a pair may go alone
        require(zelto::is_valid_utf8(zelto::to_utf8(rest.substr(0, chunk))));
        rest.remove_prefix(chunk);
      }
    }
  }
}

void check_units(std::wstring_view units) {
  std::string escaped = "\"";
  for (const wchar_t unit : units) {
    char escape[7];
    std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(static_cast<char16_t>(unit)));
    escaped += escape;
  }
  const Json theirs = Json::parse(escaped + '"', nullptr, /*allow_exceptions=*/false);
  const std::string ours = zelto::to_utf8(units);
  require(theirs.is_discarded() ? !zelto::is_valid_utf8(ours) : ours == theirs.get<std::string>());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  check_answer(bytes);
  std::wstring units(size / 2, L'\0');
  for (std::size_t i = 0; i < units.size(); ++i) units[i] = static_cast<wchar_t>(data[2 * i] | data[2 * i + 1] << 8);
  check_units(units);
  if (!units.empty()) check_units(std::wstring_view(units).substr(0, units.size() - 1));
  return 0;
}
