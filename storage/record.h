// TRecord: the base of the nine kinds of record of an account book.
//
// Every record stands in the file at an offset and begins with a frame:
//
//   offset  width  field
//   0       u8     tag: the kind's letter, or 'X' for a released slot
//   1       u16    total size of the record in bytes, frame included
//   3       u32    offset of the next record of the same chain; 0 ends it
//   7       u32    categories only: offset of the first sub-category; 0 = none
//
// The payload follows (from offset 7, or 11 for a category) and starts with
// the record's 32-bit identifier. Its fields, per kind and per version, are
// in the kind's own header. Version numbers: 0 stands for the current format
// (24); a book's older version (2 to 23) is read by the rebuild.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>

namespace ledgora {

class TRecordBuffer;
class TRecordNode;

// The version this program writes.
inline constexpr int kCurrentVersion = 24;
// The oldest version that can be read at all.
inline constexpr int kOldestVersion = 2;

// The kinds, in the order of the header's counters and free-list heads.
enum class TRecordType : std::uint8_t {
  Account,           // 'C'
  Category,          // 'G'
  Operation,         // 'O'
  SplitLine,         // 'S'
  Periodic,          // 'F'
  Association,       // 'A'
  SituationAccount,  // 'P'
  SituationValue,    // 'V'
  Project,           // 'J'
};
inline constexpr std::size_t kRecordTypeCount = 9;

// The tag letters as the program holds them together.
inline constexpr std::string_view kTagLetters = "JGCSFAOPV";
inline constexpr char kReleasedTag = 'X';

inline constexpr std::size_t IndexOf(TRecordType type) {
  return static_cast<std::size_t>(type);
}
char TagOf(TRecordType type);
std::optional<TRecordType> TypeOfTag(char tag);

// 7, or 11 for a category.
std::size_t FrameSize(TRecordType type);
// Total size of a record (frame included) in a version (0: current).
std::size_t RecordSize(TRecordType type, int version = 0);
std::size_t PayloadSize(TRecordType type, int version = 0);
// 0 stands for the current version.
inline constexpr int EffectiveVersion(int version) {
  return version == 0 ? kCurrentVersion : version;
}

// The list order of a kind. A new record is inserted before the first
// record of its list that does not precede it (at the end if all do).
enum class TListOrder {
  Last,   // every record precedes a new one: a new record goes last
  First,  // no record precedes a new one: a new record goes first
  Keyed,  // Precedes follows OrderKey, so a sorted list can be searched
  Walk,   // Precedes is not a key order: the list is walked
};
TListOrder ListOrderOf(TRecordType type);

class TRecord {
 public:
  TRecord() = default;
  // A copy takes the stored fields, never the place in a list.
  TRecord(const TRecord& other) : id(other.id) {}
  TRecord& operator=(const TRecord& other) {
    id = other.id;
    return *this;
  }
  virtual ~TRecord() = default;

  virtual TRecordType Type() const = 0;
  // Takes the fields from a payload of PayloadSize(Type(), version) bytes;
  // fields the version lacks keep their defaults.
  virtual void Read(TRecordBuffer& buffer, int version) = 0;
  // Puts the fields into a payload of PayloadSize(Type()) bytes, in the
  // current format.
  virtual void Write(TRecordBuffer& buffer) const = 0;
  // A copy of the stored fields (lists held in memory are not copied).
  virtual std::unique_ptr<TRecord> Clone() const = 0;

  // True when this record, standing in a list, precedes `added` (the same
  // kind) in the kind's order.
  virtual bool Precedes(const TRecord& added) const = 0;
  // Keyed kinds: the three-way comparison of the order keys (< 0 when this
  // record sorts before other).
  virtual int OrderKey(const TRecord& other) const { return (void)other, 0; }
  // Keyed kinds: false when the record cannot be placed by its key (an
  // amount that is not a number); such a list is then walked.
  virtual bool Orderable() const { return true; }

  // The node that holds the record while it is in a list of the book, else
  // null.
  TRecordNode* Node() const { return node_; }

  std::uint32_t id = 0;

 private:
  friend class TRecordList;
  TRecordNode* node_ = nullptr;
};

}  // namespace ledgora
