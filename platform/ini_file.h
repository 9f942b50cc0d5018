// The INI layer: what stands in for the Windows profile functions.
//
// Sections and keys compare without regard to case; texts are UTF-8 in
// memory and Windows-1252 on disk; every write goes to disk at once, and
// keeps every other line of the file exactly as it was (comments, damaged
// lines, bytes of any value). The file is read at every call, so that two
// processes sharing a profile see each other's writes.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace ledgora::platform {

class TIniFile {
 public:
  explicit TIniFile(std::string path) : path_(std::move(path)) {}
  const std::string& Path() const { return path_; }

  // The value of the key, or the default when the section or key is absent.
  // Surrounding spaces are dropped, as are matching quotes around the value.
  // max_chars > 0 cuts the result to max_chars characters (a buffer of
  // max_chars + 1 bytes).
  std::string ReadText(std::string_view section, std::string_view key, std::string_view def,
                       std::size_t max_chars = 0) const;
  // The leading decimal number of the value (optional sign); the default
  // when the key is absent; 0 when the value does not start with a number.
  long ReadInt(std::string_view section, std::string_view key, long def) const;
  bool HasKey(std::string_view section, std::string_view key) const;
  // The keys of a section in file order.
  std::vector<std::string> Keys(std::string_view section) const;

  // Writes key=value, creating the section and the file when needed.
  bool WriteText(std::string_view section, std::string_view key, std::string_view value);
  bool WriteInt(std::string_view section, std::string_view key, long value);
  // Removes a key (absent is not an error).
  bool DeleteKey(std::string_view section, std::string_view key);

 private:
  std::string path_;
};

}  // namespace ledgora::platform
