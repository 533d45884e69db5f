// zelto-test-ctrl-c: presses Ctrl+C in its console, as a user would, and ends with status 0: the
// console passes it to every process attached to it, this one aside. For the stand-in's test under
// Wine, run in a pseudo-terminal (which gives Wine a console).

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

int main() {
  SetConsoleCtrlHandler(nullptr, TRUE);
  if (!GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0)) return 1;
  Sleep(500);  // meanwhile the other processes take it
  return 0;
}
