#include "cli/cli_output.h"

#include <cmath>
#include <cstdio>
#include <ostream>

namespace ledgora::cli {

std::size_t Utf8Length(std::string_view text) {
  std::size_t n = 0;
  for (unsigned char c : text)
    if ((c & 0xC0) != 0x80) ++n;
  return n;
}

void PrintTable(std::ostream& out, const TTable& table) {
  const std::size_t columns = table.headers.size();
  std::vector<std::size_t> widths(columns, 0);
  auto measure = [&](const std::vector<std::string>& row) {
    for (std::size_t c = 0; c < columns && c < row.size(); ++c)
      widths[c] = std::max(widths[c], Utf8Length(row[c]));
  };
  measure(table.headers);
  for (const auto& row : table.rows) measure(row);
  auto print = [&](const std::vector<std::string>& row) {
    std::string line;
    for (std::size_t c = 0; c < columns; ++c) {
      const std::string cell = c < row.size() ? row[c] : std::string();
      const std::string pad(widths[c] - Utf8Length(cell), ' ');
      const bool right = c < table.right.size() && table.right[c];
      if (c) line += "  ";
      line += right ? pad + cell : cell + (c + 1 < columns ? pad : std::string());
    }
    while (!line.empty() && line.back() == ' ') line.pop_back();
    out << line << "\n";
  };
  print(table.headers);
  std::vector<std::string> rule;
  for (std::size_t w : widths) rule.push_back(std::string(w, '-'));
  print(rule);
  for (const auto& row : table.rows) print(row);
}

std::string JsonString(std::string_view text) {
  std::string s = "\"";
  for (unsigned char c : text) {
    switch (c) {
      case '"':
        s += "\\\"";
        break;
      case '\\':
        s += "\\\\";
        break;
      case '\n':
        s += "\\n";
        break;
      case '\r':
        s += "\\r";
        break;
      case '\t':
        s += "\\t";
        break;
      default:
        if (c < 0x20) {
          char buf[8];
          std::snprintf(buf, sizeof buf, "\\u%04x", c);
          s += buf;
        } else {
          s += static_cast<char>(c);
        }
    }
  }
  return s + "\"";
}

std::string IsoDate(const KDate& date) {
  if (!date.IsValid()) return {};
  char buf[16];
  std::snprintf(buf, sizeof buf, "%04u-%02u-%02u", date.Year(), date.Month(), date.Day());
  return buf;
}

TJsonObject& TJsonObject::Text(std::string_view key, std::string_view value) {
  members_.emplace_back(std::string(key), JsonString(value));
  return *this;
}

TJsonObject& TJsonObject::Int(std::string_view key, std::int64_t value) {
  members_.emplace_back(std::string(key), std::to_string(value));
  return *this;
}

TJsonObject& TJsonObject::Bool(std::string_view key, bool value) {
  members_.emplace_back(std::string(key), value ? "true" : "false");
  return *this;
}

TJsonObject& TJsonObject::Amount(std::string_view key, double value) {
  if (!std::isfinite(value)) return Null(key);
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.2f", value);
  std::string text = buf;
  if (text == "-0.00") text = "0.00";
  members_.emplace_back(std::string(key), text);
  return *this;
}

TJsonObject& TJsonObject::OptionalAmount(std::string_view key, std::optional<double> value) {
  return value ? Amount(key, *value) : Null(key);
}

TJsonObject& TJsonObject::Date(std::string_view key, const KDate& date) {
  if (!date.IsValid()) return Null(key);
  return Text(key, IsoDate(date));
}

TJsonObject& TJsonObject::Null(std::string_view key) {
  members_.emplace_back(std::string(key), "null");
  return *this;
}

TJsonObject& TJsonObject::Raw(std::string_view key, std::string json) {
  members_.emplace_back(std::string(key), std::move(json));
  return *this;
}

std::string TJsonObject::Json() const {
  std::string s = "{";
  for (std::size_t i = 0; i < members_.size(); ++i) {
    if (i) s += ", ";
    s += JsonString(members_[i].first) + ": " + members_[i].second;
  }
  return s + "}";
}

std::string JsonArray(const std::vector<std::string>& items) {
  if (items.empty()) return "[]";
  std::string s = "[\n";
  for (std::size_t i = 0; i < items.size(); ++i) {
    s += "  " + items[i];
    s += i + 1 < items.size() ? ",\n" : "\n";
  }
  return s + "]";
}

}  // namespace ledgora::cli
