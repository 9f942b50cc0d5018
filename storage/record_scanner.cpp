#include "storage/record_scanner.h"

#include "storage/book_header.h"
#include "storage/record_buffer.h"
#include "storage/xorvanet.h"

namespace ledgora {

TRecordScanner::TRecordScanner(TBookReader& reader, int version, std::string file_name)
    : reader_(reader),
      version_(version),
      file_name_(std::move(file_name)),
      position_(HeaderSize(EffectiveVersion(version))) {}

bool TRecordScanner::Next(TScannedRecord& record) {
  if (position_ >= reader_.Size()) return false;
  std::uint8_t bytes[3];
  if (!reader_.Read(position_, bytes, sizeof bytes)) throw TXOrvanet(kOrvDamaged, file_name_);
  record.offset = static_cast<std::uint32_t>(position_);
  record.tag = static_cast<char>(bytes[0]);
  record.size = LoadU16(bytes + 1);
  std::size_t least = 7;  // a released slot keeps at least its frame
  if (!record.Released()) {
    const std::optional<TRecordType> type = TypeOfTag(record.tag);
    if (!type) throw TXOrvanet(kOrvDamaged, file_name_);
    record.type = *type;
    least = RecordSize(*type, version_);
  }
  // Also stops a size of 0, which would never move on.
  if (record.size < least || record.size > reader_.Size() - position_) {
    throw TXOrvanet(kOrvDamaged, file_name_);
  }
  position_ += record.size;
  return true;
}

}  // namespace ledgora
