#include "platform/configuration.h"

#include <memory>

#include "foundation/cp1252.h"
#include "platform/files.h"

namespace ledgora::platform {
namespace {

std::unique_ptr<TConfiguration>& Current() {
  static std::unique_ptr<TConfiguration> current;
  return current;
}

std::string UserName() {
  if (auto v = GetEnvironment("USERNAME")) return *v;
  if (auto v = GetEnvironment("USER")) return *v;
  return {};
}

// "U:\prive\%s\" with the user name, as a folder of this system.
std::string PrivateFolder(std::string pattern) {
  std::string out;
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    if (pattern[i] == '%' && i + 1 < pattern.size() && pattern[i + 1] == 's') {
      out += UserName();
      ++i;
    } else {
      out += pattern[i] == '\\' ? '/' : pattern[i];
    }
  }
  if (out.empty() || out.back() != '/') out += '/';
  return out + "NVX";
}

std::string XdgFolder(const char* variable, const char* fallback) {
  if (auto v = GetEnvironment(variable); v && !v->empty()) return JoinPath(*v, "ledgora");
  const std::string home = GetEnvironment("HOME").value_or(".");
  return JoinPath(JoinPath(home, fallback), "ledgora");
}

std::string FileOrProfile(const std::string& file) {
  return file.empty() ? Configuration().profile_path : file;
}

}  // namespace

TConfiguration LocateConfiguration(const std::string& program_folder) {
  TConfiguration c;
  c.program_folder = program_folder.empty() ? ExecutableFolder() : program_folder;
  const std::string share = JoinPath(DirName(c.program_folder), "share/ledgora");
  c.data_folder = IsDirectory(share) ? share : c.program_folder;

  const TIniFile registry(JoinPath(c.program_folder, std::string(kRegistryFile)));
  c.network = registry.ReadInt(kRegistrySection, "RZQ", 0) == 1;
  std::string folder;
  if (c.network) {
    c.machine_profile_path = JoinPath(c.program_folder, std::string(kMachineProfileFile));
    folder = PrivateFolder(
        TIniFile(c.machine_profile_path).ReadText("Setup", "PrivePath", "U:\\prive\\%s\\"));
    c.books_folder = folder;
  } else if (auto home = GetEnvironment("LEDGORA_HOME"); home && !home->empty()) {
    folder = *home;
    c.books_folder = *home;
  } else {
    folder = XdgFolder("XDG_CONFIG_HOME", ".config");
    c.books_folder = XdgFolder("XDG_DATA_HOME", ".local/share");
  }
  c.profile_path = JoinPath(folder, std::string(kProfileFile));
  c.win_ini_path = JoinPath(folder, std::string(kWinIniFile));
  return c;
}

const TConfiguration& Configuration() {
  auto& current = Current();
  if (!current) current = std::make_unique<TConfiguration>(LocateConfiguration());
  return *current;
}

void SetConfiguration(TConfiguration configuration) {
  Current() = std::make_unique<TConfiguration>(std::move(configuration));
}

void ResetConfiguration() {
  Current().reset();
}

TIniFile Profile() {
  return TIniFile(Configuration().profile_path);
}
TIniFile WinProfile() {
  return TIniFile(Configuration().win_ini_path);
}

std::string ProfileReadText(std::string_view section, std::string_view key, std::string_view def,
                            std::size_t max_chars, const std::string& file) {
  return TIniFile(FileOrProfile(file)).ReadText(section, key, def, max_chars);
}

long ProfileReadInt(std::string_view section, std::string_view key, long def,
                    const std::string& file) {
  return TIniFile(FileOrProfile(file)).ReadInt(section, key, def);
}

bool ProfileWriteText(std::string_view section, std::string_view key, std::string_view value,
                      const std::string& file) {
  return TIniFile(FileOrProfile(file)).WriteText(section, key, value);
}

bool ProfileWriteInt(std::string_view section, std::string_view key, long value,
                     const std::string& file) {
  return TIniFile(FileOrProfile(file)).WriteInt(section, key, value);
}

bool ProfileDeleteKey(std::string_view section, std::string_view key, const std::string& file) {
  return TIniFile(FileOrProfile(file)).DeleteKey(section, key);
}

TIntlSettings ReadIntlSettings() {
  const TIniFile win = WinProfile();
  TIntlSettings s;
  const std::string thousands = Utf8ToCp1252(win.ReadText("Intl", "sThousand", " "));
  const std::string decimal = Utf8ToCp1252(win.ReadText("Intl", "sDecimal", ","));
  const std::string date = Utf8ToCp1252(win.ReadText("Intl", "sDate", "/"));
  // An empty thousands separator means no grouping (0).
  s.thousands = thousands.empty() ? '\0' : thousands[0];
  s.decimal = decimal == "," ? ',' : '.';
  s.date = date.empty() ? '/' : date[0];
  return s;
}

}  // namespace ledgora::platform
