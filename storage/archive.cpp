#include "storage/archive.h"

#include <algorithm>
#include <unordered_map>
#include <vector>

#include "foundation/cp1252.h"
#include "platform/files.h"
#include "storage/book_reader.h"
#include "storage/rebuild.h"
#include "storage/record_scanner.h"
#include "storage/records.h"
#include "storage/xorvanet.h"

namespace ledgora {
namespace {

constexpr std::string_view kArchiveProgressText =
    "Archivage d'une partie du livre de comptes.\nTraitement assez long,\nmerci de bien vouloir "
    "patienter.";

// The resource library's text of the bank's edition (string 22525).
constexpr std::string_view kNotPointedQuestion =
    "Dans les opérations à archiver, une opération qui n'est pas pointée a été détectée.\nIl est "
    "déconseillé d'archiver des opérations non pointées.\nVoulez-vous poursuivre l'archivage "
    "?\nNB : vous pourrez éventuellement en relancer un avec une date plus ancienne.";

// "No" to the question: the archive is abandoned, nothing removed.
struct TAbandoned {};

template <class T>
std::unique_ptr<T> As(std::unique_ptr<TRecord> record) {
  return std::unique_ptr<T>(static_cast<T*>(record.release()));
}

class TArchiver {
 public:
  TArchiver(TDatabase& db, const KDate& date, TProgressWindow& progress)
      : db_(db),
        date_(date),
        progress_(progress),
        files_(db.Files()),
        name_(db.BookPath().empty() ? db.WorkingCopyPath() : db.BookPath()),
        source_path_(WorkFilePath(kRebuildSourceName)),
        target_path_(WorkFilePath(kArchiveWorkName)) {}

  ~TArchiver() {
    try {
      files_.Remove(source_path_);
      files_.Remove(target_path_);
    } catch (const std::exception&) {
      // Left for the next archive or rebuild, which overwrite them.
    }
  }

  // Steps 5 to 7: the archive book, complete at archive_path.
  void Copy(const std::string& archive_path) {
    platform::MakeDirectories(WorkFolder());
    files_.RemoveReadOnly(source_path_);
    files_.RemoveReadOnly(target_path_);
    if (!files_.Copy(db_.WorkingCopyPath(), source_path_, true)) Fail();
    {
      std::unique_ptr<TStorageFile> source;
      try {
        source = files_.Open(source_path_, TOpenMode::Read);
      } catch (const TFileError&) {
        Fail();
      }
      TBookReader reader(*source);
      std::uint8_t head[kHeaderSize] = {};
      if (!reader.Read(0, head, kHeaderSize) || head[13] != kCurrentVersion) Fail();
      const TBookHeader header = DecodeHeader(head, kCurrentVersion);
      const bool has_password = header.password_flag != 0 && !header.password.empty();
      key_ = MakeScrambleKey(has_password ? Utf8ToCp1252(header.password) : std::string());

      TDatabase target(TDatabaseFile::TWorkFile{target_path_}, db_.Port(), files_);
      target.SetDurable(false);  // the copy to the chosen path is flushed
      target.AdoptHeader(header);
      target.CreateEmptyBook();
      target.SetNumbering(false);
      {
        TWritePhase phase(target);
        for (int pass = 0; pass < kPasses; ++pass) Pass(reader, target, pass);
        target.WriteHeader(phase.File());
      }
      if (target.Failed() || target.DirtyFlag() != 0) Fail();
    }
    if (!files_.Copy(target_path_, archive_path, true)) Fail();
  }

  // Step 8: the archived operations leave the book (opened again).
  void RemoveArchived() {
    if (archived_.empty()) return;
    progress_.Set(0);
    // One write phase for all the deletions: a crash in the middle leaves
    // the dirty flag set, and the rebuild then.
    TWritePhase phase(db_);
    // The book's operations by account and identifier, found once (a
    // deletion frees only its own node).
    std::unordered_map<std::uint64_t, TOperationRecord*> index;
    for (TAccountRecord& account : db_.Accounts().Records<TAccountRecord>()) {
      for (TOperationRecord& op : account.Operations().Records<TOperationRecord>()) {
        index.emplace(Key(account.id, op.id), &op);
      }
    }
    std::size_t done = 0;
    int last_percent = -1;
    for (const auto& [account_id, op_id] : archived_) {
      ++done;
      const auto found = index.find(Key(account_id, op_id));
      if (found != index.end()) {
        TOperationRecord* op = found->second;
        index.erase(found);
        Remove(*op);
      }
      const int percent = static_cast<int>(done * 100 / archived_.size());
      if (percent != last_percent) progress_.Set(last_percent = percent);
    }
  }

  std::size_t Archived() const { return archived_.size(); }

 private:
  static constexpr int kPasses = 5;

  static std::uint64_t Key(std::uint32_t account, std::uint32_t op) {
    return static_cast<std::uint64_t>(account) << 32 | op;
  }

  [[noreturn]] void Fail() { throw TXOrvanet(kOrvArchiveFailed, name_); }

  // Passes: accounts and projects; top-level categories; sub-categories;
  // split lines; operations.
  static bool InPass(TRecordType type, bool top_level, int pass) {
    switch (type) {
      case TRecordType::Account:
      case TRecordType::Project:
        return pass == 0;
      case TRecordType::Category:
        return top_level ? pass == 1 : pass == 2;
      case TRecordType::SplitLine:
        return pass == 3;
      case TRecordType::Operation:
        return pass == 4;
      default:
        return false;  // the situation, associations and schedules stay
    }
  }

