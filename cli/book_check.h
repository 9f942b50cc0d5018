// The check of a book file: read only, every damage found reported, nothing
// changed (no working copy, no in-use marker, no recent-books entry).
//
// What is looked at, in this order:
//   1. the header: its size, the signature (other products, not "LEDGOR"),
//      the dirty flag, the version;
//   2. the records in file order (each frame leads to the next): a tag that
//      is none of the nine kinds nor 'X', a size too small for its kind, a
//      record cut by the end of the file; the walk stops at the first such
//      frame, since the next one cannot be found;
//   3. every chain from its head (accounts, their operations, the split
//      lines and schedules of the operations, categories and sub-categories,
//      associations, situation accounts and values, projects): an offset
//      outside the file or not on a record of the chain's kind, a payload
//      that cannot be read, a chain that comes back on itself or runs into
//      another chain, an operation naming another account than its chain's,
//      an identifier used twice in a kind;
//   4. the free lists: a slot that is not released or not of its kind's
//      size, a list that loops;
//   5. live records that no chain reaches (lost by a broken link; the
//      rebuild gets them back).
// An identifier above its kind's counter is only noted (the opening repairs
// the counter). A book of an older version is checked in its version and
// noted as to be converted.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/user_port.h"
#include "storage/record.h"

namespace ledgora::cli {

struct TBookDamage {
  std::uint64_t offset = 0;  // where it was found (0: the header)
  std::string text;          // French, one line
};

struct TBookCheckReport {
  std::string path;
  std::uint64_t size = 0;
  int version = 0;
  bool password = false;
  bool dirty = false;
  std::array<std::size_t, kRecordTypeCount> records{};  // live records per kind (file order)
  std::size_t released = 0;
  bool scan_complete = false;
  std::vector<TBookDamage> damages;
  std::vector<std::string> notes;
  bool Damaged() const { return !damages.empty(); }
};

// Checks the file at path (a book or a working copy). A protected book's
// password is asked through the port as the opening does (Cancel: TXOrvanet
// 20910). Throws TXOrvanet 20900 only when the file cannot be read at all.
TBookCheckReport CheckBookFile(const std::string& path, TUserPort& port);

// The English name of a kind for JSON ("accounts", "operations", ...) and its
// French name for the table.
std::string_view KindKey(TRecordType type);
std::string_view KindLabel(TRecordType type);

}  // namespace ledgora::cli
