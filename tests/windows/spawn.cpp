// zelto-test-spawn: starts a Windows program the way a Windows parent does, for the black-box tests
// under Wine. Arguments and environment values arrive hex-encoded, so that nothing on the way can
// change them, and are turned into UTF-16 here; bytes that are not UTF-8 (and UTF-8-encoded
// surrogates) become lone surrogates, so that a test can hand the program text that is not valid
// Unicode, which a Windows command line or environment can hold.
//
// zelto-test-spawn <stdout: inherit|none> <stderr: inherit|none> <program> [NAME=VALUE]... -- [ARG]...
// zelto-test-spawn <stdout: inherit|none> <stderr: inherit|none> <program> [NAME=VALUE]... --line LINE
// Every word after the two modes is hex. The arguments are quoted into a command line after the
// program's path; a LINE is the whole command line, as given. Exits with the program's exit status.

#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include <shellapi.h>

#include <cstdint>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

std::string from_hex(const wchar_t* hex) {
  std::string bytes;
  for (; hex[0] && hex[1]; hex += 2) {
    const wchar_t pair[3] = {hex[0], hex[1], 0};
    bytes += static_cast<char>(std::wcstoul(pair, nullptr, 16));
  }
  return bytes;
}

// Generalised UTF-8 to UTF-16: well-formed sequences and encoded surrogates as their code points,
// every other byte b as the lone surrogate U+DC00 + b.
std::wstring to_utf16(const std::string& bytes) {
  std::wstring out;
  for (std::size_t i = 0; i < bytes.size();) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(bytes[k]); };
    const unsigned char lead = byte(i);
    const std::size_t length = lead < 0x80 ? 1 : lead >= 0xC2 && lead < 0xE0 ? 2 : lead >= 0xE0 && lead < 0xF0 ? 3
                               : lead >= 0xF0 && lead < 0xF5                  ? 4
                                                                              : 0;
    bool whole = length > 0 && i + length <= bytes.size();
    for (std::size_t k = 1; whole && k < length; ++k) whole = (byte(i + k) & 0xC0) == 0x80;
    if (!whole) {
      out += static_cast<wchar_t>(0xDC00 + lead);
      ++i;
      continue;
    }
    std::uint32_t code_point = length == 1 ? lead : lead & (0xFF >> (length + 1));
    for (std::size_t k = 1; k < length; ++k) code_point = code_point << 6 | (byte(i + k) & 0x3F);
    if (code_point >= 0x10000) {
      out += static_cast<wchar_t>(0xD800 + ((code_point - 0x10000) >> 10));
      out += static_cast<wchar_t>(0xDC00 + ((code_point - 0x10000) & 0x3FF));
    } else {
      out += static_cast<wchar_t>(code_point);
    }
    i += length;
  }
  return out;
}

// Quoted so that the program's command-line splitting gives the argument back unchanged.
std::wstring quoted(const std::wstring& argument) {
  if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring::npos) return argument;
  std::wstring out = L"\"";
  for (std::size_t i = 0;; ++i) {
    std::size_t backslashes = 0;
    for (; i < argument.size() && argument[i] == L'\\'; ++i) ++backslashes;
    if (i == argument.size()) {
      out.append(backslashes * 2, L'\\');
      break;
    }
    out.append(argument[i] == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
    out += argument[i];
  }
  return out + L"\"";
}

HANDLE stream(const wchar_t* mode, DWORD which) {
  if (std::wcscmp(mode, L"none") == 0) return nullptr;
  const HANDLE handle = GetStdHandle(which);
  SetHandleInformation(handle, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);
  return handle;
}

}  // namespace

int main() {
  int count = 0;
  wchar_t** words = CommandLineToArgvW(GetCommandLineW(), &count);
  if (count < 4) {
    std::fputs("usage: zelto-test-spawn <stdout> <stderr> <program> [NAME=VALUE]... -- [ARG]...\n", stderr);
    return 125;
  }
  const std::wstring program = to_utf16(from_hex(words[3]));
  std::wstring command_line = L"\"" + program + L"\"";
  std::vector<std::wstring> variables;
  int i = 4;
  for (; i < count && std::wcsncmp(words[i], L"--", 2) != 0; ++i) variables.push_back(to_utf16(from_hex(words[i])));
  if (i + 1 < count && std::wcscmp(words[i], L"--line") == 0) {
    command_line = to_utf16(from_hex(words[i + 1]));
  } else {
    for (++i; i < count; ++i) command_line += L" " + quoted(to_utf16(from_hex(words[i])));
  }

  // The environment: this process's own (which the test gives without the terminal's variables),
  // then the given ones.
  std::wstring block;
  wchar_t* inherited = GetEnvironmentStringsW();
  for (const wchar_t* entry = inherited; *entry; entry += std::wcslen(entry) + 1) block.append(entry).push_back(L'\0');
  FreeEnvironmentStringsW(inherited);
  for (const std::wstring& variable : variables) block.append(variable).push_back(L'\0');
  block.push_back(L'\0');

  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = stream(L"inherit", STD_INPUT_HANDLE);
  startup.hStdOutput = stream(words[1], STD_OUTPUT_HANDLE);
  startup.hStdError = stream(words[2], STD_ERROR_HANDLE);
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(program.c_str(), command_line.data(), nullptr, nullptr, TRUE, CREATE_UNICODE_ENVIRONMENT,
                      block.data(), nullptr, &startup, &process)) {
    std::fprintf(stderr, "zelto-test-spawn: CreateProcessW failed (%lu)\n", GetLastError());
    return 125;
  }
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD status = 0;
  GetExitCodeProcess(process.hProcess, &status);
  return static_cast<int>(status);
}
