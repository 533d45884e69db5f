// For any argument list of valid UTF-8 (the pieces of the input between NUL bytes; a first byte
// below 7 picks a known verb), the command table either refuses with the right text, or builds a
// request whose line ends with its only line feed and reads back to exactly the members that the
// arguments call for.

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <map>

#include "commands/command_table.h"
#include "json/document.h"
#include "json/writer.h"
#include "text/utf8.h"

namespace {

constexpr const char* kVerbs[] = {"list", "send", "reply", "note", "diagram", "html", "browser"};

void require(bool condition) {
  if (!condition) std::abort();
}

std::string joined(const std::vector<std::string>& args, std::size_t from) {
  std::string text;
  for (std::size_t i = from; i < args.size(); ++i) text += (i > from ? " " : "") + args[i];
  return text;
}

// The members the verb's row of the command table calls for, given the arguments after the verb.
std::map<std::string, std::string> expected_members(const std::string& verb, const std::vector<std::string>& a) {
  std::map<std::string, std::string> members = {{"token", "t\"k"}, {"from", "nó"}, {"verb", verb}};
  const bool one = a.size() == 1;
  if (verb == "send") {
    if (!one) members["target"] = a[0];
    members["message"] = one ? a[0] : joined(a, 1);
  } else if (verb == "reply") {
    members["message"] = joined(a, 0);
  } else if (verb == "note" || verb == "html" || verb == "diagram") {
    members["title"] = a[0];
    if (!one) members[verb == "diagram" ? "diagram" : "message"] = joined(a, 1);
  } else if (verb == "browser") {
    if (!one) members["target"] = a[0];
    members["url"] = a[one ? 0 : 1];
  }
  return members;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  std::vector<std::string> arguments;
  if (!input.empty() && static_cast<unsigned char>(input[0]) < 7) {
    arguments.emplace_back(kVerbs[static_cast<unsigned char>(input[0])]);
    input.remove_prefix(1);
  }
  while (!input.empty()) {
    const std::size_t end = input.find('\0');
    arguments.emplace_back(input.substr(0, end));
    input = end == std::string_view::npos ? std::string_view() : input.substr(end + 1);
  }
  for (const std::string& argument : arguments) {
    if (!zelto::is_valid_utf8(argument)) return 0;
  }

  const zelto::TerminalEnv env{"nó", 1, "t\"k"};
  auto built = zelto::build_command(env, arguments);
  const std::string verb = arguments.empty() ? "" : arguments[0];
  const bool known = std::find(std::begin(kVerbs), std::end(kVerbs), verb) != std::end(kVerbs);
  const std::vector<std::string> args(arguments.begin() + (arguments.empty() ? 0 : 1), arguments.end());

  if (const auto* usage = std::get_if<zelto::UsageError>(&built)) {
    require(known ? args.empty() && verb != "list" && usage->text.starts_with("uso: zelto " + verb + " ")
                  : usage->text.starts_with("zelto: comando desconhecido '" + verb + "'. Use: "));
    return 0;
  }
  require(known && (!args.empty() || verb == "list"));
  const std::string line = zelto::to_json(std::get<zelto::Command>(built).request.root()) + "\n";
  require(line.find('\n') == line.size() - 1);

  const std::optional<zelto::JsonDocument> back = zelto::read_json(std::string_view(line));
  require(back && back->root().kind() == zelto::JsonKind::object);
  std::map<std::string, std::string> members;
  for (const zelto::JsonMember& member : back->root().as_object()) {
    require(member.value.kind() == zelto::JsonKind::string);
    members.emplace(member.key, member.value.as_string());
  }
  require(members == expected_members(verb, args));
  return 0;
}
