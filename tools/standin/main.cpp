// zelto-standin: a small stand-in for the app, to try the client by hand and to test it end to end.
// It keeps a canvas in memory, answers the client on 127.0.0.1, and runs a command (or a shell) as
// if in one of its terminals, with the terminal's variables set and `zelto` on PATH.

#include <charconv>
#include <cstdlib>
#include <exception>
#include <iostream>
#include <random>

#include "canvas.h"
#include "host.h"

namespace {

using namespace zelto::standin;

constexpr std::string_view kUsage =
    "uso: zelto-standin [--port N] [--folder PASTA] [--client ZELTO-CLI] [-- COMANDO [ARGUMENTOS...]]\n"
    "Sem comando, abre o shell do usuario ($SHELL).\n";

struct Options {
  std::uint16_t port = 0;
  std::filesystem::path folder;  // empty: a temporary one, removed at the end
  std::filesystem::path client;
  std::vector<std::string> command;
};

Options parse_options(int argc, char** argv) {
  Options options;
  options.client = executable_folder() / "zelto-cli";
  for (int i = 1; i < argc; ++i) {
    const std::string_view option = argv[i];
    const bool has_value = i + 1 < argc;
    if (option == "--") {
      options.command.assign(argv + i + 1, argv + argc);
      break;
    } else if (option == "--port" && has_value) {
      const std::string_view port = argv[++i];
      const auto [end, error] = std::from_chars(port.data(), port.data() + port.size(), options.port);
      if (error != std::errc() || end != port.data() + port.size()) {
        throw std::invalid_argument(std::string(kUsage));
      }
    } else if (option == "--folder" && has_value) {
      options.folder = argv[++i];
    } else if (option == "--client" && has_value) {
      options.client = std::filesystem::absolute(argv[++i]);
    } else {
      throw std::invalid_argument(std::string(kUsage));
    }
  }
  if (options.command.empty()) {
    const char* shell = std::getenv("SHELL");
    options.command = {shell && *shell ? shell : "/bin/sh"};
  }
  return options;
}

std::string random_token() {
  std::random_device random;
  std::string token;
  for (int i = 0; i < 32; ++i) token += "0123456789abcdef"[random() % 16];
  return token;
}

int run(const Options& options) {
  const bool temporary = options.folder.empty();
  const std::filesystem::path folder = temporary ? make_temporary_folder("zelto-standin-") : options.folder;
  std::filesystem::create_directories(folder);
  const std::filesystem::path bin = make_temporary_folder("zelto-standin-bin-");
  std::filesystem::create_symlink(options.client, bin / "zelto");

  Canvas canvas(std::filesystem::canonical(folder), random_token());
  const std::uint16_t port = serve_in_background(options.port, [&canvas](std::string_view line) {
    std::string log;
    std::string response = canvas.answer(line, log);
    std::cerr << "[app] " << log << std::endl;
    return response;
  });
  std::cerr << "[app] ouvindo em 127.0.0.1:" << port << "; arquivos em " << folder.string() << std::endl;

  std::string search_path = bin.string();
  if (const char* path = std::getenv("PATH")) search_path.append(":").append(path);
  const int status = run_command(options.command, {{"ZELTO_NODE_ID", canvas.caller_id()},
                                                   {"ZELTO_PORT", std::to_string(port)},
                                                   {"ZELTO_TOKEN", canvas.token()},
                                                   {"PATH", search_path}});
  std::filesystem::remove_all(bin);
  if (temporary) std::filesystem::remove_all(folder);
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    return run(parse_options(argc, argv));
  } catch (const std::invalid_argument& usage) {
    std::cerr << usage.what();
    return 2;
  } catch (const std::exception& error) {
    std::cerr << "zelto-standin: " << error.what() << "\n";
    return 1;
  }
}
