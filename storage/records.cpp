#include "storage/records.h"

#include <stdexcept>

namespace ledgora {

std::unique_ptr<TRecord> MakeRecord(TRecordType type) {
  switch (type) {
    case TRecordType::Account:
      return std::make_unique<TAccountRecord>();
    case TRecordType::Category:
      return std::make_unique<TCategoryRecord>();
    case TRecordType::Operation:
      return std::make_unique<TOperationRecord>();
    case TRecordType::SplitLine:
      return std::make_unique<TSplitLineRecord>();
    case TRecordType::Periodic:
      return std::make_unique<TPeriodicRecord>();
    case TRecordType::Association:
      return std::make_unique<TAssociationRecord>();
    case TRecordType::SituationAccount:
      return std::make_unique<TSituationAccountRecord>();
    case TRecordType::SituationValue:
      return std::make_unique<TSituationValueRecord>();
    case TRecordType::Project:
      return std::make_unique<TProjectRecord>();
  }
  throw std::logic_error("unknown record type");
}

}  // namespace ledgora
