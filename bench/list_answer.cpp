#include "list_answer.h"

namespace zelto::bench {
namespace {

void entry(std::string& out, const char* label_prefix, std::size_t n, const char* key, const std::string& value) {
  out += "{\"label\":\"";
  out += label_prefix;
  out += std::to_string(n);
  out += "\",\"";
  out += key;
  out += "\":\"";
  out += value;
  out += "\"}";
}

std::string path(const char* folder, std::size_t n, const char* extension) {
  return std::string("C:\\\\Users\\\\zelto\\\\\u00c1rea de Trabalho\\\\projeto\\\\") + folder + "\\\\arquivo-" +
         std::to_string(n) + extension;
}

}  // namespace

std::string list_answer(std::size_t bytes) {
  std::string notes, diagrams, pages, connections, browsers;
  for (std::size_t n = 0; notes.size() + diagrams.size() + pages.size() + connections.size() + browsers.size() < bytes;
       ++n) {
    const char* comma = n ? "," : "";
    connections += comma;
    entry(connections, "Agente \u00e7\u00e3o \u2014 ", n, "id", "node-" + std::to_string(n));
    notes += comma;
    entry(notes, "Nota sobre a integra\u00e7\u00e3o ", n, "path", path("notas", n, ".md"));
    diagrams += comma;
    entry(diagrams, "Fluxo ", n, "path", path("diagramas", n, ".diagram.json"));
    pages += comma;
    entry(pages, "P\u00e1gina ", n, "path", path("paginas", n, ".html"));
    browsers += comma;
    entry(browsers, "docs ", n, "cdp", "http://127.0.0.1:" + std::to_string(9400 + n % 1000));
  }
  return "{\"ok\":true,\"self\":{\"label\":\"Terminal 1 \u2014 voc\u00ea\"},\"connections\":[" + connections +
         "],\"notes\":[" + notes + "],\"diagrams\":[" + diagrams + "],\"htmls\":[" + pages + "],\"browsers\":[" +
         browsers + "]}";
}

}  // namespace zelto::bench
