#include "storage/book_header.h"

#include <cstring>

#include "foundation/cp1252.h"
#include "foundation/nocase.h"
#include "storage/record_buffer.h"

namespace ledgora {
namespace {

// The fields in storage order with the version each appeared in; one codec
// walks them to read, write or measure.
template <class Codec>
void Fields(Codec& c, TBookHeader& h) {
  TBookSettings& s = h.settings;
  c.U32(h.dirty, 2);
  c.Signature(h.signature, 2);
  c.U8(h.version, 2);
  c.U32(h.password_flag, 11);
  c.Password(h.password, 11);
  c.U32(s.confirm_remove_oldest_situation, 18);
  c.U32(s.confirm_delete_operation, 2);
  c.U32(s.confirm_delete_pointed, 2);
  c.U32(s.warn_change_pointed, 2);
  c.U32(s.confirm_periodic_creation, 3);
  c.U32(s.default_date, 5);
  c.U32(s.reserved_setting, 5);
  c.U32(s.reset_setting, 5);
  for (auto& colour : s.colours) c.U32(colour, 9);
  c.U32(s.assign_categories, 15);
  c.U32(s.duplicate_confirmation, 22);
  for (auto& grade : s.duplicate_grades) c.U32(grade, 22);
  for (auto& days : s.duplicate_tolerances) c.U16(days, 22);
  c.U16(s.max_situations, 18);
  c.U16(s.backup_countdown, 7);
  c.BackupPath(s.backup_path, 7);
  c.U16(s.periodic_days_ahead, 3);
  for (std::size_t i = 0; i < kRecordTypeCount; ++i) {
    c.U32(h.counters[i], static_cast<TRecordType>(i) == TRecordType::Project ? 24 : 6);
  }
  for (std::size_t i = 0; i < kRecordTypeCount; ++i) {
    c.U32(h.free_heads[i], static_cast<TRecordType>(i) == TRecordType::Project ? 24 : 6);
  }
  for (std::size_t i = 0; i < kHeaderListCount; ++i) {
    c.U32(h.list_heads[i], static_cast<THeaderList>(i) == THeaderList::Projects ? 24 : 2);
  }
}

struct TMeasure {
  int version;
  std::size_t size = 0;
  void Add(std::size_t n, int since) {
    if (version >= since) size += n;
  }
  void U32(std::uint32_t&, int since) { Add(4, since); }
  void U16(std::uint16_t&, int since) { Add(2, since); }
  void U8(std::uint8_t&, int since) { Add(1, since); }
  void Signature(std::string&, int since) { Add(9, since); }
  void Password(std::string&, int since) { Add(9, since); }
  void BackupPath(std::string&, int since) { Add(kBackupPathWidth, since); }
};

struct TDecoder {
  const std::uint8_t* p;
  int version;
  bool Has(int since) const { return version >= since; }
  void U32(std::uint32_t& v, int since) {
    if (!Has(since)) return;
    v = LoadU32(p);
    p += 4;
  }
  void U16(std::uint16_t& v, int since) {
    if (!Has(since)) return;
    v = LoadU16(p);
    p += 2;
  }
  void U8(std::uint8_t& v, int since) {
    if (!Has(since)) return;
    v = *p++;
  }
  void Signature(std::string& v, int since) {
    if (!Has(since)) return;
    v = LoadText(p, 9);
    p += 9;
  }
  void Password(std::string& v, int since) {
    if (!Has(since)) return;
    v = Cp1252ToUtf8(UnscramblePasswordField(p));
    p += 9;
  }
  void BackupPath(std::string& v, int since) {
    if (!Has(since)) return;
    v = LoadText(p, kBackupPathWidth);
    p += kBackupPathWidth;
    // Older books named their backup copy ".old".
    if (EndsWithNoCase(v, ".old")) v = v.substr(0, v.size() - 4) + ".SAV.VX";
  }
};

struct TEncoder {
  std::uint8_t* p;
  void U32(std::uint32_t& v, int) {
    StoreU32(p, v);
    p += 4;
  }
  void U16(std::uint16_t& v, int) {
    StoreU16(p, v);
    p += 2;
  }
  void U8(std::uint8_t& v, int) { *p++ = v; }
  void Signature(std::string& v, int) {
    StoreText(p, 9, v);
    p += 9;
  }
  void Password(std::string& v, int) {
    const auto field = ScramblePasswordField(Utf8ToCp1252(v));
    std::memcpy(p, field.data(), field.size());
    p += 9;
  }
  void BackupPath(std::string& v, int) {
    StoreText(p, kBackupPathWidth, v);
    p += kBackupPathWidth;
  }
};

}  // namespace

std::size_t HeaderSize(int version) {
  TBookHeader dummy;
  TMeasure m{version};
  Fields(m, dummy);
  return m.size;
}

TBookHeader DecodeHeader(const std::uint8_t* data, int version) {
  TBookHeader h;
  TDecoder d{data, version};
  Fields(d, h);
  return h;
}

std::array<std::uint8_t, kHeaderSize> EncodeHeader(const TBookHeader& header) {
  TBookHeader h = header;
  h.signature = std::string(kBookSignature);
  h.version = kCurrentVersion;
  std::array<std::uint8_t, kHeaderSize> bytes{};
  TEncoder e{bytes.data()};
  Fields(e, h);
  return bytes;
}

}  // namespace ledgora
