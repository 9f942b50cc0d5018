// What the rebuild and archive tests share: a book with every kind of
// record, and its contents as one text to compare before and after.
#pragma once

#include <string>

#include "storage/database.h"

namespace ledgora::testing {

// Adds to an open book: three accounts (current, card, deposit), a category
// tree two levels deep, 24 operations (one split with two lines, one
// periodic chain of three with its schedule, a transfer pair), a project,
// two associations, a situation account with two values; then deletes one
// operation so that the file holds a released slot.
void FillBook(TDatabase& db);

// Every record of the book with its identifier and stored fields (offsets
// excepted), one per line, in list order; split lines, schedules and the
// lists loaded on demand included.
std::string DescribeBook(TDatabase& db);

// The live records of each kind and the released slots of a book file, by a
// walk in file order ("C2 G5 O24 ... X1").
std::string CountRecords(const std::string& path, int version = 0);

}  // namespace ledgora::testing