  void Pass(TBookReader& reader, TDatabase& target, int pass) {
    TRecordScanner scanner(reader, 0, name_);
    TScannedRecord r;
    int last_percent = -1;
    while (scanner.Next(r)) {
      const int percent =
          pass * 100 / kPasses + static_cast<int>(scanner.Position() * 100 / kPasses /
                                                  std::max<std::uint64_t>(1, scanner.Size()));
      if (percent != last_percent) progress_.Set(last_percent = percent);
      if (r.Released()) continue;
      if (r.type != TRecordType::Category && !InPass(r.type, true, pass)) continue;
      TRecordFrame frame;
      std::unique_ptr<TRecord> record =
          ReadRecordAt(reader, r.offset, r.type, 0, key_, frame, name_);
      if (r.type == TRecordType::Category) {
        const auto& category = static_cast<const TCategoryRecord&>(*record);
        if (!InPass(r.type, category.parent == 0, pass)) continue;
      }
      Take(target, std::move(record));
    }
  }

  void Take(TDatabase& target, std::unique_ptr<TRecord> record) {
    switch (record->Type()) {
      case TRecordType::Account:
        target.AddAccount(As<TAccountRecord>(std::move(record)));
        break;
      case TRecordType::Project:
        target.AddProject(As<TProjectRecord>(std::move(record)));
        break;
      case TRecordType::Category: {
        auto category = As<TCategoryRecord>(std::move(record));
        TCategoryRecord* parent = nullptr;
        if (category->parent != 0) {
          parent = target.FindCategory(category->parent);
          if (parent && parent->parent != 0) parent = nullptr;
        }
        target.AddCategory(std::move(category), parent);
        break;
      }
      case TRecordType::SplitLine: {
        auto line = As<TSplitLineRecord>(std::move(record));
        if (line->category != 0 && !target.FindCategory(line->category)) line->category = 0;
        const std::uint32_t owner = line->operation;
        split_lines_[owner].push_back(std::move(line));
        break;
      }
      case TRecordType::Operation:
        TakeOperation(target, As<TOperationRecord>(std::move(record)));
        break;
      default:
        break;
    }
  }

  void TakeOperation(TDatabase& target, std::unique_ptr<TOperationRecord> op) {
    // An operation without a date is not "on or before" any date.
    if (!op->date.IsValid() || op->date.DayNumber() > date_.DayNumber()) return;
    TAccountRecord* account = target.FindAccount(op->account);
    if (!account) return;
    if (!asked_ && op->pointing != kPointed && op->kind != kOpEuroConversion) {
      asked_ = true;
      if (db_.Port().Ask(std::string(kNotPointedQuestion), TButtons::YesNo) != TButton::Yes) {
        throw TAbandoned{};
      }
    }
    op->periodic = 0;  // the schedules stay in the book
    const std::uint32_t id = op->id;
    const bool split = op->kind == kOpSplit;
    TOperationRecord& added = target.AddOperation(*account, std::move(op));
    archived_.emplace_back(account->id, id);
    if (!split) return;
    auto lines = split_lines_.find(id);
    if (lines == split_lines_.end()) return;
    for (auto& line : lines->second) target.AddSplitLine(added, std::move(line));
    split_lines_.erase(lines);
    added.DropSplitLines();
  }

  void Remove(TOperationRecord& op) {
    const bool model = op.periodic != 0 && !op.HasFlag(kOpPastOccurrence);
    const std::uint32_t schedule = op.periodic;
    db_.DeleteOperation(op);  // its split lines, and the schedule of a model
    if (!model) return;
    // The chain has lost its schedule: what stays of it is no longer periodic.
    for (TAccountRecord& a : db_.Accounts().Records<TAccountRecord>()) {
      std::vector<TOperationRecord*> chain;
      for (TOperationRecord& other : a.Operations().Records<TOperationRecord>()) {
        if (other.periodic == schedule) chain.push_back(&other);
      }
      for (TOperationRecord* other : chain) {
        other->periodic = 0;
        db_.ModifyOperation(*other);
      }
    }
  }

  TDatabase& db_;
  KDate date_;
  TProgressWindow& progress_;
  TStorageFileSystem& files_;
  std::string name_;
  std::string source_path_;
  std::string target_path_;
  std::optional<TScrambleKey> key_;
  bool asked_ = false;
  std::unordered_map<std::uint32_t, std::vector<std::unique_ptr<TSplitLineRecord>>> split_lines_;
  std::vector<std::pair<std::uint32_t, std::uint32_t>> archived_;  // account, operation
};

// Opens the book again after the copy; false when it cannot be.
void Reopen(TDatabase& db) {
  if (!db.IsOpen()) db.Open(/*ask_password=*/false);
}

}  // namespace

TArchiveReport ArchiveBook(TDatabase& db, const std::string& archive_path, const KDate& date) {
  TArchiveReport report;
  const std::string name = db.BookPath().empty() ? db.WorkingCopyPath() : db.BookPath();
  TProgressWindow progress(db.Port(), kArchiveProgressText);
  TWaitCursor wait(db.Port());
  try {
    TArchiver archiver(db, date, progress);
    try {
      archiver.Copy(archive_path);
    } catch (const TAbandoned&) {
      Reopen(db);
      report.result = TArchiveResult::Abandoned;
      return report;
    }
    Reopen(db);
    archiver.RemoveArchived();
    report.operations_archived = archiver.Archived();
    return report;
  } catch (const std::exception&) {
    // The book as it stands is opened again for the handler to close.
    try {
      Reopen(db);
    } catch (const std::exception&) {
    }
    throw TXOrvanet(kOrvArchiveFailed, name);
  }
}

}  // namespace ledgora
