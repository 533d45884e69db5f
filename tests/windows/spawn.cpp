// zelto-test-spawn STDOUT STDERR PROGRAM [VARIABLE]... LINE: starts a Windows program the way a
// Windows parent does, for the black-box cases under Wine. STDOUT and STDERR are `inherit`, or
// `none` for no handle at all; the other words are UTF-16 in hex (big-endian code units, four hex
// digits each, lone surrogates allowed, as a Windows command line or environment can hold them):
// the program's path, its environment variables (NAME=VALUE, set on top of this process's own)
// and its whole command line. Exits with the program's exit status.

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cwchar>
#include <string>

namespace {

// Text given as the hex of its UTF-16 code units, which may be lone surrogates.
std::wstring from_hex(const wchar_t* hex) {
  std::wstring text;
  for (; hex[0] && hex[1] && hex[2] && hex[3]; hex += 4)
    text += static_cast<wchar_t>(std::stoi(std::wstring(hex, 4), nullptr, 16));
  return text;
}

HANDLE stream(const wchar_t* mode, DWORD which) {  // `none`: no handle at all
  const HANDLE handle = std::wcscmp(mode, L"none") ? GetStdHandle(which) : nullptr;
  return SetHandleInformation(handle, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT), handle;
}

}  // namespace

int wmain(int count, wchar_t** words) {
  if (count < 5) return 125;
  for (int i = 4; i < count - 1; ++i) {
    const std::wstring variable = from_hex(words[i]);
    const std::size_t equals = variable.find(L'=');
    SetEnvironmentVariableW(variable.substr(0, equals).c_str(), variable.substr(equals + 1).c_str());
  }
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = stream(L"inherit", STD_INPUT_HANDLE);
  startup.hStdOutput = stream(words[1], STD_OUTPUT_HANDLE);
  startup.hStdError = stream(words[2], STD_ERROR_HANDLE);
  PROCESS_INFORMATION process{};
  std::wstring line = from_hex(words[count - 1]);
  if (!CreateProcessW(from_hex(words[3]).c_str(), line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                      &process)) {
    return 126;
  }
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD status = 0;
  GetExitCodeProcess(process.hProcess, &status);
  return static_cast<int>(status);
}
