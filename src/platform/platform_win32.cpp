#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <winsock2.h>
#include <windows.h>

#include <algorithm>
#include <climits>

#include "platform/platform.h"

namespace zelto::platform {
namespace {

// UTF-16 to UTF-8; empty when the text holds an unpaired surrogate.
std::optional<std::string> to_utf8(std::wstring_view text) {
  if (text.empty()) return std::string();
  const int length = static_cast<int>(text.size());
  const int size =
      WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, text.data(), length, nullptr, 0, nullptr, nullptr);
  if (size <= 0) return std::nullopt;
  std::string result(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, text.data(), length, result.data(), size, nullptr, nullptr);
  return result;
}

// UTF-8 (valid: everything the program prints is) to UTF-16.
std::wstring to_utf16(std::string_view text) {
  if (text.empty()) return std::wstring();
  const int length = static_cast<int>(text.size());
  const int size = MultiByteToWideChar(CP_UTF8, 0, text.data(), length, nullptr, 0);
  std::wstring result(static_cast<std::size_t>(size), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), length, result.data(), size);
  return result;
}

int write_console(HANDLE console, std::string_view text) {
  const std::wstring wide = to_utf16(text);
  std::wstring_view rest = wide;
  while (!rest.empty()) {
    // Some consoles refuse very large writes; a pair of surrogates is never split.
    DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(rest.size(), 8192));
    if (chunk < rest.size() && rest[chunk - 1] >= 0xD800 && rest[chunk - 1] <= 0xDBFF) --chunk;
    DWORD written = 0;
    if (!WriteConsoleW(console, rest.data(), chunk, &written, nullptr)) return static_cast<int>(GetLastError());
    if (written == 0) return ERROR_WRITE_FAULT;  // no progress: never loop forever
    rest.remove_prefix(written);
  }
  return 0;
}

int write_file(HANDLE file, std::string_view text) {
  while (!text.empty()) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(text.size(), 1u << 30));
    DWORD written = 0;
    if (!WriteFile(file, text.data(), chunk, &written, nullptr)) return static_cast<int>(GetLastError());
    if (written == 0) return ERROR_WRITE_FAULT;  // no progress: never loop forever
    text.remove_prefix(written);
  }
  return 0;
}

bool start_winsock() {
  static const int started = [] {
    WSADATA data;
    return WSAStartup(MAKEWORD(2, 2), &data);
  }();
  return started == 0;
}

int clamp_to_int(std::size_t size) { return static_cast<int>(std::min<std::size_t>(size, INT_MAX)); }

HANDLE standard_handle(StandardStream stream) {
  return GetStdHandle(stream == StandardStream::output ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
}

bool is_blank(wchar_t c) { return c == L' ' || c == L'\t'; }

// The arguments of a command line after the program name, split by the rules of the Microsoft C
// runtime, as every console program started from cmd.exe or PowerShell splits them. Arguments are
// separated by spaces and tabs outside double quotes; a double quote starts or ends a quoted run,
// and inside one two double quotes give one literal double quote and the run goes on; backslashes
// are literal except before a double quote, where 2n of them give n and the quote keeps its role,
// and 2n+1 give n and a literal double quote. The program name before them runs to the first space
// or tab outside double quotes, wherever they stand in it; backslashes are literal there.
std::vector<std::wstring> split_command_line(std::wstring_view line) {
  std::size_t i = 0;
  for (bool quoted = false; i < line.size() && (quoted || !is_blank(line[i])); ++i) {
    if (line[i] == L'"') quoted = !quoted;
  }
  std::vector<std::wstring> arguments;
  for (;;) {
    while (i < line.size() && is_blank(line[i])) ++i;
    if (i == line.size()) return arguments;
    std::wstring& argument = arguments.emplace_back();
    for (bool quoted = false; i < line.size() && (quoted || !is_blank(line[i]));) {
      if (line[i] == L'\\') {
        const std::size_t run_end = std::min(line.find_first_not_of(L'\\', i), line.size());
        const std::size_t backslashes = run_end - i;
        const bool before_quote = run_end < line.size() && line[run_end] == L'"';
        argument.append(before_quote ? backslashes / 2 : backslashes, L'\\');
        i = run_end;
        if (before_quote && backslashes % 2 == 1) {
          argument += L'"';
          ++i;
        }
      } else if (line[i] == L'"') {
        if (quoted && i + 1 < line.size() && line[i + 1] == L'"') {
          argument += L'"';
          ++i;
        } else {
          quoted = !quoted;
        }
        ++i;
      } else {
        argument += line[i++];
      }
    }
  }
}

}  // namespace

