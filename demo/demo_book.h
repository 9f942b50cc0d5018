// The demo book: a small, lifelike account book for trying the program.
//
// Two years of French household operations ending today: two current
// accounts, a deferred-debit card with its monthly card statements, two
// deposit accounts, a category tree with debit and credit categories,
// monthly transfers to a savings account, split operations and one project.
// The content depends only on "today" (platform::Today), so a pinned day
// gives the same book byte for byte.
#pragma once

#include <string>
#include <vector>

#include "platform/user_port.h"

namespace ledgora {

// Writes a new book at path (a ".VX" path whose book and working copy must
// not exist: std::invalid_argument otherwise), saves and closes it and
// removes its in-use marker. The book enters the recent-books list of the
// current profile, as every book made by the storage does. Errors:
// TXOrvanet from the storage.
void BuildDemoBook(const std::string& path, TUserPort& port);

// One line per account of the book at path, in book order:
// "<name>  <type>  <balance> <currency>  (<n> opérations)". The book is
// opened read-only in spirit (its working copy is made and deleted again
// with nothing changed). Errors: TXOrvanet from the storage.
std::vector<std::string> DescribeBook(const std::string& path, TUserPort& port);

}  // namespace ledgora
