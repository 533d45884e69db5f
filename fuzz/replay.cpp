// Runs the fuzz target once on each file of the folders named, for builds without libFuzzer: the
// seed corpus is checked with the tests, by the compiler and options of the programs shipped. The
// name of each file goes to standard error before it runs, so that the last one named is the one
// a failed check stopped at. A file that cannot be opened, or no file at all, fails the run: a check
// of nothing must not pass.

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv) {
  std::size_t seeds = 0;
  for (int folder = 1; folder < argc; ++folder) {
    for (const auto& seed : std::filesystem::directory_iterator(argv[folder])) {
      std::cerr << seed.path().string() << '\n';
      std::ifstream file(seed.path(), std::ios::binary);
      const std::string bytes{std::istreambuf_iterator<char>(file), {}};
      if (!file) return 1;
      LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
      ++seeds;
    }
  }
  return seeds == 0 ? 1 : 0;
}
