// The reference for large answers: the job of `zelto list` done on Boost.JSON at its fastest setting
// (a monotonic memory resource). It reads the whole answer, trims Unicode white space, parses with
// the same depth limit (127 levels; Boost.JSON checks the UTF-8 of every string, and a non-ASCII
// byte anywhere else is a syntax error, so the whole text is checked), and prints the same report
// in one write.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <boost/json/src.hpp>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "text/text.h"

namespace json = boost::json;

namespace {

struct Group {
  json::string_view key, heading, detail, missing;
  bool in_parentheses;
};

const Group kGroups[] = {
    {"connections", "Agentes conectados (use `zelto send <nome> <mensagem>`):\n", "id", "?", true},
    {"notes", "Notas conectadas (arquivos .md — leia/edite com suas ferramentas de arquivo):\n", "path",
     "(caminho indisponível)", false},
    {"diagrams",
     "Diagramas conectados (arquivos .diagram.json — LEIA com suas ferramentas de arquivo pra entender o "
     "fluxo/arquitetura; use-os como apoio, ex.: ao codificar o que descrevem):\n",
     "path", "(caminho indisponível)", false},
    {"htmls",
     "Paginas HTML conectadas (arquivos .html renderizados no canvas — edite-os com suas ferramentas de "
     "arquivo pra criar/atualizar a pagina; mantenha CSS/JS inline):\n",
     "path", "(caminho indisponível)", false},
    {"browsers",
     "Navegadores conectados (webviews reais no canvas — abra/navegue com `zelto browser <url>`; dirija "
     "via Playwright connectOverCDP no endpoint):\n",
     "cdp", "(cdp indisponível)", false},
};

std::string exchange(const char* port) {
  static const char request[] = "{\"from\":\"n\",\"token\":\"t\",\"verb\":\"list\"}\n";
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<std::uint16_t>(std::atoi(port)));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  if (fd < 0 || connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) std::exit(1);
  if (send(fd, request, sizeof request - 1, 0) != sizeof request - 1) std::exit(1);
  std::string answer;
  char chunk[1 << 16];
  for (ssize_t got; (got = recv(fd, chunk, sizeof chunk, 0)) > 0;) answer.append(chunk, static_cast<std::size_t>(got));
  close(fd);
  return answer;
}

const json::value* find(const json::value* value, json::string_view key) {
  const json::object* object = value ? value->if_object() : nullptr;
  return object ? object->if_contains(key) : nullptr;
}

json::string_view text_or(const json::value* value, json::string_view fallback) {
  const json::string* text = value ? value->if_string() : nullptr;
  return text ? json::string_view(*text) : fallback;
}

}  // namespace

int main() {
  const char* port = std::getenv("ZELTO_PORT");
  if (!port) return 1;
  const std::string answer = exchange(port);
  const std::string_view text = zelto::trim_white_space(answer);

  json::monotonic_resource memory;
  json::parse_options options;
  options.max_depth = 127;
  json::error_code error;
  const json::value response = json::parse(json::string_view(text.data(), text.size()), error, &memory, options);
  const json::value* ok = error ? nullptr : find(&response, "ok");
  if (!ok || !ok->is_bool() || !ok->get_bool()) {
    std::fputs("zelto: resposta inválida ou erro do app\n", stderr);
    return 1;
  }

  std::string out;
  if (const json::value* me = find(find(&response, "self"), "label"); me && me->is_string()) {
    out += "Você é: ";
    out += me->get_string();
    out += '\n';
  }
  bool any = false;
  for (const Group& group : kGroups) {
    const json::value* list = find(&response, group.key);
    if (!list || !list->is_array() || list->get_array().empty()) continue;
    any = true;
    out += std::string_view(group.heading);
    for (const json::value& entry : list->get_array()) {
      out += "  - ";
      out += text_or(find(&entry, "label"), "?");
      out += group.in_parentheses ? " (" : ": ";
      out += text_or(find(&entry, group.detail), group.missing);
      out += group.in_parentheses ? ")\n" : "\n";
    }
  }
  if (!any) out += "(sem conexões)\n";
  return std::fwrite(out.data(), 1, out.size(), stdout) == out.size() ? 0 : 101;
}
