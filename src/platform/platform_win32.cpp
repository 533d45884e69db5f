#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <winsock2.h>
#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <climits>

#include "platform/platform.h"

namespace zelto::platform {
namespace {

// UTF-16 to UTF-8; empty when the text holds an unpaired surrogate.
std::optional<std::string> to_utf8(std::wstring_view text) {
  if (text.empty()) return std::string();
  const int length = static_cast<int>(text.size());
  const int size = WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, text.data(), length, nullptr, 0, nullptr, nullptr);
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
  int count = 0;
  LPWSTR* words = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!words) return std::vector<std::string>();
  std::optional<std::vector<std::string>> arguments(std::in_place);
  for (int i = 1; i < count && arguments; ++i) {
    if (std::optional<std::string> argument = to_utf8(words[i])) {
      arguments->push_back(std::move(*argument));
    } else {
      arguments.reset();
    }
  }
  LocalFree(words);
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
  const HANDLE handle = GetStdHandle(stream == StandardStream::output ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
  if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return 0;  // no handle at all: swallowed
  DWORD mode = 0;
  const int error = GetConsoleMode(handle, &mode) ? write_console(handle, text) : write_file(handle, text);
  // A handle value that stands for nothing is the same as having none.
  return error == ERROR_INVALID_HANDLE ? 0 : error;
}

int LoopbackConnection::connect(std::uint16_t port) {
  if (!start_winsock()) return WSAGetLastError();
  const SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (s == INVALID_SOCKET) return WSAGetLastError();
  handle_ = static_cast<std::uintptr_t>(s);
  open_ = true;
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (::connect(s, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) return WSAGetLastError();
  return 0;
}

Transfer LoopbackConnection::send_some(std::string_view bytes) {
  for (;;) {
    const int sent = send(static_cast<SOCKET>(handle_), bytes.data(), clamp_to_int(bytes.size()), 0);
    if (sent != SOCKET_ERROR) return {static_cast<std::size_t>(sent), 0};
    if (WSAGetLastError() != WSAEINTR) return {0, WSAGetLastError()};
  }
}

Transfer LoopbackConnection::receive_some(std::span<char> room) {
  for (;;) {
    const int received = recv(static_cast<SOCKET>(handle_), room.data(), clamp_to_int(room.size()), 0);
    if (received != SOCKET_ERROR) return {static_cast<std::size_t>(received), 0};
    if (WSAGetLastError() != WSAEINTR) return {0, WSAGetLastError()};
  }
}

void LoopbackConnection::close() {
  if (open_) closesocket(static_cast<SOCKET>(handle_));
  open_ = false;
}

}  // namespace zelto::platform
