#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <windows.h>
#include <winsock2.h>

#include <atomic>
#include <cwchar>
#include <stdexcept>

#include "host.h"

namespace zelto::standin {
namespace {

constexpr std::size_t kLongestRequest = 64 << 20;

std::atomic<int> requested{0};  // the console event that asked the stand-in to end, plus one, or 0

// The console passes Ctrl+C and Ctrl+Break on to every process attached to it, the command too:
// the stand-in only notes them, and ends once the command has.
BOOL WINAPI note_end_request(DWORD event) {
  if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) return FALSE;
  requested = static_cast<int>(event) + 1;
  return TRUE;
}

[[noreturn]] void fail(const std::string& what, DWORD error) {
  throw std::runtime_error(what + " (os error " + std::to_string(error) + ")");
}

std::wstring wide(std::string_view text) {
  const int size = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring result(static_cast<std::size_t>(size), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), result.data(), size);
  return result;
}

// An argument as a command line gives it to a program that splits it by the C runtime's rules.
std::wstring quoted(const std::wstring& argument) {
  if (!argument.empty() && argument.find_first_of(L" \t\"") == std::wstring::npos) return argument;
  std::wstring result = L"\"";
  std::size_t backslashes = 0;
  for (const wchar_t c : argument) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    result.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');  // doubled, and one for a quote
    result += c;
    backslashes = 0;
  }
  return result.append(2 * backslashes, L'\\') + L"\"";  // doubled before the closing quote
}

std::string read_line(SOCKET connection) {
  std::string line;
  char chunk[65536];
  while (line.find('\n') == std::string::npos && line.size() < kLongestRequest) {
    const int got = recv(connection, chunk, sizeof chunk, 0);
    if (got <= 0) break;
    line.append(chunk, static_cast<std::size_t>(got));
  }
  return line.substr(0, line.find('\n'));
}

void write_all(SOCKET connection, std::string_view bytes) {
  while (!bytes.empty()) {
    const int sent = send(connection, bytes.data(), static_cast<int>(std::min<std::size_t>(bytes.size(), 1 << 30)), 0);
    if (sent <= 0) return;
    bytes.remove_prefix(static_cast<std::size_t>(sent));
  }
}

}  // namespace

void catch_end_requests() { SetConsoleCtrlHandler(note_end_request, TRUE); }

int end_request() { return requested; }

void end_as_requested(int) { ExitProcess(STATUS_CONTROL_C_EXIT); }

std::uint16_t serve_in_background(std::uint16_t port, std::function<std::string(std::string_view)> answer) {
  WSADATA data;
  if (const int error = WSAStartup(MAKEWORD(2, 2), &data)) fail("WSAStartup", static_cast<DWORD>(error));
  const SOCKET listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (listener == INVALID_SOCKET) fail("socket", static_cast<DWORD>(WSAGetLastError()));
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  int length = sizeof address;
  if (bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    fail("cannot listen on 127.0.0.1:" + std::to_string(port), static_cast<DWORD>(WSAGetLastError()));
  }
  if (listen(listener, 64) != 0) fail("listen", static_cast<DWORD>(WSAGetLastError()));
  if (getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    fail("getsockname", static_cast<DWORD>(WSAGetLastError()));
  }
  // A thread of its own, which the mingw-w64 runtime's std::thread does not offer.
  struct Server {
    SOCKET listener;
    std::function<std::string(std::string_view)> answer;
  };
  const auto serve = [](void* argument) -> DWORD {
    const Server& server = *static_cast<Server*>(argument);
    for (;;) {
      const SOCKET connection = accept(server.listener, nullptr, nullptr);
      if (connection == INVALID_SOCKET) continue;
      write_all(connection, server.answer(read_line(connection)));
      closesocket(connection);
    }
  };
  const HANDLE thread = CreateThread(nullptr, 0, serve, new Server{listener, std::move(answer)}, 0, nullptr);
  if (!thread) fail("CreateThread", GetLastError());
  CloseHandle(thread);
  return ntohs(address.sin_port);
}

void set_environment_variable(const std::string& name, const std::string& value) {
  if (!SetEnvironmentVariableW(wide(name).c_str(), wide(value).c_str())) fail("set " + name, GetLastError());
}

std::string default_shell() {
  const char* shell = std::getenv("COMSPEC");
  return shell && *shell ? shell : "cmd.exe";
}

char path_separator() { return ';'; }

int run_command(const std::vector<std::string>& words) {
  std::wstring line;
  for (const std::string& word : words) line += (line.empty() ? L"" : L" ") + quoted(wide(word));
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  // Looked up on this process's PATH, which the stand-in has set for the command, as is the
  // environment the command inherits.
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process)) {
    fail("cannot run " + words[0], GetLastError());
  }
  CloseHandle(process.hThread);
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD status = 1;
  GetExitCodeProcess(process.hProcess, &status);
  CloseHandle(process.hProcess);
  return static_cast<int>(status);
}

std::filesystem::path executable_path() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length < path.size()) return path.substr(0, length);
    path.resize(path.size() * 2);
  }
}

}  // namespace zelto::standin
