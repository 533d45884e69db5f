#include "list_answer.h"

namespace zelto::bench {
namespace {

// A label as JSON text: as it is, or, in the rich shape for one entry in eight, each non-ASCII
// character as a \u escape (a surrogate pair above U+FFFF).
std::string label(const std::string& text, std::size_t n, Shape shape) {
  if (shape == Shape::plain || n % 8 != 3) return text;
  const std::string escaped = text + " \xF0\x9F\x93\x9D";  // U+1F4DD, a memo
  std::string out;
  for (std::size_t i = 0; i < escaped.size();) {
    const auto byte = static_cast<unsigned char>(escaped[i]);
    if (byte < 0x80) {
      out += escaped[i++];
      continue;
    }
    const std::size_t length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : 2;
    char32_t code = byte & (0x7F >> length);
    for (std::size_t k = 1; k < length; ++k) code = code << 6 | (static_cast<unsigned char>(escaped[i + k]) & 0x3F);
    i += length;
    const auto unit = [&out](unsigned value) {
      static constexpr char kHex[] = "0123456789abcdef";
      out += "\\u";
      for (int shift = 12; shift >= 0; shift -= 4) out += kHex[value >> shift & 0xF];
    };
    if (code < 0x10000) {
      unit(code);
    } else {
      unit(0xD800 + ((code - 0x10000) >> 10));
      unit(0xDC00 + ((code - 0x10000) & 0x3FF));
    }
  }
  return out;
}

// An entry: its label, its detail under `key` (but for one in sixteen in the rich shape), and in
// the rich shape members the client ignores.
void entry(std::string& out, Shape shape, const std::string& label_prefix, std::size_t n, const char* key,
           const std::string& value) {
  out += "{\"label\":\"" + label(label_prefix + std::to_string(n), n, shape) + "\"";
  if (shape == Shape::plain || n % 16 != 5) out += std::string(",\"") + key + "\":\"" + value + "\"";
  if (shape == Shape::rich) {
    out += ",\"size\":" + std::to_string(n * 37 % 100000) + ",\"modified\":1733650000." + std::to_string(n % 1000) +
           ",\"meta\":{\"tags\":[\"trabalho\",\"v" + std::to_string(n % 7) +
           "\"],\"owner\":{\"id\":" + std::to_string(n % 97) + ",\"pinned\":" + (n % 3 ? "false" : "true") +
           ",\"rank\":-" + std::to_string(n % 11) + ".5e-3}},\"extra\":null";
  }
  out += "}";
}

std::string path(const char* folder, std::size_t n, const char* extension) {
  return std::string("C:\\\\Users\\\\zelto\\\\\u00c1rea de Trabalho\\\\projeto\\\\") + folder + "\\\\arquivo-" +
         std::to_string(n) + extension;
}

}  // namespace

std::string list_answer(std::size_t bytes, Shape shape) {
  std::string notes, diagrams, pages, connections, browsers;
  for (std::size_t n = 0; notes.size() + diagrams.size() + pages.size() + connections.size() + browsers.size() < bytes;
       ++n) {
    const char* comma = n ? "," : "";
    connections += comma;
    entry(connections, shape, "Agente \u00e7\u00e3o \u2014 ", n, "id", "node-" + std::to_string(n));
    notes += comma;
    entry(notes, shape, "Nota sobre a integra\u00e7\u00e3o ", n, "path", path("notas", n, ".md"));
    diagrams += comma;
    entry(diagrams, shape, "Fluxo ", n, "path", path("diagramas", n, ".diagram.json"));
    pages += comma;
    entry(pages, shape, "P\u00e1gina ", n, "path", path("paginas", n, ".html"));
    browsers += comma;
    entry(browsers, shape, "docs ", n, "cdp", "http://127.0.0.1:" + std::to_string(9400 + n % 1000));
  }
  return "{\"ok\":true,\"self\":{\"label\":\"Terminal 1 \u2014 voc\u00ea\"},\"connections\":[" + connections +
         "],\"notes\":[" + notes + "],\"diagrams\":[" + diagrams + "],\"htmls\":[" + pages + "],\"browsers\":[" +
         browsers + "]}";
}

}  // namespace zelto::bench
