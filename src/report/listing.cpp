#include <span>
#include <string_view>

#include "report/listing_groups.h"
#include "report/report.h"

namespace zelto {
namespace {

std::span<const JsonValue> entries(const JsonValue& response, const ListingGroup& group) {
  return items(member(&response, group.key)).value_or(std::span<const JsonValue>());
}

void append_entry(const JsonValue& entry, const ListingGroup& group, std::string& out) {
  out += "  - ";
  out += text(member(&entry, "label")).value_or("?");
  out += group.in_parentheses ? " (" : ": ";
  out += text(member(&entry, group.detail)).value_or(group.missing);
  out += group.in_parentheses ? ")\n" : "\n";
}

}  // namespace

std::string listing(const JsonValue& response) {
  std::string out;
  if (const auto me = text(member(member(&response, "self"), "label"))) {
    out += "Você é: ";
    out += *me;
    out += '\n';
  }
  bool any = false;
  for (const ListingGroup& group : kListingGroups) {
    const std::span<const JsonValue> list = entries(response, group);
    if (list.empty()) continue;
    any = true;
    out += group.heading;
    for (const JsonValue& entry : list) append_entry(entry, group, out);
  }
  if (!any) out += "(sem conexões)\n";
  return out;
}

}  // namespace zelto
