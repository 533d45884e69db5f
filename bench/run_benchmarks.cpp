// Measures zelto side by side with its references in one run and prints the tables:
//  - one call: `zelto-cli send alvo mensagem` (static, and dynamic for comparison) against a
//    minimal static C client doing the same exchange; the same on Windows, under Wine;
//  - large `list` answers of both shapes: zelto-cli against a client built on Boost.JSON at its
//    fastest, same report.
// Runs are paired (A B A B ...) and ratios are medians of the pairwise ratios: the machine is noisy.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "list_answer.h"

namespace {

// The app's side of the measured calls: answers every connection on 127.0.0.1 with `answer`, on a
// thread of its own, for the rest of the run. Gives the port.
std::uint16_t serve(std::string answer) {
  const int listener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  if (bind(listener, reinterpret_cast<sockaddr*>(&address), length) != 0 || listen(listener, 64) != 0 ||
      getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    std::perror("cannot listen on 127.0.0.1");
    std::exit(1);
  }
  std::thread([listener, answer = std::move(answer)] {
    for (;;) {
      const int connection = accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
      char chunk[4096];
      for (ssize_t got; (got = recv(connection, chunk, sizeof chunk, 0)) > 0 && chunk[got - 1] != '\n';) {
      }
      for (std::string_view rest = answer; !rest.empty();) {
        const ssize_t sent = send(connection, rest.data(), rest.size(), MSG_NOSIGNAL);
        if (sent <= 0) break;
        rest.remove_prefix(static_cast<std::size_t>(sent));
      }
      close(connection);
    }
  }).detach();
  return ntohs(address.sin_port);
}

struct Run {
  double wall_ms;
  double cpu_ms;
  double peak_mib;
};

// Runs a program with the terminal's variables, standard output to `output`, and measures it
// through the small `measure` program: a child's peak memory counts the memory of the process it
// was forked from, and `measure` is small.
Run run(const std::vector<std::string>& command, std::uint16_t port, const std::string& output = "/dev/null") {
  std::string line = std::string(MEASURE) + " '" + output + "'";
  for (const std::string& word : command) line += " '" + word + "'";
  setenv("ZELTO_NODE_ID", "node-1", 1);
  setenv("ZELTO_PORT", std::to_string(port).c_str(), 1);
  setenv("ZELTO_TOKEN", "t", 1);
  FILE* measured = popen(line.c_str(), "r");
  Run result{};
  long peak_kib = 0;
  int status = -1;
  const int read = std::fscanf(measured, "%lf %lf %ld %d", &result.wall_ms, &result.cpu_ms, &peak_kib, &status);
  if (pclose(measured) != 0 || read != 4 || status != 0) {
    std::fprintf(stderr, "%s failed (status %d)\n", command[0].c_str(), status);
    std::exit(1);
  }
  result.peak_mib = peak_kib / 1024.0;
  return result;
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

template <typename Field>
std::vector<double> column(const std::vector<Run>& runs, Field field) {
  std::vector<double> values;
  for (const Run& r : runs) values.push_back(r.*field);
  return values;
}

std::vector<double> ratios(const std::vector<Run>& a, const std::vector<Run>& b, double Run::*field) {
  std::vector<double> result;
  for (std::size_t i = 0; i < a.size(); ++i) result.push_back(a[i].*field / b[i].*field);
  return result;
}

double file_kib(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 ? info.st_size / 1024.0 : 0;
}

std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

struct Client {
  const char* name;
  std::vector<std::string> command;
  std::string binary;
};

// One call of each client, in rounds (one run of each per round, the floor last), against an app
// that answers at once; ratios are to the floor. Gives the first client's median wall time.
double per_call(const char* title, const std::vector<Client>& clients, int rounds, bool show_memory) {
  const std::uint16_t port = serve(R"({"ok":true,"sent":1})");
  for (int i = 0; i < 10; ++i) {
    for (const Client& client : clients) run(client.command, port);
  }
  std::vector<std::vector<Run>> runs(clients.size());
  for (int i = 0; i < rounds; ++i) {
    for (std::size_t c = 0; c < clients.size(); ++c) runs[c].push_back(run(clients[c].command, port));
  }
  std::printf("\n## %s: `send alvo mensagem`, %d rounds\n\n", title, rounds);
  std::printf("| client | wall median | CPU median | wall / floor | CPU / floor |%s binary |\n",
              show_memory ? " peak memory |" : "");
  std::printf("|---|---|---|---|---|%s---|\n", show_memory ? "---|" : "");
  for (std::size_t c = 0; c < clients.size(); ++c) {
    std::printf("| %s | %.3f ms | %.3f ms | %.3fx | %.3fx |", clients[c].name, median(column(runs[c], &Run::wall_ms)),
                median(column(runs[c], &Run::cpu_ms)), median(ratios(runs[c], runs.back(), &Run::wall_ms)),
                median(ratios(runs[c], runs.back(), &Run::cpu_ms)));
    if (show_memory) std::printf(" %.1f MiB |", median(column(runs[c], &Run::peak_mib)));
    std::printf(" %.0f KiB |\n", file_kib(clients[c].binary));
  }
  return median(column(runs.front(), &Run::wall_ms));
}

// `call_ms`: zelto's wall time for one call, which is not the answer's: its time per MiB is what is
// left of its wall time, over the answer's size.
void large_answers(zelto::bench::Shape shape, const char* name, double call_ms) {
  std::printf("\n## `list` with large answers of the %s shape, output to /dev/null: zelto-cli against Boost.JSON\n\n",
              name);
  std::printf(
      "| answer | runs | zelto wall | Boost wall | wall ratio | zelto ms/MiB less a call | zelto peak | Boost peak | "
      "peak ratio |\n");
  std::printf("|---|---|---|---|---|---|---|---|---|\n");
  const std::vector<std::string> zelto = {ZELTO_CLI, "list"};
  const std::vector<std::string> boost = {BOOST_CLIENT};
  std::vector<double> ms_per_mib;  // zelto's, from the smallest answer to the largest
  for (const int mib : {1, 8, 32, 128}) {
    const std::uint16_t port = serve(zelto::bench::list_answer(static_cast<std::size_t>(mib) << 20, shape));
    const std::string ours_out = "zelto-bench-ours.txt", theirs_out = "zelto-bench-boost.txt";
    run(zelto, port, ours_out);
    run(boost, port, theirs_out);
    if (read_file(ours_out) != read_file(theirs_out)) {
      std::fprintf(stderr, "the reports differ at %d MiB\n", mib);
      std::exit(1);
    }
    std::remove(ours_out.c_str());
    std::remove(theirs_out.c_str());

    const int pairs = mib >= 128 ? 5 : mib >= 32 ? 11 : mib >= 8 ? 9 : 15;
    std::vector<Run> ours, theirs;
    for (int i = 0; i < pairs; ++i) {
      ours.push_back(run(zelto, port));
      theirs.push_back(run(boost, port));
    }
    std::printf("| %d MiB | %d | %.1f ms | %.1f ms | %.3fx | %.2f | %.1f MiB | %.1f MiB | %.3fx |\n", mib, pairs,
                median(column(ours, &Run::wall_ms)), median(column(theirs, &Run::wall_ms)),
                median(ratios(ours, theirs, &Run::wall_ms)), (median(column(ours, &Run::wall_ms)) - call_ms) / mib,
                median(column(ours, &Run::peak_mib)), median(column(theirs, &Run::peak_mib)),
                median(ratios(ours, theirs, &Run::peak_mib)));
    ms_per_mib.push_back((median(column(ours, &Run::wall_ms)) - call_ms) / mib);
  }
  std::printf(
      "\nzelto's time per MiB (its wall time less a call's, %.1f ms), smallest answer over largest: %.2f "
      "(1.00 is exactly linear)\n",
      call_ms, ms_per_mib.front() / ms_per_mib.back());
}

}  // namespace

// The Windows programs under Wine, with one Wine server kept running for all the calls.
void per_call_windows(int rounds) {
  if (std::system(WINE_RUN " --start") != 0) {
    std::fprintf(stderr, "cannot start Wine\n");
    std::exit(1);
  }
  per_call("One call on Windows, under Wine",
           {{"zelto-cli.exe", {WINE_RUN, WINDOWS_ZELTO_CLI, "send", "alvo", "mensagem"}, WINDOWS_ZELTO_CLI},
            {"floor (static C)", {WINE_RUN, WINDOWS_FLOOR_CLIENT}, WINDOWS_FLOOR_CLIENT}},
           rounds, false);
  std::system(WINE_RUN " --stop");
}

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::atoi(argv[1]) : 300;
  const double call_ms =
      per_call("One call",
               {{"zelto-cli (static)", {ZELTO_CLI, "send", "alvo", "mensagem"}, ZELTO_CLI},
                {"zelto-cli (dynamic)", {ZELTO_CLI_DYNAMIC, "send", "alvo", "mensagem"}, ZELTO_CLI_DYNAMIC},
                {"floor (static C)", {FLOOR_CLIENT}, FLOOR_CLIENT}},
               rounds, true);
  // Before Wine: a Wine server that was just stopped is still at work for a while.
  large_answers(zelto::bench::Shape::plain, "plain", call_ms);
  large_answers(zelto::bench::Shape::rich, "rich", call_ms);
  per_call_windows(std::max(rounds / 5, 10));
}
