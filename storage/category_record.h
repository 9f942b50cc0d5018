// TCategoryRecord ('G'): a category or a sub-category, with its budget.
//
// The frame of a category is 11 bytes: after the next offset it holds the
// offset of the first sub-category (0 = none).
//
// Payload, in storage order (version 24: 147 bytes, record 158):
//
//   field             width        since
//   identifier        u32
//   parent            u32                  0 for a top-level category
//   debit flag        u32                  1 debit ("Dépense"), 0 credit ("Recette")
//   name              text 31
//   amount            double               pre-fills an operation
//   monthly budget    12 x double  13      January first
//
// Record sizes: versions 2-12: 62; 13-24: 158.
// Chains: the top-level categories (head in the book header) and, under each,
// its sub-categories (head in its frame); both ordered by debit flag, then
// name without regard to case. The tree has two levels.
#pragma once

#include <array>
#include <string>

#include "storage/record_list.h"

namespace ledgora {

class TCategoryRecord final : public TRecord {
 public:
  TRecordType Type() const override { return TRecordType::Category; }
  void Read(TRecordBuffer& buffer, int version) override;
  void Write(TRecordBuffer& buffer) const override;
  std::unique_ptr<TRecord> Clone() const override {
    return std::make_unique<TCategoryRecord>(*this);
  }
  bool Precedes(const TRecord& added) const override;
  int OrderKey(const TRecord& other) const override;

  // The sub-categories of a top-level category.
  TRecordList& SubCategories() { return sub_categories_.Make(TRecordType::Category, this); }
  const TRecordList* SubCategoriesIfAny() const { return sub_categories_.Get(); }

  std::uint32_t parent = 0;
  std::uint32_t debit = 0;
  std::string name;
  double amount = 0;
  std::array<double, 12> budget{};

  // The frame's sub-category offset, kept equal to the head of the
  // sub-category list while the record is in the book.
  std::uint32_t first_subcategory = 0;

 private:
  TChildList sub_categories_;
};

}  // namespace ledgora
