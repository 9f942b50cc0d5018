// ledgora-cli: the core of Ledgora from the command line (see cli_commands.h
// and "ledgora-cli --help").
#include <unistd.h>

#include <iostream>
#include <string>
#include <vector>

#include "cli/cli_commands.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  ledgora::cli::TTerminal terminal;
  terminal.in = &std::cin;
  terminal.err = &std::cerr;
  terminal.interactive = isatty(STDIN_FILENO) != 0;
  const int code = ledgora::cli::RunCli(args, std::cout, std::cerr, terminal);
  std::cout.flush();
  return code;
}
