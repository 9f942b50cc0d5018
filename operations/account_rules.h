// The rules of the "Comptes" page: confirming a new or modified account
// (the checks in their fixed order, the link of a card account to its
// current account), deleting an account (card accounts, euro twins), and
// the texts the page and the account bar show.
//
// The page (app/) or ledgora-cli collects what was typed into
// TAccountFields and calls ConfirmAccount; every message goes through the
// book's port (TDatabase::Port()), with the exclamation icon for a refusal
// and the question icon for a Yes/No question. The changes go through
// TDatabase, one write phase each; errors: TXOrvanet from the storage.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "storage/database.h"

namespace ledgora {

inline constexpr std::string_view kNoAccountTypeMessage =
    "Vous n'avez pas choisi le type du compte.";
inline constexpr std::string_view kAccountNameRequiredMessage = "Le nom du compte est obligatoire.";
inline constexpr std::string_view kInvalidInitialBalanceMessage = "Le solde initial est invalide !";
inline constexpr std::string_view kNoLinkedAccountMessage =
    "Sélectionnez le compte courant à associer à votre compte carte.";
inline constexpr std::string_view kSameAccountNameMessage =
    "Vous ne pouvez pas créer deux comptes ayant le même nom !";
inline constexpr std::string_view kSameCardNumberMessage =
    "Vous ne pouvez pas créer deux comptes Encours Carte ayant le même numéro de carte.";
inline constexpr std::string_view kSameRibMessage =
    "Vous ne pouvez pas créer deux comptes ayant le même R.I.B.";
inline constexpr std::string_view kDeleteCurrentWithCardsMessage =
    "Vous ne pouvez pas supprimer un compte courant\npossédant un ou plusieurs comptes 'Encours "
    "Carte'.";
// A current account that card accounts are linked to keeps its type: as
// another type it would leave them linked to no current account.
inline constexpr std::string_view kChangeTypeWithCardsMessage =
    "Vous ne pouvez pas modifier le type d'un compte courant\npossédant un ou plusieurs comptes "
    "'Encours Carte'.";
inline constexpr std::string_view kDeleteAccountQuestion =
    "Confirmez-vous la destruction du compte\net des opérations associées ?";

// Field limits of the page, in characters.
inline constexpr std::size_t kAccountNameMaxChars = 15;
inline constexpr std::size_t kCardNumberMaxChars = 16;
inline constexpr std::size_t kBankCodeChars = 5;
inline constexpr std::size_t kBranchCodeChars = 5;
inline constexpr std::size_t kAccountNumberChars = 11;
inline constexpr std::size_t kRemarkMaxChars = 50;

// The names of the account types ("Compte courant", "Encours carte",
// "Compte de dépôt"); empty for another value.
std::string_view AccountTypeName(std::uint16_t type);
// The names of the states in the order the page lists them: "Affiché",
// "Masqué", "Clos", with their stored values 0, 2, 1.
struct TAccountStateChoice {
  std::string_view name;
  std::uint16_t state;
};
std::vector<TAccountStateChoice> AccountStateChoices();

// What the page's fields hold when O&K is pressed.
struct TAccountFields {
  std::optional<std::uint16_t> type;  // none: no type chosen
  std::string name;                   // at most 15 characters kept
  std::string initial_balance;        // as typed ("1234,50"); empty reads as 0
  std::string currency = "EUR";       // "De&vise :" (not read for a card account)
  std::string card_number;            // card accounts
  std::uint32_t linked_account = 0;   // card accounts: the current account chosen, 0 none
  std::string bank_code;              // other types
  std::string branch_code;
  std::string account_number;
  std::string remark;
  std::uint16_t state = kAccountShown;
};

// The fields of an existing account, as the page shows them.
TAccountFields FieldsOf(const TAccountRecord& account);

// The choices of "Compte &lié :": the current accounts of the book in book
// order, each row the name padded to 50 characters and its identifier
// ("%-50s%lu").
struct TLinkedAccountChoice {
  std::uint32_t id = 0;
  std::string row;
};
std::vector<TLinkedAccountChoice> LinkedAccountChoices(const TDatabase& db);

enum class TAccountConfirmOutcome { Refused, Added, Modified };
struct TAccountConfirmResult {
  TAccountConfirmOutcome outcome = TAccountConfirmOutcome::Refused;
  TAccountRecord* account = nullptr;  // the added or modified account
};

// O&K of the page for a new account (former null) or a modified one. The
// checks, the first failing one shown and nothing changed (the page stays
// open):
//   1 no type: kNoAccountTypeMessage; a current account that card accounts
//     are linked to given another type: kChangeTypeWithCardsMessage;
//   2 empty name: kAccountNameRequiredMessage;
//   3 initial balance not an amount: kInvalidInitialBalanceMessage;
//   6 card account without a current account chosen (or one that is not a
//     current account of the book): kNoLinkedAccountMessage;
//   8 against every other account in book order: the same name
//     (kSameAccountNameMessage); a card account with the same non-empty
//     card number and currency (kSameCardNumberMessage); an account of the
//     same type, not a card account, with the same non-empty bank code,
//     branch code, account number and currency (kSameRibMessage).
// Then (4) the balance moves by the change of the initial balance, (5) the
// remark and state are taken, (6) a card account takes the bank code,
// branch code, account number and currency of its current account, (7)
// another type keeps its own, and (9) the former record is replaced (it
// stays the active account if it was) or the new account is added; a book
// without an active account makes the new one active.
TAccountConfirmResult ConfirmAccount(TDatabase& db, TAccountRecord* former,
                                     const TAccountFields& fields);

// "Su&pprimer" of the page. Refuses an account that a card account is
// linked to (kDeleteCurrentWithCardsMessage). Asks the euro question
// for an account made by conversion (the former account's name and RIB
// parts), kDeleteAccountQuestion for any other; No changes nothing. Then a
// euro account made from this one loses its link, the active account moves
// to the first other account (or none), the account goes with all its
// operations, and for a euro account made by conversion the former account
// is shown again (Affiché) and loses its EuroConversion operation.
// True when the account was deleted.
bool DeleteAccountWithRules(TDatabase& db, TAccountRecord& account);

// "Ce compte résulte de la conversion en euros du compte %s [%s %s %s %s].\n..."
std::string EuroAccountDeleteQuestion(const TAccountRecord& former);

// The tip of a button of the account bar: "%s [%s %s]" (remark, balance
// with two decimals, currency code).
std::string AccountBarTip(const TAccountRecord& account);
// The account header: "%s = %s" (name, remark).
std::string AccountHeaderText(const TAccountRecord& account);

// The account of the bar's arrow buttons: the previous or next account in
// book order whose state is Affiché, from `from` (null: from the ends).
// Null when there is none.
TAccountRecord* NextShownAccount(const TDatabase& db, const TAccountRecord* from, bool forward);

}  // namespace ledgora
