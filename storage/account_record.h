// TAccountRecord ('C'): a bank account of the book.
//
// Payload, in storage order (version 24: 196 bytes, record 203):
//
//   field                          width  since
//   identifier                     u32
//   account state                  u16    10   0 shown, 1 closed, 2 hidden
//   account type                   u16         0 current, 1 card, 2 deposit
//   linked current account         u32         card accounts: the account debited
//   initial balance                double
//   name                           text 21
//   bank code                      text 6
//   branch code                    text 6
//   account number                 text 12
//   card number                    text 17
//   remark                         text 51
//   currency code                  text 4 4    default "EUR"
//   previous statement date        date
//   statement opening balance      double
//   statement closing balance      double
//   statement date being pointed   date
//   first operation                u32         file offset of the operation chain
//   euro twin                      u32    17   the account converted from
//   conversion date                date   17
//   synthesis flag                 u16    19
//
// Record sizes: versions 2-3: 180; 4-9: 184; 10-16: 186; 17-18: 201; 19-24: 203.
// Chain: all accounts, head in the book header, ordered by account type,
// then name without regard to case. In memory the account also holds its
// balance and its operations (loaded with the book).
#pragma once

#include <string>

#include "foundation/kdate.h"
#include "storage/record_list.h"

namespace ledgora {

enum TAccountType : std::uint16_t {
  kCurrentAccount = 0,
  kCardAccount = 1,
  kDepositAccount = 2,
};

enum TAccountState : std::uint16_t {
  kAccountShown = 0,   // "Affiché"
  kAccountClosed = 1,  // "Clos"
  kAccountHidden = 2,  // "Masqué"
};

class TAccountRecord final : public TRecord {
 public:
  TRecordType Type() const override { return TRecordType::Account; }
  void Read(TRecordBuffer& buffer, int version) override;
  void Write(TRecordBuffer& buffer) const override;
  std::unique_ptr<TRecord> Clone() const override {
    return std::make_unique<TAccountRecord>(*this);
  }
  bool Precedes(const TRecord& added) const override;
  int OrderKey(const TRecord& other) const override;

  // The operations of the account, in their chain's order.
  TRecordList& Operations() { return operations_.Make(TRecordType::Operation, this); }
  const TRecordList& Operations() const { return operations_.Make(TRecordType::Operation, this); }

  std::uint16_t state = kAccountShown;
  std::uint16_t account_type = kCurrentAccount;
  std::uint32_t linked_account = 0;
  double initial_balance = 0;
  std::string name;
  std::string bank_code;
  std::string branch_code;
  std::string account_number;
  std::string card_number;
  std::string remark;
  std::string currency = "EUR";
  KDate previous_statement_date;
  double statement_opening_balance = 0;
  double statement_closing_balance = 0;
  KDate pointing_date;
  std::uint32_t first_operation = 0;
  std::uint32_t euro_twin = 0;
  KDate conversion_date;
  std::uint16_t synthesis = 0;

  // In memory only: the current balance (initial balance and operations).
  double balance = 0;

 private:
  TChildList operations_;
};

}  // namespace ledgora
