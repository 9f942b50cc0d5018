// TBookReader: reads a book file by offset, bounded by the file's size.
//
// A book of ordinary size is read whole into memory at once, because its
// chains jump about the file (a chain is in list order, the file in order of
// entry); a file above kWholeFileLimit is read record by record.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

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

}  // namespace ledgora
