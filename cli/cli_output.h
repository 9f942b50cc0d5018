// What the listing commands print: a readable table, or JSON.
//
// A table is given as rows of cells (UTF-8); columns are padded by their
// characters, not their bytes, and columns marked numeric are aligned right.
// JSON: a value per row (an object), written as an array with one object
// per line; texts are escaped, amounts are numbers with two decimals, dates
// "YYYY-MM-DD", a missing value null.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "foundation/kdate.h"

namespace ledgora::cli {

struct TTable {
  std::vector<std::string> headers;
  std::vector<bool> right;  // per column: aligned right
  std::vector<std::vector<std::string>> rows;
};
void PrintTable(std::ostream& out, const TTable& table);

// The number of characters of a UTF-8 text.
std::size_t Utf8Length(std::string_view text);

// One JSON object, its members in the order they were added.
class TJsonObject {
 public:
  TJsonObject& Text(std::string_view key, std::string_view value);
  TJsonObject& Int(std::string_view key, std::int64_t value);
  TJsonObject& Bool(std::string_view key, bool value);
  // Two decimals; a value that is not finite is null.
  TJsonObject& Amount(std::string_view key, double value);
  TJsonObject& OptionalAmount(std::string_view key, std::optional<double> value);
  // "YYYY-MM-DD", null for an absent date.
  TJsonObject& Date(std::string_view key, const KDate& date);
  TJsonObject& Null(std::string_view key);
  // A value already in JSON (an object or an array).
  TJsonObject& Raw(std::string_view key, std::string json);
  std::string Json() const;

 private:
  std::vector<std::pair<std::string, std::string>> members_;
};

std::string JsonString(std::string_view text);
// "[\n  {...},\n  {...}\n]" (an empty array "[]").
std::string JsonArray(const std::vector<std::string>& items);
// An ISO date, "" for an absent one.
std::string IsoDate(const KDate& date);

}  // namespace ledgora::cli
