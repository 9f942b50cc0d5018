#include "storage/book_reader.h"

#include <cstring>

#include "storage/book_header.h"
#include "storage/records.h"
#include "storage/xorvanet.h"

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

std::unique_ptr<TRecord> ReadRecordAt(TBookReader& reader, std::uint64_t offset, TRecordType type,
                                      int version, const std::optional<TScrambleKey>& key,
                                      TRecordFrame& frame, std::string_view file_name) {
  const std::size_t frame_size = FrameSize(type);
  const std::size_t payload = PayloadSize(type, version);
  std::uint8_t bytes[11];
  if (offset < HeaderSize(EffectiveVersion(version)) || !reader.Read(offset, bytes, frame_size)) {
    throw TXOrvanet(kOrvDamaged, file_name);
  }
  frame.tag = static_cast<char>(bytes[0]);
  frame.size = LoadU16(bytes + 1);
  frame.next = LoadU32(bytes + 3);
  frame.sub = frame_size == 11 ? LoadU32(bytes + 7) : 0;
  // The size is not what the record is read with, but a size too small for
  // the kind would make it overlap what follows.
  if (frame.tag != TagOf(type) || frame.size < frame_size + payload) {
    throw TXOrvanet(kOrvDamaged, file_name);
  }
  TRecordBuffer buffer(payload);
  if (!reader.Read(offset + frame_size, buffer.Data(), payload)) {
    throw TXOrvanet(kOrvDamaged, file_name);
  }
  if (key) buffer.Unscramble(*key);
  std::unique_ptr<TRecord> record = MakeRecord(type);
  record->Read(buffer, version);
  return record;
}

}  // namespace ledgora
