#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

#include "host.h"
#include "platform/utf16.h"

namespace zelto::standin {
namespace {

using platform::SystemError;

// The console passes Ctrl+C and Ctrl+Break on to every process attached to it, the command too:
// they are the command's to handle, and the stand-in ends when the command does.
BOOL WINAPI leave_to_command(DWORD event) { return event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT; }

SystemError last_error() { return platform::system_error(static_cast<int>(GetLastError())); }

// A handle, closed when it goes.
using Handle = std::unique_ptr<void, decltype(&CloseHandle)>;

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

}  // namespace

void catch_end_requests() {
  // Without it a Ctrl+C would end the stand-in as well, and nothing else is to be done then.
  (void)SetConsoleCtrlHandler(leave_to_command, TRUE);
}

Result<CommandEnd, SystemError> run_command(const std::vector<std::string>& words) {
  std::wstring line;
  for (const std::string& word : words) line += (line.empty() ? L"" : L" ") + quoted(platform::to_utf16(word));
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  // Looked up on this process's PATH, which the stand-in has set for the command, as is the
  // environment the command inherits.
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process)) {
    return last_error();
  }
  const Handle thread(process.hThread, &CloseHandle), command(process.hProcess, &CloseHandle);
  DWORD status = 0;
  if (WaitForSingleObject(command.get(), INFINITE) == WAIT_FAILED || !GetExitCodeProcess(command.get(), &status)) {
    return last_error();
  }
  return CommandEnd{static_cast<int>(status), 0};
}

void end_like(CommandEnd command) { ExitProcess(static_cast<UINT>(command.status)); }

Result<Done, SystemError> run_in_background(std::function<void()> work) {
  auto held = std::make_unique<std::function<void()>>(std::move(work));
  const auto run = [](void* given) -> DWORD {
    (*std::unique_ptr<std::function<void()>>(static_cast<std::function<void()>*>(given)))();
    return 0;
  };
  const HANDLE thread = CreateThread(nullptr, 0, run, held.get(), 0, nullptr);
  if (!thread) return last_error();
  (void)held.release();  // the thread's now
  CloseHandle(thread);
  return Done{};
}

Result<bool, SystemError> create_new_file(const std::filesystem::path& path, std::string_view content) {
  // CREATE_NEW fails where anything is, and a link is not followed.
  const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    if (GetLastError() == ERROR_FILE_EXISTS) return false;
    return last_error();
  }
  DWORD error = NO_ERROR;
  while (!content.empty() && error == NO_ERROR) {
    DWORD written = 0;
    const auto chunk = static_cast<DWORD>(std::min<std::size_t>(content.size(), 1 << 30));
    if (!WriteFile(file, content.data(), chunk, &written, nullptr)) error = GetLastError();
    if (error == NO_ERROR && written == 0) error = ERROR_WRITE_FAULT;  // no progress: never loop forever
    content.remove_prefix(written);
  }
  if (!CloseHandle(file) && error == NO_ERROR) error = GetLastError();
  if (error == NO_ERROR) return true;
  (void)DeleteFileW(path.c_str());  // what was written of it
  return platform::system_error(static_cast<int>(error));
}

Result<Done, SystemError> set_environment_variable(const std::string& name, const std::string& value) {
  if (!SetEnvironmentVariableW(platform::to_utf16(name).c_str(), platform::to_utf16(value).c_str())) {
    return last_error();
  }
  return Done{};
}

std::string default_shell() {
  const std::optional<std::string> shell = platform::environment_variable("COMSPEC");
  return shell && !shell->empty() ? *shell : "cmd.exe";
}

char path_separator() { return ';'; }

std::string default_path() { return ""; }

Result<std::filesystem::path, SystemError> executable_path() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return last_error();
    if (length < path.size()) return std::filesystem::path(path.substr(0, length));
    path.resize(path.size() * 2);
  }
}

}  // namespace zelto::standin
