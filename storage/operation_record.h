// TOperationRecord ('O'): one debit or credit of an account.
//
// Payload, in storage order (version 24: 194 bytes, record 201):
//
//   field                   width    since
//   identifier              u32
//   account                 u32               identifier of the owning account
//   first split line        u32               file offset of the split-line chain
//   periodic schedule       u32               file offset of the chain's TPeriodicRecord
//   linked account          u32      7        the other account of a transfer
//   project                 u32      24       identifier of a TProjectRecord
//   flags                   u16      24       see the kOp... bits below
//   operation kind          u32
//   category                u32               category, or the other half of a transfer
//   (obsolete)              u32      9-14     read and discarded
//   pointing state          u16
//   amount                  double            negative debit, positive credit
//   label                   text 51
//   complementary label     text 51  16
//   date                    date
//   source-amount text      text 26  21
//   bank reference          text 11  22
//
// Record sizes: versions 2-6: 103; 7-8: 107; 9-14: 111; 15: 107; 16-20: 158;
// 21: 184; 22-23: 195; 24: 201.
// Chain: the operations of one account, head in the account, ordered by date,
// then amount descending; a new operation goes after the equal ones.
#pragma once

#include <string>

#include "foundation/kdate.h"
#include "storage/record_list.h"

namespace ledgora {

enum TOperationKind : std::uint32_t {
  kOpNormal = 0,
  kOpSplit = 1,
  kOpCardStatement = 2,
  kOpTransferOut = 3,
  kOpTransferIn = 4,
  kOpEuroConversion = 5,
};

enum TPointingState : std::uint16_t {
  kNotPointed = 0,
  kDownloaded = 1,
  kPointed = 3,
  kTicked = 4,
};

// Bits of the flag word. Bits not named here are kept as read.
enum TOperationFlags : std::uint16_t {
  kOpEnteredByHand = 0x0001,   // typed in (or pasted, or generated) rather than downloaded
  kOpOrigin = 0x0002,          // created by the import in progress; cleared when it ends
  kOpPastOccurrence = 0x0004,  // an earlier occurrence of a periodic chain, not its model
};

class TOperationRecord final : public TRecord {
 public:
  TRecordType Type() const override { return TRecordType::Operation; }
  void Read(TRecordBuffer& buffer, int version) override;
  void Write(TRecordBuffer& buffer) const override;
  std::unique_ptr<TRecord> Clone() const override {
    return std::make_unique<TOperationRecord>(*this);
  }
  bool Precedes(const TRecord& added) const override;
  int OrderKey(const TRecord& other) const override;
  bool Orderable() const override { return amount == amount; }

  bool HasFlag(std::uint16_t bit) const { return (flags & bit) != 0; }
  void SetFlag(std::uint16_t bit, bool on) {
    flags = static_cast<std::uint16_t>(on ? flags | bit : flags & ~bit);
  }

  // The split lines once loaded (TDatabase::LoadSplitLines), else null.
  TRecordList* SplitLines() const { return split_lines_.Get(); }
  TRecordList& MakeSplitLines() { return split_lines_.Make(TRecordType::SplitLine, this); }
  void DropSplitLines() { split_lines_.Drop(); }

  std::uint32_t account = 0;
  std::uint32_t first_split = 0;
  std::uint32_t periodic = 0;
  std::uint32_t linked_account = 0;
  std::uint32_t project = 0;
  std::uint16_t flags = 0;
  std::uint32_t kind = kOpNormal;
  std::uint32_t category = 0;
  std::uint16_t pointing = kNotPointed;
  double amount = 0;
  std::string label;
  std::string complementary_label;
  KDate date;
  std::string source_amount;
  std::string bank_reference;

 private:
  TChildList split_lines_;
};

}  // namespace ledgora
