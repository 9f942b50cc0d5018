// TBookReader: reads a book file by offset, bounded by the file's size.
//
// A book of ordinary size is read whole into memory at once, because its
// chains jump about the file (a chain is in list order, the file in order of
// entry); a file above kWholeFileLimit is read record by record.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include <memory>
#include <optional>
#include <string_view>

#include "storage/record.h"
#include "storage/record_buffer.h"
#include "storage/storage_file_system.h"

namespace ledgora {

class TBookReader {
 public:
  static constexpr std::uint64_t kWholeFileLimit = 256ull << 20;

  // whole_file: read the file into memory at once (opening a book), else
  // read what is asked (a short chain loaded on demand). Throws TFileError
  // when the file cannot be read.
  explicit TBookReader(TStorageFile& file, bool whole_file = true);

  std::uint64_t Size() const { return size_; }
  // Copies n bytes at offset; false (and nothing copied) when they are not
  // all inside the file.
  bool Read(std::uint64_t offset, void* data, std::size_t n);

 private:
  TStorageFile& file_;
  std::uint64_t size_;
  std::vector<std::uint8_t> whole_;
  bool cached_ = false;
};

// The frame of a record as read.
struct TRecordFrame {
  char tag = 0;
  std::uint16_t size = 0;
  std::uint32_t next = 0;
  std::uint32_t sub = 0;  // categories only
};

// Reads the record of a kind standing at offset, in a version (0: current):
// its frame must lie after a header of that version and inside the file,
// carry the kind's tag and a size at least the kind's in that version; the
// payload (the kind's size in that version, whatever the size field says) is
// unscrambled with key and read. Throws TXOrvanet 20905 naming file_name
// when a check fails.
std::unique_ptr<TRecord> ReadRecordAt(TBookReader& reader, std::uint64_t offset, TRecordType type,
                                      int version, const std::optional<TScrambleKey>& key,
                                      TRecordFrame& frame, std::string_view file_name);

}  // namespace ledgora
