#include "canvas.h"

#include <cctype>
#include <fstream>
#include <optional>

#include "host.h"
#include "json/json.h"
#include "text/text.h"

namespace zelto::standin {
namespace {

// With a number and the longest extension, a name fits in the 255 bytes file systems allow, and its
// path in the 260 characters of Windows in a usual folder.
constexpr std::size_t kLongestStem = 100;

// The port of the first webview's debugging endpoint, the next ones after it. No browser runs in the
// stand-in: nothing listens there.
constexpr std::size_t kFirstCdpPort = 9400;

JsonValue string(std::string_view text) { return {text}; }

std::string failure(std::string_view error) { return to_json({JsonObject{{"error", string(error)}, {"ok", {false}}}}); }

std::string success(JsonObject members) {
  members.push_back({"ok", {true}});
  return to_json({std::move(members)});
}

// Whether Windows takes `stem`, followed by any extension, for a device: CON, PRN, AUX, NUL, COM0
// to COM9 and LPT0 to LPT9 (also with the superscripts 1 to 3), in any case, and with spaces after.
bool is_device_name(std::string_view stem) {
  std::string name;
  for (const char c : stem.substr(0, stem.find_last_not_of(' ') + 1)) name += static_cast<char>(std::toupper(c));
  const std::string_view number = std::string_view(name).substr(std::min<std::size_t>(name.size(), 3));
  const bool port =
      (name.starts_with("COM") || name.starts_with("LPT")) &&
      ((number.size() == 1 && std::isdigit(number[0])) || number == "¹" || number == "²" || number == "³");
  return port || name == "CON" || name == "PRN" || name == "AUX" || name == "NUL";
}

// {"label":..., key:...}, as the listing shows each node.
JsonValue labelled(std::string_view label, std::string_view key, std::string_view value) {
  return {JsonObject{{"label", string(label)}, {key, string(value)}}};
}

// A file name's stem from a title: letters, digits, spaces, '-', '_' and non-ASCII characters are
// kept, every other character becomes '_'; the stem is cut to fit any file system, at a character's
// start. A name that Windows takes for a device, whatever its extension, gets a '_' after it: the
// names are the same on every system.
std::string file_stem(std::string_view title) {
  std::string stem;
  for (const char c : title.substr(0, kLongestStem)) {
    const auto byte = static_cast<unsigned char>(c);
    const bool kept = byte >= 0x80 || std::isalnum(byte) || c == ' ' || c == '-' || c == '_';
    stem += kept ? c : '_';
  }
  while (title.size() > stem.size() && (static_cast<unsigned char>(title[stem.size()]) & 0xC0) == 0x80) {
    stem.pop_back();  // a character cut short
  }
  if (stem.empty()) return "sem-titulo";
  return is_device_name(stem) ? stem + "_" : stem;
}

}  // namespace

struct Canvas::Request {
  std::string verb;
  std::string from;
  std::string token;
  std::optional<std::string> target, message, title, diagram, url;
};

Canvas::Canvas(std::filesystem::path folder, std::string token)
    : folder_(std::move(folder)),
      token_(std::move(token)),
      terminals_{{"node-1", "Terminal 1", false}, {"node-2", "Backend", true}, {"node-3", "Agente 2", false}},
      links_{{"node-1", "node-2"}, {"node-1", "node-3"}} {}

std::string Canvas::answer(std::string_view request_line, std::string& log) {
  std::string line(request_line);  // read in place: the request's strings view it
  const Result<JsonValue, NotJson> read = is_valid_utf8(line) ? read_json(line) : NotJson{};
  const JsonValue* root = read ? &*read : nullptr;
  const auto field = [&](std::string_view key) -> std::optional<std::string> {
    if (const auto value = text(member(root, key))) return std::string(*value);
    return std::nullopt;
  };
  if (!root || !std::holds_alternative<JsonObject>(root->data)) {
    log = "an unreadable request";
    return failure("pedido inválido");
  }
  const Request request{field("verb").value_or(""),
                        field("from").value_or(""),
                        field("token").value_or(""),
                        field("target"),
                        field("message"),
                        field("title"),
                        field("diagram"),
                        field("url")};
  return handle(request, log);
}

std::string Canvas::handle(const Request& request, std::string& log) {
  const Terminal* caller = terminal(request.from);
  log = request.verb + " from " + (caller ? caller->label : request.from) + ": ";
  if (request.token != token_) {
    log += "a wrong token";
    return failure("token inválido");
  }
  if (!caller) {
    log += "an unknown terminal";
    return failure("terminal desconhecido: " + request.from);
  }
  if (request.verb == "list") {
    log += "listed";
    return list(request);
  }
  if (request.verb == "send") return send(request, log);
  if (request.verb == "reply") return reply(request, log);
  if (request.verb == "note") return create_file(request, FileKind::note, log);
  if (request.verb == "diagram") return create_file(request, FileKind::diagram, log);
  if (request.verb == "html") return create_file(request, FileKind::page, log);
  if (request.verb == "browser") return browse(request, log);
  log += "an unknown verb";
  return failure("comando desconhecido: " + request.verb);
}

std::string Canvas::list(const Request& request) {
  JsonArray connections, notes, diagrams, pages, browsers;
  for (const Terminal* peer : peers_of(request.from)) connections.push_back(labelled(peer->label, "id", peer->id));
  for (const FileNode& file : files_) {
    if (file.owner != request.from) continue;
    auto& group = file.kind == FileKind::note ? notes : file.kind == FileKind::diagram ? diagrams : pages;
    group.push_back(labelled(file.label, "path", file.path));
  }
  for (const Browser& browser : browsers_) {
    if (browser.owner == request.from) browsers.push_back(labelled(browser.label, "cdp", browser.cdp));
  }
  return success({{"self", {JsonObject{{"label", string(terminal(request.from)->label)}}}},
                  {"connections", {std::move(connections)}},
                  {"notes", {std::move(notes)}},
                  {"diagrams", {std::move(diagrams)}},
                  {"htmls", {std::move(pages)}},
                  {"browsers", {std::move(browsers)}}});
}

std::string Canvas::send(const Request& request, std::string& log) {
  const std::string message = request.message.value_or("");
  std::uint64_t sent = 0;
  for (const Terminal* peer : peers_of(request.from)) {
    if (request.target && peer->label != *request.target) continue;
    log += (sent ? ", " : "message to ") + peer->label;
    ++sent;
  }
  if (request.target && sent == 0) {
    log += "no such target";
    return failure("alvo nao encontrado: " + *request.target);
  }
  log += sent ? ": " + message : "no terminal connected";
  return success({{"sent", {sent}}});
}

std::string Canvas::reply(const Request& request, std::string& log) {
  std::uint64_t sent = 0;
  for (Terminal* peer : peers_of(request.from)) {
    if (!peer->awaits_reply) continue;
    peer->awaits_reply = false;
    log += "reply delivered to " + peer->label + ": " + request.message.value_or("");
    sent = 1;
    break;
  }
  if (!sent) log += "nobody awaited a reply";
  return success({{"sent", {sent}}});
}

std::string Canvas::create_file(const Request& request, FileKind kind, std::string& log) {
  if (!request.title) {
    log += "no title";
    return failure("titulo ausente");
  }
  static constexpr std::string_view kExtensions[] = {".md", ".diagram.json", ".html"};
  const std::string_view extension = kExtensions[static_cast<int>(kind)];
  const std::string stem = file_stem(*request.title);
  std::string content = request.message.value_or("");
  if (kind == FileKind::diagram) content = request.diagram.value_or(R"({"boxes":[],"arrows":[]})");
  std::filesystem::path path = folder_ / path_of(stem + std::string(extension));
  std::error_code error;
  for (int n = 2; std::filesystem::exists(path, error); ++n) {
    path = folder_ / path_of(stem + "-" + std::to_string(n) + std::string(extension));
  }
  // Reported as created only when the file holds all of its content.
  std::ofstream file;
  if (!error) file.open(path, std::ios::binary);
  file << content;
  file.close();
  if (!file) {
    if (!error) std::filesystem::remove(path, error);  // what was written of it
    log += "cannot write " + text_of(path);
    return failure("não foi possível gravar o arquivo " + text_of(path));
  }
  const FileNode& node = files_.emplace_back(FileNode{kind, unique_label(*request.title), text_of(path), request.from});
  log += "created " + node.path;
  return success({{"label", string(node.label)}, {"path", string(node.path)}});
}

std::string Canvas::browse(const Request& request, std::string& log) {
  if (!request.url) {
    log += "no url";
    return failure("url ausente");
  }
  const std::string label = request.target.value_or("navegador");
  Browser* browser = nullptr;
  for (Browser& candidate : browsers_) {
    if (candidate.label == label && candidate.owner == request.from) browser = &candidate;
  }
  const bool created = browser == nullptr;
  if (created) {
    const std::string cdp = "http://127.0.0.1:" + std::to_string(kFirstCdpPort + browsers_.size());
    browser = &browsers_.emplace_back(Browser{label, "", cdp, request.from});
  }
  browser->url = *request.url;
  log += (created ? "opened browser " : "navigated browser ") + browser->label + " to " + browser->url +
         " (no browser runs here: nothing listens at " + browser->cdp + ")";
  return success({{"label", string(browser->label)},
                  {"url", string(browser->url)},
                  {"cdp", string(browser->cdp)},
                  {"created", {created}}});
}

const Canvas::Terminal* Canvas::terminal(std::string_view id) const {
  for (const Terminal& t : terminals_) {
    if (t.id == id) return &t;
  }
  return nullptr;
}

std::vector<Canvas::Terminal*> Canvas::peers_of(std::string_view id) {
  std::vector<Terminal*> peers;
  for (Terminal& t : terminals_) {
    for (const auto& [a, b] : links_) {
      if ((a == id && b == t.id) || (b == id && a == t.id)) peers.push_back(&t);
    }
  }
  return peers;
}

std::string Canvas::unique_label(std::string_view wanted) const {
  const auto taken = [&](const std::string& label) {
    for (const FileNode& file : files_) {
      if (file.label == label) return true;
    }
    return false;
  };
  std::string label(wanted);
  for (int n = 2; taken(label); ++n) label = std::string(wanted) + " (" + std::to_string(n) + ")";
  return label;
}

}  // namespace zelto::standin
