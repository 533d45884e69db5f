#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zelto {

// The arguments of a Windows command line after the program name, split by the rules of the
// Microsoft C runtime, as every console program started from cmd.exe or PowerShell splits them.
// The line is UTF-8 (or UTF-8 with surrogates): only ASCII characters have a role.
//
// The program name runs to the first space or tab outside double quotes, which may stand anywhere
// in it and are dropped; backslashes are literal there. After it, arguments are separated by spaces
// and tabs outside double quotes; a double quote starts or ends a quoted run, and inside one two
// double quotes give one literal double quote and the run goes on; backslashes are literal except
// before a double quote, where 2n of them give n and the quote keeps its role, and 2n+1 give n and
// a literal double quote. (The cases' launcher quotes arguments by the inverse of these rules.)
std::vector<std::string> split_command_line(std::string_view line);

}  // namespace zelto
