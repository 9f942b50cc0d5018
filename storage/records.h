// The nine record kinds together, and a record made from its kind.
#pragma once

#include <memory>

#include "storage/account_record.h"
#include "storage/association_record.h"
#include "storage/category_record.h"
#include "storage/operation_record.h"
#include "storage/periodic_record.h"
#include "storage/project_record.h"
#include "storage/situation_account_record.h"
#include "storage/situation_value_record.h"
#include "storage/split_line_record.h"

namespace ledgora {

// A new record of the kind, with the defaults of its fields.
std::unique_ptr<TRecord> MakeRecord(TRecordType type);

}  // namespace ledgora
