#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

#include "host.h"
#include "text/text.h"

namespace zelto::standin {
namespace {

using platform::SystemError;

// The console passes Ctrl+C and Ctrl+Break on to every process attached to it, the command too:
// they are the command's to handle, and the stand-in ends when the command does.
BOOL WINAPI leave_to_command(DWORD event) { return event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT; }

SystemError last_error() { return platform::system_error(static_cast<int>(GetLastError())); }

// A handle, closed when it goes.
using Handle = std::unique_ptr<void, decltype(&CloseHandle)>;

// An argument as a command line gives it to a program that splits it by the C runtime's rules: in
// double quotes when it must be, a backslash doubled before a double quote, a double quote of its
// own escaped. For cmd.exe, an argument with a '%' is quoted, and each '%' stands between a closing
// and an opening double quote, which the C runtime drops: a %NAME% that cmd.exe could expand then
// has a name that begins with a quote, which no variable has.
std::wstring quoted(const std::wstring& argument, bool for_cmd) {
  if (!argument.empty() && argument.find_first_of(for_cmd ? L" \t\"%" : L" \t\"") == std::wstring::npos) {
    return argument;
  }
  std::wstring result = L"\"";
  std::size_t backslashes = 0;
  for (const wchar_t c : argument) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    const bool percent = for_cmd && c == L'%';
    result.append(c == L'"' || percent ? 2 * backslashes : backslashes, L'\\');  // doubled before a quote
    result += c == L'"' ? L"\\\"" : percent ? L"\"%\"" : std::wstring(1, c);
    backslashes = 0;
  }
  return result.append(2 * backslashes, L'\\') + L"\"";  // doubled before the closing quote
}

// Whether cmd.exe reads the command line of `program` before the C runtime's rules apply: cmd.exe
// itself, and a batch file, which cmd.exe runs.
bool read_by_cmd(std::wstring_view program) {
  std::wstring name(program.substr(program.find_last_of(L"\\/:") + 1));  // after the folder, if any
  std::ranges::transform(name, name.begin(), [](wchar_t c) { return c >= L'A' && c <= L'Z' ? c + 32 : c; });
  return name == L"cmd" || name == L"cmd.exe" || name.ends_with(L".bat") || name.ends_with(L".cmd");
}

// The command line that gives the program `words[0]` each further word as one argument. For cmd.exe
// each character it reads as its own (quotes among them) is also escaped with '^', so that it reads
// no quoted text: it runs no part of an argument, and passes the line on as the C runtime reads it.
Result<std::wstring, SystemError> command_line(const std::vector<std::string>& words) {
  const std::wstring program = to_utf16(words[0]);
  const bool for_cmd = read_by_cmd(program);
  std::wstring line = quoted(program, false);
  for (std::size_t i = 1; i < words.size(); ++i) {
    const std::wstring argument = quoted(to_utf16(words[i]), for_cmd);
    if (!for_cmd) {
      line += L' ' + argument;
      continue;
    }
    if (argument.find_first_of(L"\r\n") != std::wstring::npos) {
      return SystemError{"cmd.exe ends a command at a line break, and an argument holds one"};
    }
    line += L' ';
    for (const wchar_t c : argument) {
      if (std::wstring_view(L"^&|<>()%!\"").find(c) != std::wstring_view::npos) line += L'^';
      line += c;
    }
  }
  return line;
}

}  // namespace

void catch_end_requests() {
  // Without it a Ctrl+C would end the stand-in as well, and nothing else is to be done then.
  (void)SetConsoleCtrlHandler(leave_to_command, TRUE);
}

Result<CommandEnd, SystemError> run_command(const std::vector<std::string>& words) {
  Result<std::wstring, SystemError> line = command_line(words);
  if (!line) return line.error();
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  // Looked up on this process's PATH, which the stand-in has set for the command, as is the
  // environment the command inherits.
  if (!CreateProcessW(nullptr, (*line).data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process)) {
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
  if (!SetEnvironmentVariableW(to_utf16(name).c_str(), to_utf16(value).c_str())) {
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
