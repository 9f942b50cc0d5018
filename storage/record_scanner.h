// TRecordScanner: walks a book file record by record, in file order.
//
// The records of a book stand one after the other from the end of its header
// to the end of the file (a new record takes a released slot of its size or
// goes to the end), so the file can be read without its chains: each frame's
// size field leads to the next record. This is how the rebuild and the
// archive read a book they must not trust, and how the identifiers in use
// are found when a counter has gone round.
//
// Errors: TXOrvanet 20905 naming the file when the walk cannot go on: a tag
// that is none of the nine kinds nor 'X', a size field too small for the
// frame (or, for a live record, for its kind in the file's version), or a
// record that runs past the end of the file (a truncated book).
#pragma once

#include <cstdint>
#include <string>

#include "storage/book_reader.h"
#include "storage/record.h"

namespace ledgora {

struct TScannedRecord {
  std::uint32_t offset = 0;
  char tag = 0;  // a kind's letter, or 'X' for a released slot
  std::uint16_t size = 0;
  // The kind of a live record (meaningless for 'X').
  TRecordType type = TRecordType::Account;
  bool Released() const { return tag == kReleasedTag; }
};

class TRecordScanner {
 public:
  // version: the file's (2 to 24; 0 stands for 24). The walk starts at the
  // end of that version's header.
  TRecordScanner(TBookReader& reader, int version, std::string file_name);

  // The next record; false at the end of the file.
  bool Next(TScannedRecord& record);
  // Where the walk stands, and the file's size (for a percentage).
  std::uint64_t Position() const { return position_; }
  std::uint64_t Size() const { return reader_.Size(); }

 private:
  TBookReader& reader_;
  int version_;
  std::string file_name_;
  std::uint64_t position_;
};

}  // namespace ledgora
