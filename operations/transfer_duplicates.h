// TTransferDuplicateFinder: the duplicate search run for the other half of a
// transfer before it is added.
//
// The duplicate detection (its rules, its question with the buttons "&Créer"
// and "&Ecraser") comes with the import rules; the transfer rule only calls
// this seam in its transfer mode. Without a finder no duplicate is found and
// the other half is always created.
#pragma once

namespace ledgora {

class TAccountRecord;
class TDatabase;
class TOperationRecord;

class TTransferDuplicateFinder {
 public:
  virtual ~TTransferDuplicateFinder() = default;
  // An operation of account (typically the same movement, already
  // downloaded) that other_half duplicates, or null. other_half is not in
  // the book yet; the finder may ask the user through the book's port.
  virtual TOperationRecord* FindTransferDuplicate(TDatabase& db, TAccountRecord& account,
                                                  const TOperationRecord& other_half) = 0;
};

}  // namespace ledgora
