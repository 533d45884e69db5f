#include "text/text.h"

#include <algorithm>

namespace zelto {
namespace {

bool is_blank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

std::vector<std::string> split_command_line(std::string_view line) {
  std::size_t i = 0;
  for (bool quoted = false; i < line.size() && (quoted || !is_blank(line[i])); ++i) {
    if (line[i] == '"') quoted = !quoted;
  }
  std::vector<std::string> arguments;
  for (;;) {
    while (i < line.size() && is_blank(line[i])) ++i;
    if (i == line.size()) return arguments;
    std::string& argument = arguments.emplace_back();
    for (bool quoted = false; i < line.size() && (quoted || !is_blank(line[i]));) {
      if (line[i] == '\\') {
        const std::size_t run_end = std::min(line.find_first_not_of('\\', i), line.size());
        const std::size_t backslashes = run_end - i;
        const bool before_quote = run_end < line.size() && line[run_end] == '"';
        argument.append(before_quote ? backslashes / 2 : backslashes, '\\');
        i = run_end;
        if (before_quote && backslashes % 2 == 1) {
          argument += '"';
          ++i;
        }
      } else if (line[i] == '"') {
        if (quoted && i + 1 < line.size() && line[i + 1] == '"') {
          argument += '"';
          ++i;
        } else {
          quoted = !quoted;
        }
        ++i;
      } else {
        argument += line[i++];
      }
    }
  }
}

}  // namespace zelto
