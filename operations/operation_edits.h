// The steps that several operation rules share: finding the other half of a
// transfer, the pointed-operation warning, deleting an operation with what
// hangs on it, moving a periodic chain to a new schedule, and telling the
// pointing window of a tick.
//
// The changes go through TDatabase and throw what it throws (TXOrvanet);
// each of them is one write phase.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

#include "storage/database.h"

namespace ledgora {

class TPointingSession;

inline constexpr std::string_view kPointedChangeQuestion =
    "Attention ! Cette opération est pointée.\nDésirez-vous vraiment la modifier ?";
inline constexpr std::string_view kDeleteComplementQuestion =
    "Un virement est composé de deux opérations.\nSouhaitez-vous supprimer l'opération "
    "complémentaire du virement ?";

// The other half of a transfer half: the operation its category field names
// in its linked account, provided that one is a transfer half naming op in
// return. Null when op is not a transfer half or its other half is gone.
TOperationRecord* OtherHalfOf(const TDatabase& db, const TOperationRecord& op);

// The pointed-operation warning: when op is Pointed and the book warns
// before changing pointed operations, asks question (Yes/No). False on No.
bool ConfirmPointedChange(TDatabase& db, const TOperationRecord& op,
                          std::string_view question = kPointedChangeQuestion);

// Whether op is the model of a periodic chain (not a past occurrence).
bool IsChainModel(const TOperationRecord& op);

// Deletes op without a question: a Split with its lines; the model of a
// periodic chain with its schedule, every other operation of the chain then
// losing its link (schedule offset 0, past-occurrence flag cleared).
void DeleteOperationAndChain(TDatabase& db, TOperationRecord& op);

// The deletion of an operation "through the book": when op is a transfer
// half whose other half exists and ask_complement is on, first asks
// kDeleteComplementQuestion; Yes deletes the other half too (its account's
// balance is recomputed), No leaves it as it is.
void DeleteThroughBook(TDatabase& db, TOperationRecord& op, bool ask_complement);

// Gives the chain that model heads a new schedule (null: none) and moves
// every other operation of the chain (past occurrences, the other half of a
// periodic transfer) to it, so that the chain stays one.
void ReplaceChainSchedule(TDatabase& db, TOperationRecord& model,
                          std::unique_ptr<TPeriodicRecord> schedule);

// Tells session (when there is one) that op's pointing state went from
// old_state to its current one, when either of them is Ticked.
void TellTick(TPointingSession* session, const TOperationRecord& op, std::uint16_t old_state);

}  // namespace ledgora
