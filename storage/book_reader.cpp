#include "storage/book_reader.h"

#include <cstring>

namespace ledgora {

TBookReader::TBookReader(TStorageFile& file, bool whole_file) : file_(file), size_(file.Size()) {
  if (whole_file && size_ <= kWholeFileLimit) {
    whole_.resize(static_cast<std::size_t>(size_));
    const std::size_t got = file_.ReadAt(0, whole_.data(), whole_.size());
    whole_.resize(got);
    size_ = got;
    cached_ = true;
  }
}

bool TBookReader::Read(std::uint64_t offset, void* data, std::size_t n) {
  if (offset > size_ || n > size_ - offset) return false;
  if (cached_) {
    std::memcpy(data, whole_.data() + offset, n);
    return true;
  }
  return file_.ReadAt(offset, data, n) == n;
}

}  // namespace ledgora
