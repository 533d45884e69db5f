// Reader throughput, in bytes per second, of our reader (with the UTF-8 check the client makes
// first), Boost.JSON (monotonic memory resource, its fastest setting) and nlohmann/json, on the same
// documents.

#include <benchmark/benchmark.h>

#include <boost/json/src.hpp>
#include <nlohmann/json.hpp>

#include "json/document.h"
#include "list_answer.h"
#include "text/utf8.h"

namespace {

std::string deep_document() {
  std::string nested;
  for (int level = 0; level < 120; ++level) nested += level % 2 ? "[" : "{\"k\":";
  nested += "1";
  for (int level = 119; level >= 0; --level) nested += level % 2 ? "]" : "}";
  std::string document = "[";
  while (document.size() < (1u << 20)) document += nested + ",";
  document.back() = ']';
  return document;
}

std::string long_strings_document() {
  std::string text;
  while (text.size() < (64u << 10)) text += "linha com acentua\\u00e7\\u00e3o e \\\"aspas\\\" \xe2\x80\x94 fim\\n";
  std::string document = "[";
  for (int i = 0; i < 16; ++i) document += (i ? ",\"" : "\"") + text + "\"";
  return document + "]";
}

std::string numbers_document() {
  std::string document = "[";
  for (int i = 0; document.size() < (1u << 20); ++i) {
    document += std::to_string(i * 7919) + "," + std::to_string(-i) + "," + std::to_string(i) + ".25e-3,";
  }
  document.back() = ']';
  return document;
}

void ours(benchmark::State& state, const std::string& document) {
  for (auto _ : state) {
    state.PauseTiming();  // the client reads into a buffer it owns: no copy there
    zelto::TextBuffer text(document);
    state.ResumeTiming();
    if (!zelto::is_valid_utf8(text.view())) state.SkipWithError("not UTF-8");
    auto value = zelto::read_json(std::move(text));
    if (!value) state.SkipWithError("not read");
    benchmark::DoNotOptimize(value);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * document.size()));
}

void boost_json(benchmark::State& state, const std::string& document) {
  boost::json::parse_options options;
  options.max_depth = 127;
  for (auto _ : state) {
    boost::json::monotonic_resource memory;
    boost::json::error_code error;
    auto value = boost::json::parse(document, error, &memory, options);
    if (error) state.SkipWithError("not read");
    benchmark::DoNotOptimize(value);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * document.size()));
}

void nlohmann_json(benchmark::State& state, const std::string& document) {
  for (auto _ : state) {
    auto value = nlohmann::json::parse(document);
    benchmark::DoNotOptimize(value);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * document.size()));
}

}  // namespace

int main(int argc, char** argv) {
  static const std::pair<const char*, std::string> documents[] = {
      {"list_1MiB", zelto::bench::list_answer(1u << 20)},
      {"list_8MiB", zelto::bench::list_answer(8u << 20)},
      {"deep", deep_document()},
      {"long_strings", long_strings_document()},
      {"numbers", numbers_document()},
  };
  for (const auto& [name, document] : documents) {
    benchmark::RegisterBenchmark((std::string("ours/") + name).c_str(), ours, document)->UseRealTime();
    benchmark::RegisterBenchmark((std::string("boost/") + name).c_str(), boost_json, document)->UseRealTime();
    benchmark::RegisterBenchmark((std::string("nlohmann/") + name).c_str(), nlohmann_json, document)->UseRealTime();
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
}
