// Every input is taken twice: as the app's answer, and as a Windows command line.
//
// As the app's answer, through the client's steps, each against a statement made apart from it:
// - the UTF-8 check agrees with nlohmann's;
// - the reader accepts exactly what nlohmann accepts; where our rules differ on purpose (a leading
//   byte-order mark, 128 levels of nesting or more, a NUL byte, which nlohmann takes for the end of
//   the text) ours refuses;
// - what it read, written by the writer, is to nlohmann the value it read itself, number forms
//   included, and of a repeated key the last; and it reads back to a value written the same again;
// - an answer passes exactly when a JSON Patch test of "/ok" against true passes, and the failure
//   shows "/error" when that is a string; every verb's report is whole lines of UTF-8.
// As a command line, the splitter agrees with a model of the C runtime's documented rules that
// reads one character at a time.
//
// Built with libFuzzer to fuzz, and with a plain main that runs it on the seed corpus in the tests.

#include "link/exchange.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <nlohmann/json.hpp>
#include <optional>

#include "json/json.h"
#include "report/report.h"
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
  const auto response = zelto::read_response({bytes.begin(), bytes.end()});
  if (!ours) {
    require(!response && response.error().text == "zelto: resposta inválida\n");
    return;
  }
  // Written and read back by nlohmann, it is the value that nlohmann read, in the same number forms.
  const std::string written = zelto::to_json(*ours);
  require(Json::parse(written).dump() == theirs.dump());
  std::string reread_text = written;
  const auto reread = zelto::read_json(reread_text);
  require(reread && zelto::to_json(*reread) == written);

  const std::optional<std::string> failure = expected_failure(theirs);
  require(!response == failure.has_value());
  if (failure) {
    require(response.error().text == *failure && response.error().status == 1);
    return;
  }
  for (int verb = 0; verb <= static_cast<int>(zelto::Verb::browser); ++verb) {
    const std::string report = zelto::report(static_cast<zelto::Verb>(verb), response->value);
    require(report.ends_with("\n") && zelto::is_valid_utf8(report));
  }
}

// The C runtime's documented rules for splitting a command line, read one character at a time:
// backslashes are counted until what follows them says what they are.
std::vector<std::string> documented_split(std::string_view line) {
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  std::size_t i = 0;
  for (bool quoted = false; i < line.size() && (quoted || !blank(line[i])); ++i) quoted ^= line[i] == '"';
  std::vector<std::string> words;
  std::optional<std::string> word;  // the argument being read, once one has started
  std::size_t backslashes = 0;
  bool quoted = false;
  for (; i < line.size(); ++i) {
    const char c = line[i];
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    // What the backslashes before `c` give: all of them, or half of them before a double quote.
    std::string piece(c == '"' ? backslashes / 2 : backslashes, '\\');
    const bool escaped_quote = c == '"' && backslashes % 2 == 1;
    const bool started = word || backslashes > 0;
    backslashes = 0;
    if (blank(c) && !quoted) {
      if (started) words.push_back(word.value_or("") + piece);
      word.reset();
      continue;
    }
    if (c != '"' || escaped_quote) {
      piece += c;
    } else if (quoted && i + 1 < line.size() && line[i + 1] == '"') {
      piece += '"';  // doubled inside a quoted run, which goes on
      ++i;
    } else {
      quoted = !quoted;
    }
    word = word.value_or("") + piece;
  }
  if (word || backslashes) words.push_back(word.value_or("") + std::string(backslashes, '\\'));
  return words;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  check_answer(bytes);
  require(zelto::split_command_line(bytes) == documented_split(bytes));
  return 0;
}
