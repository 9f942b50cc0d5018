#include "platform/ini_file.h"

#include <cstdlib>
#include <optional>

#include "foundation/cp1252.h"
#include "foundation/nocase.h"
#include "platform/files.h"

namespace ledgora::platform {
namespace {

// One line of the file as raw bytes (Windows-1252), its end kept apart.
struct Line {
  std::string bytes;
  std::string end;  // "\r\n", "\n", "\r" or "" for a last line without end
};

std::vector<Line> SplitLines(const std::string& data) {
  std::vector<Line> lines;
  std::size_t start = 0;
  while (start < data.size()) {
    std::size_t i = start;
    while (i < data.size() && data[i] != '\n' && data[i] != '\r') ++i;
    Line line{data.substr(start, i - start), ""};
    if (i < data.size()) {
      if (data[i] == '\r' && i + 1 < data.size() && data[i + 1] == '\n') {
        line.end = "\r\n";
        i += 2;
      } else {
        line.end = std::string(1, data[i]);
        ++i;
      }
    }
    lines.push_back(std::move(line));
    start = i;
  }
  return lines;
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

// The section name of a "[name]" line, decoded; none for other lines.
std::optional<std::string> SectionOf(const std::string& bytes) {
  std::string_view s = Trim(bytes);
  if (s.size() < 2 || s.front() != '[') return std::nullopt;
  const auto close = s.find(']');
  if (close == std::string_view::npos) return std::nullopt;
  return Cp1252ToUtf8(Trim(s.substr(1, close - 1)));
}

// The key of a "key=value" line and the position of "=", decoded; none for
// comments and lines without "=".
std::optional<std::string> KeyOf(const std::string& bytes, std::size_t* equals = nullptr) {
  std::string_view s = bytes;
  const std::string_view t = Trim(s);
  if (t.empty() || t.front() == ';' || t.front() == '[') return std::nullopt;
  const auto eq = s.find('=');
  if (eq == std::string_view::npos) return std::nullopt;
  if (equals) *equals = eq;
  return Cp1252ToUtf8(Trim(s.substr(0, eq)));
}

struct Location {
  bool section_found = false;
  std::size_t section_line = 0;  // index of the "[section]" line
  std::size_t insert_at = 0;     // where a new key of the section goes
  std::optional<std::size_t> key_line;
};

Location Find(const std::vector<Line>& lines, std::string_view section, std::string_view key) {
  Location loc;
  bool in_section = false;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (auto name = SectionOf(lines[i].bytes)) {
      if (in_section) break;  // the first section of that name is the one read
      if (EqualsNoCase(*name, section)) {
        in_section = true;
        loc.section_found = true;
        loc.section_line = i;
        loc.insert_at = i + 1;
      }
      continue;
    }
    if (!in_section) continue;
    if (auto k = KeyOf(lines[i].bytes)) {
      loc.insert_at = i + 1;
      if (!loc.key_line && EqualsNoCase(*k, key)) loc.key_line = i;
    } else if (!Trim(lines[i].bytes).empty()) {
      loc.insert_at = i + 1;
    }
  }
  return loc;
}

std::string Join(const std::vector<Line>& lines) {
  std::string out;
  for (const auto& l : lines) out += l.bytes + l.end;
  return out;
}

std::string LineEndOf(const std::vector<Line>& lines) {
  for (const auto& l : lines) {
    if (!l.end.empty()) return l.end;
  }
  return "\r\n";
}

std::string Unquote(std::string_view v) {
  v = Trim(v);
  if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front()) {
    v = v.substr(1, v.size() - 2);
  }
  return std::string(v);
}

}  // namespace

std::string TIniFile::ReadText(std::string_view section, std::string_view key, std::string_view def,
                               std::size_t max_chars) const {
  std::string value(def);
  if (auto data = ReadFile(path_)) {
    const auto lines = SplitLines(*data);
    const Location loc = Find(lines, section, key);
    if (loc.key_line) {
      std::size_t eq = 0;
      KeyOf(lines[*loc.key_line].bytes, &eq);
      value = Cp1252ToUtf8(Unquote(std::string_view(lines[*loc.key_line].bytes).substr(eq + 1)));
    }
  }
  if (max_chars > 0) value = std::string(Utf8Prefix(value, max_chars));
  return value;
}

long TIniFile::ReadInt(std::string_view section, std::string_view key, long def) const {
  if (!HasKey(section, key)) return def;
  const std::string text = ReadText(section, key, "");
  char* end = nullptr;
  const long v = std::strtol(text.c_str(), &end, 10);
  return end == text.c_str() ? 0 : v;
}

bool TIniFile::HasKey(std::string_view section, std::string_view key) const {
  auto data = ReadFile(path_);
  if (!data) return false;
  return Find(SplitLines(*data), section, key).key_line.has_value();
}

std::vector<std::string> TIniFile::Keys(std::string_view section) const {
  std::vector<std::string> keys;
  auto data = ReadFile(path_);
  if (!data) return keys;
  bool in_section = false;
  for (const auto& line : SplitLines(*data)) {
    if (auto name = SectionOf(line.bytes)) {
      if (in_section) break;
      in_section = EqualsNoCase(*name, section);
      continue;
    }
    if (in_section) {
      if (auto k = KeyOf(line.bytes)) keys.push_back(*k);
    }
  }
  return keys;
}

bool TIniFile::WriteText(std::string_view section, std::string_view key, std::string_view value) {
  auto data = ReadFile(path_);
  auto lines = SplitLines(data.value_or(std::string()));
  const std::string eol = LineEndOf(lines);
  const Location loc = Find(lines, section, key);
  const std::string encoded_value = Utf8ToCp1252(value);
  if (loc.key_line) {
    // Keep the key as the file spells it.
    std::size_t eq = 0;
    KeyOf(lines[*loc.key_line].bytes, &eq);
    lines[*loc.key_line].bytes = lines[*loc.key_line].bytes.substr(0, eq) + "=" + encoded_value;
  } else {
    Line entry{Utf8ToCp1252(key) + "=" + encoded_value, eol};
    if (loc.section_found) {
      // The line before the new one must end, even if it was the last one.
      if (loc.insert_at > 0 && lines[loc.insert_at - 1].end.empty())
        lines[loc.insert_at - 1].end = eol;
      lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(loc.insert_at), std::move(entry));
    } else {
      if (!lines.empty() && lines.back().end.empty()) lines.back().end = eol;
      lines.push_back(Line{"[" + Utf8ToCp1252(section) + "]", eol});
      lines.push_back(std::move(entry));
    }
  }
  if (!data) MakeDirectories(DirName(path_));
  return ReplaceFileContents(path_, Join(lines)).ok;
}

bool TIniFile::WriteInt(std::string_view section, std::string_view key, long value) {
  return WriteText(section, key, std::to_string(value));
}

bool TIniFile::DeleteKey(std::string_view section, std::string_view key) {
  auto data = ReadFile(path_);
  if (!data) return true;
  auto lines = SplitLines(*data);
  const Location loc = Find(lines, section, key);
  if (!loc.key_line) return true;
  lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(*loc.key_line));
  return ReplaceFileContents(path_, Join(lines)).ok;
}

}  // namespace ledgora::platform