void prepare_process() {
  // Nothing to do: Windows has no SIGPIPE, and a stream without a handle is seen at write time.
}

std::optional<std::string> environment_variable(const char* name) {
  const std::wstring wide_name = to_utf16(name);
  const DWORD size = GetEnvironmentVariableW(wide_name.c_str(), nullptr, 0);
  if (size == 0) return std::nullopt;  // unset
  std::wstring value(size, L'\0');
  const DWORD length = GetEnvironmentVariableW(wide_name.c_str(), value.data(), size);
  if (length >= size) return std::nullopt;  // changed between the two calls
  value.resize(length);
  return to_utf8(value);
}

std::optional<std::vector<std::string>> unicode_arguments(int, char**) {
  std::vector<std::string> arguments;
  for (const std::wstring& word : split_command_line(GetCommandLineW())) {
    std::optional<std::string> argument = to_utf8(word);
    if (!argument) return std::nullopt;
    arguments.push_back(std::move(*argument));
  }
  return arguments;
}

std::string os_error_text(int code) {
  wchar_t* message = nullptr;
  const DWORD length =
      FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                     nullptr, static_cast<DWORD>(code), 0, reinterpret_cast<LPWSTR>(&message), 0, nullptr);
  std::wstring_view text(message ? message : L"", message ? length : 0);
  while (!text.empty() && iswspace(text.back())) text.remove_suffix(1);
  std::string result = to_utf8(text).value_or("");
  if (message) LocalFree(message);
  if (result.empty()) result = "unknown error";
  return result + " (os error " + std::to_string(code) + ")";
}

int write_standard(StandardStream stream, std::string_view text) {
  const HANDLE handle = standard_handle(stream);
  if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return 0;  // no handle at all: swallowed
  const int error = is_terminal(stream) ? write_console(handle, text) : write_file(handle, text);
  // A handle value that stands for nothing is the same as having none.
  return error == ERROR_INVALID_HANDLE ? 0 : error;
}

bool is_terminal(StandardStream stream) {
  DWORD mode = 0;
  return GetConsoleMode(standard_handle(stream), &mode);
}

int LoopbackConnection::connect(std::uint16_t port) {
  if (!start_winsock()) return WSAGetLastError();
  const SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (s == INVALID_SOCKET) return WSAGetLastError();
  handle_ = static_cast<std::uintptr_t>(s);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (::connect(s, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) return WSAGetLastError();
  return 0;
}

Transfer LoopbackConnection::send_some(std::string_view bytes) {
  for (;;) {
    const int sent = send(static_cast<SOCKET>(*handle_), bytes.data(), clamp_to_int(bytes.size()), 0);
    if (sent != SOCKET_ERROR) return {static_cast<std::size_t>(sent), 0};
    if (WSAGetLastError() != WSAEINTR) return {0, WSAGetLastError()};
  }
}

Transfer LoopbackConnection::receive_some(std::span<char> room) {
  for (;;) {
    const int received = recv(static_cast<SOCKET>(*handle_), room.data(), clamp_to_int(room.size()), 0);
    if (received != SOCKET_ERROR) return {static_cast<std::size_t>(received), 0};
    if (WSAGetLastError() != WSAEINTR) return {0, WSAGetLastError()};
  }
}

LoopbackConnection::~LoopbackConnection() {
  if (handle_) closesocket(static_cast<SOCKET>(*handle_));
}

}  // namespace zelto::platform
