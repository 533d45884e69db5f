#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <windows.h>
#include <winsock2.h>

#include <algorithm>
#include <climits>
#include <cwctype>

#include "platform/platform.h"
#include "text/text.h"

namespace zelto::platform {
namespace {

// The most written at once: some consoles refuse very large writes, and WriteFile counts in a DWORD.
constexpr std::size_t kMostToConsole = 8192, kMostToFile = 1 << 30;

// The IPv4 loopback address at `port`.
sockaddr_in loopback(std::uint16_t port) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  return address;
}

SystemError last_socket_error() { return system_error(WSAGetLastError()); }

// Each gives the system's error number, or NO_ERROR once all of `text` is written.
DWORD write_console(HANDLE console, std::string_view text) {
  const std::wstring wide = to_utf16(text);
  std::wstring_view rest = wide;
  while (!rest.empty()) {
    const auto chunk = static_cast<DWORD>(console_chunk(rest, kMostToConsole));
    DWORD written = 0;
    if (!WriteConsoleW(console, rest.data(), chunk, &written, nullptr)) return GetLastError();
    if (written == 0) return ERROR_WRITE_FAULT;  // no progress: never loop forever
    rest.remove_prefix(written);
  }
  return NO_ERROR;
}

DWORD write_file(HANDLE file, std::string_view text) {
  while (!text.empty()) {
    const DWORD chunk = static_cast<DWORD>(std::min(text.size(), kMostToFile));
    DWORD written = 0;
    if (!WriteFile(file, text.data(), chunk, &written, nullptr)) return GetLastError();
    if (written == 0) return ERROR_WRITE_FAULT;  // no progress: never loop forever
    text.remove_prefix(written);
  }
  return NO_ERROR;
}

bool start_winsock() {
  static WSADATA data;
  static const bool started = WSAStartup(MAKEWORD(2, 2), &data) == 0;
  return started;
}

int clamp_to_int(std::size_t size) { return static_cast<int>(std::min<std::size_t>(size, INT_MAX)); }

HANDLE standard_handle(StandardStream stream) {
  return GetStdHandle(stream == StandardStream::output ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
}

}  // namespace

SystemError system_error(int code) {
  wchar_t* message = nullptr;
  const DWORD length =
      FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                     nullptr, static_cast<DWORD>(code), 0, reinterpret_cast<LPWSTR>(&message), 0, nullptr);
  std::wstring_view text(message ? message : L"", message ? length : 0);
  while (!text.empty() && std::iswspace(text.back())) text.remove_suffix(1);
  std::string result = text.empty() ? "unknown error" : to_utf8(text);
  if (message) LocalFree(message);
  return {result + " (os error " + std::to_string(code) + ")"};
}

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

std::vector<std::string> arguments(int, char**) { return split_command_line(to_utf8(GetCommandLineW())); }

Result<Done, SystemError> write_standard(StandardStream stream, std::string_view text) {
  const HANDLE handle = standard_handle(stream);
  if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return Done{};  // started without the stream
  const DWORD error = is_terminal(stream) ? write_console(handle, text) : write_file(handle, text);
  // A value that is no handle is the same as none: what a parent gives for a stream it does not have
  // (a closed descriptor of a POSIX parent under Wine, a stale handle).
  if (error == NO_ERROR || error == ERROR_INVALID_HANDLE) return Done{};
  return system_error(error);
}

bool is_terminal(StandardStream stream) {
  DWORD mode = 0;
  return GetConsoleMode(standard_handle(stream), &mode);
}

Result<Done, SystemError> LoopbackSocket::connect(std::uint16_t port) {
  if (!start_winsock()) return last_socket_error();
  const SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (s == INVALID_SOCKET) return last_socket_error();
  handle_ = static_cast<std::uintptr_t>(s);
  const sockaddr_in address = loopback(port);
  if (::connect(s, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) return last_socket_error();
  return Done{};
}

// Nothing interrupts a Windows socket's call: WSAEINTR came only from WSACancelBlockingCall, which
// Winsock 2 removed.
Result<std::size_t, SystemError> LoopbackSocket::send_some(std::string_view bytes) {
  const int sent = send(static_cast<SOCKET>(*handle_), bytes.data(), clamp_to_int(bytes.size()), 0);
  if (sent == SOCKET_ERROR) return last_socket_error();
  return static_cast<std::size_t>(sent);
}

Result<std::size_t, SystemError> LoopbackSocket::receive_some(std::span<char> room) {
  const int received = recv(static_cast<SOCKET>(*handle_), room.data(), clamp_to_int(room.size()), 0);
  if (received == SOCKET_ERROR) return last_socket_error();
  return static_cast<std::size_t>(received);
}

LoopbackSocket::~LoopbackSocket() {
  if (handle_) closesocket(static_cast<SOCKET>(*handle_));
}

Result<std::uint16_t, SystemError> LoopbackSocket::listen(std::uint16_t port) {
  if (!start_winsock()) return last_socket_error();
  // Not inherited: the stand-in's command, and what it starts, must not keep the port open.
  const SOCKET s = WSASocketW(AF_INET, SOCK_STREAM, IPPROTO_TCP, nullptr, 0, WSA_FLAG_NO_HANDLE_INHERIT);
  if (s == INVALID_SOCKET) return last_socket_error();
  handle_ = static_cast<std::uintptr_t>(s);
  sockaddr_in address = loopback(port);
  int length = sizeof address;
  auto* const generic = reinterpret_cast<sockaddr*>(&address);
  u_long never_wait = 1;
  if (ioctlsocket(s, FIONBIO, &never_wait) != 0 || bind(s, generic, length) != 0 || ::listen(s, SOMAXCONN) != 0 ||
      getsockname(s, generic, &length) != 0)
    return last_socket_error();
  return ntohs(address.sin_port);
}

Result<LoopbackSocket, SystemError> LoopbackSocket::accept() {
  const SOCKET s = ::accept(static_cast<SOCKET>(*handle_), nullptr, nullptr);
  if (s == INVALID_SOCKET) return last_socket_error();
  LoopbackSocket accepted(static_cast<std::uintptr_t>(s));
  u_long never_wait = 1;
  if (ioctlsocket(s, FIONBIO, &never_wait) != 0) return last_socket_error();
  return accepted;
}

Result<std::vector<bool>, SystemError> LoopbackSocket::wait_for(std::span<const Awaited> sockets, int milliseconds) {
  std::vector<WSAPOLLFD> polled;
  polled.reserve(sockets.size());
  for (const auto& [socket, room_to_send] : sockets)
    polled.push_back({static_cast<SOCKET>(*socket->handle_), static_cast<short>(room_to_send ? POLLOUT : POLLIN), 0});
  const int count = WSAPoll(polled.data(), static_cast<ULONG>(polled.size()), milliseconds);
  if (count == SOCKET_ERROR) return last_socket_error();
  std::vector<bool> ready;
  ready.reserve(polled.size());
  for (const WSAPOLLFD& each : polled) ready.push_back(count > 0 && each.revents != 0);
  return ready;
}

}  // namespace zelto::platform
