// Where the configuration lives, and the four profile access functions.
//
//   ordinary installation   profile "ledgor.ini" and win.ini in $LEDGORA_HOME,
//                           else in $XDG_CONFIG_HOME/ledgora (~/.config/ledgora);
//                           books in $LEDGORA_HOME, else $XDG_DATA_HOME/ledgora
//   network installation    "registry.ini" in the program folder holds
//                           [Software\Norvex\Ledgora\] RZQ=1; "LD.INI" in the
//                           program folder gives [Setup] PrivePath (default
//                           "U:\prive\%s\", %s the user name); profile and books
//                           live in PrivePath + "NVX/"
#pragma once

#include <string>
#include <string_view>

#include "platform/ini_file.h"

namespace ledgora::platform {

inline constexpr std::string_view kRegistryFile = "registry.ini";
inline constexpr std::string_view kRegistrySection = "Software\\Norvex\\Ledgora\\";
inline constexpr std::string_view kMachineProfileFile = "LD.INI";
inline constexpr std::string_view kProfileFile = "ledgor.ini";
inline constexpr std::string_view kWinIniFile = "win.ini";

struct TConfiguration {
  bool network = false;
  std::string program_folder;        // the folder of the running executable
  std::string data_folder;           // templates and help: ../share/ledgora when present
  std::string profile_path;          // the per-user "ledgor.ini"
  std::string machine_profile_path;  // "LD.INI" (network installation only)
  std::string win_ini_path;          // the stand-in for the user's main Windows profile
  std::string books_folder;          // new books, "__ld$$$.vx", the rebuild folder "NVX/"
};

// Applies the rules above to a program folder (the executable's by default).
TConfiguration LocateConfiguration(const std::string& program_folder = {});

// The configuration of this process: located at first use, or set.
const TConfiguration& Configuration();
void SetConfiguration(TConfiguration configuration);
// Forgets the located configuration (tests that change LEDGORA_HOME).
void ResetConfiguration();

// The per-user profile, the user's main profile (win.ini).
TIniFile Profile();
TIniFile WinProfile();

// The four profile access functions: the per-user file unless another file
// is named. max_chars > 0 limits the text read (a buffer of max_chars + 1).
std::string ProfileReadText(std::string_view section, std::string_view key, std::string_view def,
                            std::size_t max_chars = 0, const std::string& file = {});
long ProfileReadInt(std::string_view section, std::string_view key, long def,
                    const std::string& file = {});
bool ProfileWriteText(std::string_view section, std::string_view key, std::string_view value,
                      const std::string& file = {});
bool ProfileWriteInt(std::string_view section, std::string_view key, long value,
                     const std::string& file = {});
bool ProfileDeleteKey(std::string_view section, std::string_view key, const std::string& file = {});

// The number and date settings of the "Intl" section of win.ini.
struct TIntlSettings {
  char thousands = ' ';  // "sThousand"
  char decimal = ',';    // "sDecimal": anything but "," is taken as "."
  char date = '/';       // "sDate"
};
TIntlSettings ReadIntlSettings();

}  // namespace ledgora::platform
