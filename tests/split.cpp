// zelto-test-split LINE COMMAND...: runs COMMAND (the client, or a launcher and the client) with
// the arguments that the Windows client takes from its command line LINE, split by the client's
// own splitter, so that the cases of a Windows command line run on Linux too.

#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "text/text.h"

int main(int count, char** words) {
  if (count < 3) return 125;
  std::vector<std::string> arguments = zelto::split_command_line(words[1]);
  std::vector<char*> command(words + 2, words + count);
  for (std::string& argument : arguments) command.push_back(argument.data());
  command.push_back(nullptr);
  execvp(command[0], command.data());
  std::perror(command[0]);  // it could not be run
  return 126;
}
