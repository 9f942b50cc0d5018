// The commands of ledgora-cli, callable without a process (tests).
//
// RunCli parses the arguments (without the program name), runs the
// command and returns its exit code: 0 success, 1 refused by a rule or by
// the user (a question without an answer included), 2 bad usage, 3 storage
// failure. Results go to out; messages, questions and errors to err, in
// French, each line of the program's own starting with "ledgora-cli: ".
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "cli/terminal_user_port.h"

namespace ledgora::cli {

// The demo book's file name, in the books folder.
inline constexpr std::string_view kDemoBookName = "Demo.VX";

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
           TTerminal& terminal);

}  // namespace ledgora::cli
