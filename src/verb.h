#pragma once

namespace zelto {

// What the caller asked for: it picks the request the command table builds and the report printed
// after a successful exchange.
enum class Verb { list, send, reply, note, diagram, html, browser };

}  // namespace zelto
