// zelto-test-leave LINE: starts the command line LINE as a Windows parent does, its handles
// inherited, and ends at once, leaving it running. For the stand-in's test under Wine: what a
// command leaves running behind it.

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

int wmain(int count, wchar_t** words) {
  if (count != 2) return 125;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  return CreateProcessW(nullptr, words[1], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process) ? 0 : 126;
}
