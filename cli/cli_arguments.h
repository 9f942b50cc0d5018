// The command line of ledgora-cli: the command table, the options of each
// command and the parsing of argv into them.
//
// Every command takes the common options --help, --yes, --no (the answers
// to the rules' questions), and the book commands --password P (the book's
// password when it has one), --no-save (the changes of the run are not kept)
// and --force (the in-use dialog's OK pressed with Ctrl). An option takes
// its value as the next argument or after "=" (--name=Courant); "--" ends
// the options. A bad command line is a TUsageError (exit 2).
#pragma once

#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace ledgora::cli {

// Exit codes of the program.
inline constexpr int kExitOk = 0;
inline constexpr int kExitRefused = 1;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitStorage = 3;

class TUsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct TOptionSpec {
  std::string_view name;  // without the dashes
  bool takes_value = false;
  std::string_view help;  // one line for --help ("" hides it)
};

struct TCommandSpec {
  std::string_view name;
  std::string_view synopsis;  // the arguments after the command name
  std::string_view summary;   // one line for the command list
  std::string_view details;   // the rest of --help (may be empty)
  std::size_t min_positional = 0;
  std::size_t max_positional = 0;
  bool book = true;      // takes the book options (--password, --no-save, --force)
  bool listing = false;  // takes --json
  std::vector<TOptionSpec> options;
};

// The commands, in the order of the command list.
const std::vector<TCommandSpec>& Commands();
const TCommandSpec* FindCommand(std::string_view name);

// The general usage text and the --help text of one command.
std::string UsageText();
std::string CommandHelp(const TCommandSpec& command);

struct TParsedCommand {
  const TCommandSpec* command = nullptr;
  std::vector<std::string> positional;
  std::map<std::string, std::string, std::less<>> values;  // options with a value
  std::map<std::string, bool, std::less<>> flags;          // options without
  bool help = false;

  bool Flag(std::string_view name) const { return flags.find(name) != flags.end(); }
  std::optional<std::string> Value(std::string_view name) const;
  // The option's value; TUsageError naming it when absent.
  std::string Required(std::string_view name) const;
};

// args: the arguments after the program name. Throws TUsageError.
TParsedCommand ParseCommandLine(const std::vector<std::string>& args);

}  // namespace ledgora::cli
