#include "canvas.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <optional>

#include "commands/command_table.h"
#include "host.h"
#include "json/json.h"
#include "text/text.h"

namespace zelto::standin {
namespace {

// With a number and the longest extension, a name fits in the 255 bytes file systems allow, and its
// path in the 260 characters of Windows in a usual folder.
constexpr std::size_t kLongestStem = 100;

// A request has a handful of members; a line with more is no request, and is not read.
constexpr std::size_t kMostMembers = 16;

// The port of the first webview's debugging endpoint, the next ones after it. No browser runs in the
// stand-in: nothing listens there.
constexpr std::size_t kFirstCdpPort = 9400;

// The characters that a file name shows as '_' beyond ASCII: Unicode's controls (C1), format
// characters (such as U+200B and the direction overrides U+202A to U+202E) and line and paragraph
// separators. Each could hide, or turn around, what a printed path shows.
constexpr std::pair<std::uint32_t, std::uint32_t> kInvisible[] = {
    {0x80, 0x9F},       {0xAD, 0xAD},       {0x600, 0x605},     {0x61C, 0x61C},     {0x6DD, 0x6DD},
    {0x70F, 0x70F},     {0x890, 0x891},     {0x8E2, 0x8E2},     {0x180E, 0x180E},   {0x200B, 0x200F},
    {0x2028, 0x202E},   {0x2060, 0x2064},   {0x2066, 0x206F},   {0xFEFF, 0xFEFF},   {0xFFF9, 0xFFFB},
    {0x110BD, 0x110BD}, {0x110CD, 0x110CD}, {0x13430, 0x1343F}, {0x1BCA0, 0x1BCA3}, {0x1D173, 0x1D17A},
    {0xE0001, 0xE0001}, {0xE0020, 0xE007F},
};

JsonValue json_string(std::string_view text) { return {text}; }

Answer success(JsonObject members, std::string log) {
  members.push_back({"ok", {true}});
  return {to_json({std::move(members)}), std::move(log)};
}

// Whether `line` can be a request, looked at before it is read as JSON: an object of at most
// kMostMembers members, each a string. Reading such a line takes little more than the line itself.
bool can_be_request(std::string_view line) {
  if (!line.starts_with('{') || !line.ends_with('}')) return false;
  std::size_t members = 0;
  bool in_string = false;
  for (std::size_t i = 1; i + 1 < line.size(); ++i) {
    const char c = line[i];
    if (in_string) {
      if (c == '\\') ++i;
      in_string = c != '"';
    } else if (c == '"') {
      in_string = true;
    } else if (c == ':') {
      ++members;
    } else if (c != ',' && c != ' ' && c != '\t' && c != '\n' && c != '\r') {
      return false;
    }
  }
  return members <= kMostMembers;
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

// Whether a file name keeps `code` as it is: an ASCII letter or digit, a space, '-' or '_', or a
// character beyond ASCII that shows.
bool kept_in_names(std::uint32_t code) {
  if (code < 0x80) return std::isalnum(static_cast<int>(code)) || code == ' ' || code == '-' || code == '_';
  return std::ranges::none_of(kInvisible,
                              [code](const auto& range) { return code >= range.first && code <= range.second; });
}

// A file name's stem from a title (valid UTF-8): the characters kept_in_names(), each other one made
// '_', up to the longest stem that file systems take. A name that Windows takes for a device,
// whatever its extension, gets a '_' after it: the names are the same on every system.
std::string file_stem(std::string_view title) {
  std::string stem;
  while (!title.empty()) {
    const auto [code, length] = first_character(title);
    const std::string_view shown = kept_in_names(code) ? title.substr(0, length) : "_";
    if (stem.size() + shown.size() > kLongestStem) break;
    stem += shown;
    title.remove_prefix(length);
  }
  if (stem.empty()) return "sem-titulo";
  return is_device_name(stem) ? stem + "_" : stem;
}

// {"label":..., key:...}, as the listing shows each node.
JsonValue labelled(std::string_view label, std::string_view key, std::string_view value) {
  return {JsonObject{{"label", json_string(label)}, {key, json_string(value)}}};
}

}  // namespace

Answer refusal(std::string_view error, std::string log) {
  return {to_json({JsonObject{{"error", json_string(error)}, {"ok", {false}}}}), std::move(log)};
}

struct Canvas::Request {
  std::string verb;
  std::string from;
  std::string token;
  std::optional<std::string> target, message, title, diagram, url;
  std::string log;  // how the log names the request: its verb and its caller
};

Canvas::Canvas(std::filesystem::path folder, std::string token)
    : folder_(std::move(folder)),
      token_(std::move(token)),
      terminals_{{"node-1", "Terminal 1", false}, {"node-2", "Backend", true}, {"node-3", "Agente 2", false}},
      links_{{"node-1", "node-2"}, {"node-1", "node-3"}} {}

Answer Canvas::answer(std::string_view request_line) {
  // What each verb of the client's command table does here, in the table's order.
  struct Handling {
    std::string_view verb;
    Answer (Canvas::*handle)(const Request&);
  };
  static constexpr Handling kHandling[] = {
      {"list", &Canvas::list},       {"send", &Canvas::send}, {"reply", &Canvas::reply},   {"note", &Canvas::note},
      {"diagram", &Canvas::diagram}, {"html", &Canvas::page}, {"browser", &Canvas::browse}};
  static_assert(std::ranges::equal(kVerbs, kHandling, {}, &VerbRow::name, &Handling::verb));

  std::string line(request_line);  // read in place: the request's strings view it
  const bool readable = is_valid_utf8(line) && can_be_request(line);
  const Result<JsonValue, NotJson> read = readable ? read_json(line) : NotJson{};
  if (!read) return refusal("pedido inválido", "an unreadable request");
  const auto field = [&](std::string_view key) -> std::optional<std::string> {
    if (const auto value = text(member(&*read, key))) return std::string(*value);
    return std::nullopt;
  };
  Request request{field("verb").value_or(""),
                  field("from").value_or(""),
                  field("token").value_or(""),
                  field("target"),
                  field("message"),
                  field("title"),
                  field("diagram"),
                  field("url"),
                  ""};
  const Terminal* caller = terminal(request.from);
  request.log = request.verb + " from " + (caller ? caller->label : request.from) + ": ";
  if (request.token != token_) return refusal("token inválido", request.log + "a wrong token");
  if (!caller) return refusal("terminal desconhecido: " + request.from, request.log + "an unknown terminal");
  const auto row = std::ranges::find(kVerbs, request.verb, &VerbRow::name);
  if (row == std::ranges::end(kVerbs)) {
    return refusal("comando desconhecido: " + request.verb, request.log + "an unknown verb");
  }
  return (this->*kHandling[row - std::ranges::begin(kVerbs)].handle)(request);
}

Answer Canvas::list(const Request& request) {
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
  return success({{"self", {JsonObject{{"label", json_string(terminal(request.from)->label)}}}},
                  {"connections", {std::move(connections)}},
                  {"notes", {std::move(notes)}},
                  {"diagrams", {std::move(diagrams)}},
                  {"htmls", {std::move(pages)}},
                  {"browsers", {std::move(browsers)}}},
                 request.log + "listed");
}

Answer Canvas::send(const Request& request) {
  std::string log = request.log;
  std::uint64_t sent = 0;
  for (const Terminal* peer : peers_of(request.from)) {
    if (request.target && peer->label != *request.target) continue;
    log += (sent ? ", " : "message to ") + peer->label;
    ++sent;
  }
  if (request.target && sent == 0) return refusal("alvo nao encontrado: " + *request.target, log + "no such target");
  log += sent ? ": " + request.message.value_or("") : "no terminal connected";
  return success({{"sent", {sent}}}, log);
}

Answer Canvas::reply(const Request& request) {
  for (Terminal* peer : peers_of(request.from)) {
    if (!peer->awaits_reply) continue;
    peer->awaits_reply = false;
    return success({{"sent", {std::uint64_t{1}}}},
                   request.log + "reply delivered to " + peer->label + ": " + request.message.value_or(""));
  }
  return success({{"sent", {std::uint64_t{0}}}}, request.log + "nobody awaited a reply");
}

Answer Canvas::create_file(const Request& request, FileKind kind) {
  if (!request.title) return refusal("titulo ausente", request.log + "no title");
  static constexpr std::string_view kExtensions[] = {".md", ".diagram.json", ".html"};
  const std::string_view extension = kExtensions[static_cast<int>(kind)];
  const std::string stem = file_stem(*request.title);
  const std::string content = kind == FileKind::diagram ? request.diagram.value_or(R"({"boxes":[],"arrows":[]})")
                                                        : request.message.value_or("");
  // The name itself, or the first number after those tried that names nothing yet (the folder may
  // hold files of its own), without looking at every name taken.
  int& tried = file_numbers_[stem + std::string(extension)];
  std::filesystem::path path;
  for (bool created = false; !created;) {
    std::string name = stem;
    if (++tried > 1) name.append("-").append(std::to_string(tried));
    path = folder_ / path_of(name.append(extension));
    const Result<bool, platform::SystemError> made = create_new_file(path, content);
    if (!made) {
      --tried;  // the next note may have the name
      return refusal("não foi possível gravar o arquivo " + text_of(path),
                     request.log + "cannot write " + text_of(path) + ": " + made.error().text);
    }
    created = *made;
  }
  const FileNode& node = files_.emplace_back(FileNode{kind, unique_label(*request.title), text_of(path), request.from});
  return success({{"label", json_string(node.label)}, {"path", json_string(node.path)}},
                 request.log + "created " + node.path);
}

Answer Canvas::browse(const Request& request) {
  if (!request.url) return refusal("url ausente", request.log + "no url");
  const std::string label = request.target.value_or("navegador");
  const auto found = std::ranges::find_if(
      browsers_, [&](const Browser& browser) { return browser.label == label && browser.owner == request.from; });
  const bool created = found == browsers_.end();
  Browser& browser =
      created ? browsers_.emplace_back(Browser{
                    label, "", "http://127.0.0.1:" + std::to_string(kFirstCdpPort + browsers_.size()), request.from})
              : *found;
  browser.url = *request.url;
  return success({{"label", json_string(browser.label)},
                  {"url", json_string(browser.url)},
                  {"cdp", json_string(browser.cdp)},
                  {"created", {created}}},
                 request.log + (created ? "opened browser " : "navigated browser ") + browser.label + " to " +
                     browser.url + " (no browser runs here: nothing listens at " + browser.cdp + ")");
}

const Canvas::Terminal* Canvas::terminal(std::string_view id) const {
  const auto found = std::ranges::find(terminals_, id, &Terminal::id);
  return found != terminals_.end() ? &*found : nullptr;
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

// The label itself, or with the first number after those tried that no node has yet.
std::string Canvas::unique_label(const std::string& wanted) {
  int& tried = label_numbers_[wanted];
  std::string label;
  do {
    ++tried;
    label = tried == 1 ? wanted : wanted + " (" + std::to_string(tried) + ")";
  } while (!labels_.insert(label).second);
  return label;
}

}  // namespace zelto::standin
