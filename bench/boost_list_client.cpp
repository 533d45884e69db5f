// The reference for large answers: the job of `zelto list` done on Boost.JSON as fast as it goes. It
// reads the whole answer into one buffer that it grows itself, checks its UTF-8 eight bytes at a
// time (zelto's check) and trims Unicode white space, parses with the same depth limit (127 levels)
// into a monotonic memory resource, and writes the same report through one 64 KiB buffer.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <boost/json/src.hpp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string_view>

#include "report/report.h"
#include "text/text.h"

namespace json = boost::json;

namespace {

// The whole answer, in a buffer that doubles as it fills; the bytes go straight into it.
struct Answer {
  std::unique_ptr<char, decltype(&std::free)> bytes{nullptr, &std::free};
  std::size_t size = 0;
};

Answer exchange(const char* port) {
  static const char request[] = "{\"from\":\"n\",\"token\":\"t\",\"verb\":\"list\"}\n";
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<std::uint16_t>(std::atoi(port)));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  if (fd < 0 || connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) std::exit(1);
  if (send(fd, request, sizeof request - 1, 0) != sizeof request - 1) std::exit(1);
  Answer answer;
  for (std::size_t capacity = 0;;) {
    if (answer.size == capacity) {
      capacity = capacity ? 2 * capacity : 1 << 16;
      answer.bytes.reset(static_cast<char*>(std::realloc(answer.bytes.release(), capacity)));
      if (!answer.bytes) std::exit(1);
    }
    const ssize_t got = recv(fd, answer.bytes.get() + answer.size, capacity - answer.size, 0);
    if (got < 0) std::exit(1);
    if (got == 0) break;
    answer.size += static_cast<std::size_t>(got);
  }
  close(fd);
  return answer;
}

// Standard output through one 64 KiB buffer.
class Output {
 public:
  ~Output() { flush(); }
  Output& operator+=(std::string_view text) {
    if (used_ + text.size() > sizeof buffer_) flush();
    if (text.size() >= sizeof buffer_) return write_all(text), *this;
    std::memcpy(buffer_ + used_, text.data(), text.size());
    used_ += text.size();
    return *this;
  }

 private:
  void flush() {
    write_all({buffer_, used_});
    used_ = 0;
  }
  static void write_all(std::string_view text) {
    while (!text.empty()) {
      const ssize_t written = write(1, text.data(), text.size());
      if (written <= 0) std::exit(101);
      text.remove_prefix(static_cast<std::size_t>(written));
    }
  }
  char buffer_[1 << 16];
  std::size_t used_ = 0;
};

const json::value* find(const json::value* value, std::string_view key) {
  const json::object* object = value ? value->if_object() : nullptr;
  return object ? object->if_contains(json::string_view(key.data(), key.size())) : nullptr;
}

std::string_view text_or(const json::value* value, std::string_view fallback) {
  const json::string* text = value ? value->if_string() : nullptr;
  return text ? std::string_view(text->data(), text->size()) : fallback;
}

}  // namespace

int main() {
  const char* port = std::getenv("ZELTO_PORT");
  if (!port) return 1;
  const Answer answer = exchange(port);
  const std::string_view received(answer.bytes.get(), answer.size);
  if (!zelto::is_valid_utf8(received)) return 1;
  const std::string_view text = zelto::trim_white_space(received);

  json::monotonic_resource memory(text.size());
  json::parse_options options;
  options.max_depth = 127;
  json::error_code error;
  const json::value response = json::parse(json::string_view(text.data(), text.size()), error, &memory, options);
  const json::value* ok = error ? nullptr : find(&response, "ok");
  if (!ok || !ok->is_bool() || !ok->get_bool()) {
    std::fputs("zelto: resposta inválida ou erro do app\n", stderr);
    return 1;
  }

  Output out;
  const std::string_view me = text_or(find(find(&response, "self"), "label"), {});
  if (me.data()) {
    out += "Você é: ";
    out += me;
    out += "\n";
  }
  bool any = false;
  for (const zelto::ListingGroup& group : zelto::kListingGroups) {  // the client's own groups
    const json::value* list = find(&response, group.key);
    if (!list || !list->is_array() || list->get_array().empty()) continue;
    any = true;
    out += group.heading;
    for (const json::value& entry : list->get_array()) {
      out += "  - ";
      out += text_or(find(&entry, "label"), "?");
      out += group.in_parentheses ? " (" : ": ";
      out += text_or(find(&entry, group.detail), group.missing);
      out += group.in_parentheses ? ")\n" : "\n";
    }
  }
  if (!any) out += "(sem conexões)\n";
  return 0;
}
