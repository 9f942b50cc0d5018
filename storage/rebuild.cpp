#include "storage/rebuild.h"

#include <map>
#include <unordered_map>
#include <vector>

#include "foundation/cp1252.h"
#include "foundation/nocase.h"
#include "platform/configuration.h"
#include "platform/files.h"
#include "storage/book_reader.h"
#include "storage/record_scanner.h"
#include "storage/records.h"
#include "storage/xorvanet.h"

namespace ledgora {
namespace {

constexpr std::string_view kRebuildProgressText =
    "Reconstruction du livre de comptes.\nTraitement assez long,\nmerci de bien vouloir "
    "patienter.";

template <class T>
std::unique_ptr<T> As(std::unique_ptr<TRecord> record) {
  return std::unique_ptr<T>(static_cast<T*>(record.release()));
}

bool IsLetter(char32_t cp) {
  if (cp < 0x80) return (cp >= 'A' && cp <= 'Z') || (cp >= 'a' && cp <= 'z');
  return FoldUpper(cp) != FoldLower(cp) || cp == 0xDF || cp == 0xFF;
}

// The product signatures refused at opening, with their codes.
void RefuseOtherProducts(const std::string& signature, const std::string& name) {
  if (signature == "KPLXTRAI") throw TXOrvanet(kOrvKestrelBook, name);
  if (signature == "LEDPRO") throw TXOrvanet(kOrvKestrelDatabase, name);
  if (signature == "ORVASS") throw TXOrvanet(kOrvAssociationBook, name);
}

// Colour migration of a source header.
void MigrateColours(TBookSettings& s, int version) {
  if (s.colours[3] > 0xFFFFFFu) s.colours[3] = Rgb(255, 255, 255);
  if (version >= kCurrentVersion) return;
  // The former defaults of the account colours give way to the new ones.
  if (s.colours[0] == Rgb(255, 255, 128)) s.colours[0] = Rgb(255, 255, 157);
  if (s.colours[1] == Rgb(128, 255, 128)) s.colours[1] = Rgb(190, 243, 207);
  if (s.colours[2] == Rgb(128, 255, 255)) s.colours[2] = Rgb(198, 236, 255);
}

// The conversions applied to an operation of an older book.
void ConvertOperation(TOperationRecord& op, int version) {
  if (version == 22) op.bank_reference.clear();
  if (version <= 20) SplitOriginLabel(op.complementary_label, op.source_amount);
}

class TRebuilder {
 public:
  TRebuilder(TDatabase& db, const TRebuildOptions& options)
      : db_(db),
        options_(options),
        files_(db.Files()),
        port_(db.Port()),
        name_(db.BookPath().empty() ? db.WorkingCopyPath() : db.BookPath()),
        source_path_(WorkFilePath(kRebuildSourceName)),
        target_path_(WorkFilePath(kRebuildTargetName)) {}

  TRebuildReport Run() {
    // Step 1: the work files, and no read-only attribute in the way.
    platform::MakeDirectories(WorkFolder());
    files_.RemoveReadOnly(source_path_);
    files_.RemoveReadOnly(target_path_);
    files_.RemoveReadOnly(db_.WorkingCopyPath());
    // Step 2: the other products' files are refused as at opening.
    CheckWorkingCopySignature();
    // Step 3.
    TProgressWindow progress(port_, kRebuildProgressText);
    TWaitCursor wait(port_);
    progress_ = &progress;
    try {
      Copy();
    } catch (...) {
      RemoveWorkFiles();
      throw;
    }
    RemoveWorkFiles();
    return report_;
  }

 private:
  void CheckWorkingCopySignature() {
    std::uint8_t head[13] = {};
    try {
      auto file = files_.Open(db_.WorkingCopyPath(), TOpenMode::Read);
      if (file->ReadAt(0, head, sizeof head) != sizeof head) {
        throw TXOrvanet(kOrvNotABook, name_);
      }
    } catch (const TFileError& e) {
      throw TXOrvanet(kOrvRebuildFailed, name_, e.Error());
    }
    RefuseOtherProducts(LoadText(head + 4, 9), name_);
  }

  void RemoveWorkFiles() noexcept {
    try {
      files_.Remove(source_path_);
      files_.Remove(target_path_);
    } catch (const std::exception&) {
      // Left for the next rebuild, which deletes and overwrites them.
    }
  }

  void Copy() {
    // Step 4.
    files_.Remove(target_path_);
    const platform::TFileResult copied = files_.Copy(db_.WorkingCopyPath(), source_path_, true);
    if (!copied) throw TXOrvanet(kOrvRebuildFailed, name_, copied.error);
    {
      // Step 5.
      std::unique_ptr<TStorageFile> source;
      try {
        source = files_.Open(source_path_, TOpenMode::Read);
      } catch (const TFileError& e) {
        throw TXOrvanet(kOrvRebuildRestart, source_path_, e.Error());
      }
      TBookReader reader(*source);
      TDatabase target(TDatabaseFile::TWorkFile{target_path_}, port_, files_);
      target.SetDurable(false);  // the final copy over the working copy is flushed
      ReadSourceHeader(reader, target);
      try {
        target.CreateEmptyBook();
      } catch (const TXOrvanet& e) {
        throw TXOrvanet(kOrvRebuildRestart, target_path_, e.SystemError());
      }
      target.SetNumbering(false);
      {
        // One write phase for the whole book: the work file is opened once.
        TWritePhase phase(target);
        for (int pass = 0; pass < 4; ++pass) Pass(reader, target, pass);
        RaiseCounters(target);
        // Step 9: the accounts hold their first operations already (each
        // change of a chain head rewrites its owner); the header last.
        target.WriteHeader(phase.File());
      }
      if (target.Failed() || target.DirtyFlag() != 0) {
        throw TXOrvanet(kOrvRebuildFailed, name_);
      }
    }
    // Both files closed: the working copy is replaced only now.
    const platform::TFileResult replaced = files_.Copy(target_path_, db_.WorkingCopyPath(), true);
    if (!replaced) throw TXOrvanet(kOrvRebuildFailed, name_, replaced.error);
  }

  // Step 6.
  void ReadSourceHeader(TBookReader& reader, TDatabase& target) {
    std::uint8_t head[kHeaderSize] = {};
    if (!reader.Read(0, head, 14)) throw TXOrvanet(kOrvNotABook, name_);
    const std::string signature = LoadText(head + 4, 9);
    RefuseOtherProducts(signature, name_);
    if (signature != kBookSignature) throw TXOrvanet(kOrvNotABook, name_);
    version_ = head[13];
    report_.source_version = version_;
    if (version_ < kOldestVersion || version_ > kCurrentVersion) {
      throw TXOrvanet(kOrvRebuildFailed, name_);
    }
    if (!reader.Read(0, head, HeaderSize(version_))) throw TXOrvanet(kOrvRebuildFailed, name_);
    TBookHeader header = DecodeHeader(head, version_);
    MigrateColours(header.settings, version_);
    const bool has_password = header.password_flag != 0 && !header.password.empty();
    if (has_password && options_.ask_password) {
      AskBookPassword(port_, header.password, name_);
    }
    read_key_ = MakeScrambleKey(has_password ? Utf8ToCp1252(header.password) : std::string());
    counters_ = header.counters;
    target.AdoptHeader(header);
    if (options_.new_password) target.SetPassword(*options_.new_password);
    // CreateEmptyBook takes the writing key from the new header's password.
  }

  void Progress(int pass, std::uint64_t position, std::uint64_t length) {
    const int percent = pass * 25 + static_cast<int>(length ? position * 25 / length : 25);
    if (percent != last_percent_) {
      last_percent_ = percent;
      progress_->Set(percent);
    }
  }

  // Step 7: one scan of the source in file order.
  void Pass(TBookReader& reader, TDatabase& target, int pass) {
    TRecordScanner scanner(reader, version_, name_);
    TScannedRecord r;
    Progress(pass, 0, scanner.Size());
    while (scanner.Next(r)) {
      Progress(pass, scanner.Position(), scanner.Size());
      if (r.Released()) {
        if (pass == 0) ++report_.released_skipped;
        continue;
      }
      if (pass == 0) ++report_.records_read;
      if (!InPass(r, reader, pass)) continue;
      TRecordFrame frame;
      std::unique_ptr<TRecord> record =
          ReadRecordAt(reader, r.offset, r.type, version_, read_key_, frame, name_);
      Seen(record->Type(), record->id);
      Take(target, r, std::move(record));
    }
  }

  // Whether the record belongs to the pass; categories are told apart by
  // their parent field (top level in pass 0, sub-categories in pass 1).
  bool InPass(const TScannedRecord& r, TBookReader& reader, int pass) {
    switch (r.type) {
      case TRecordType::SituationAccount:
      case TRecordType::Account:
      case TRecordType::Project:
      case TRecordType::Periodic:
        return pass == 0;
      case TRecordType::Category:
        return (pass == 0 || pass == 1) && (pass == 0) == (ParentOf(r, reader) == 0);
      case TRecordType::SituationValue:
        return pass == 1;
      case TRecordType::SplitLine:
      case TRecordType::Association:
        return pass == 2;
      case TRecordType::Operation:
        return pass == 3;
    }
    return false;
  }

  std::uint32_t ParentOf(const TScannedRecord& r, TBookReader& reader) {
    TRecordBuffer buffer(8);
    if (!reader.Read(r.offset + FrameSize(TRecordType::Category), buffer.Data(), 8)) {
      throw TXOrvanet(kOrvDamaged, name_);
    }
    if (read_key_) buffer.Unscramble(*read_key_);
    buffer.GetU32();
    return buffer.GetU32();
  }

  void Take(TDatabase& target, const TScannedRecord& r, std::unique_ptr<TRecord> record) {
    switch (r.type) {
      case TRecordType::SituationAccount:
        target.AddSituationAccount(As<TSituationAccountRecord>(std::move(record)));
        break;
      case TRecordType::Account:
        target.AddAccount(As<TAccountRecord>(std::move(record)));
        break;
      case TRecordType::Project:
        target.AddProject(As<TProjectRecord>(std::move(record)));
        break;
      case TRecordType::Periodic:
        schedules_[r.offset] = {As<TPeriodicRecord>(std::move(record)), 0};
        return;  // written with the first operation that holds it
      case TRecordType::Category: {
        auto category = As<TCategoryRecord>(std::move(record));
        TCategoryRecord* parent = nullptr;
        if (category->parent != 0) {
          // A sub-category whose parent is gone (or is itself a
          // sub-category) is kept at the top level rather than lost.
          parent = target.FindCategory(category->parent);
          if (parent && parent->parent != 0) parent = nullptr;
        }
        target.AddCategory(std::move(category), parent);
        break;
      }
      case TRecordType::SituationValue:
        target.AddSituationValue(As<TSituationValueRecord>(std::move(record)));
        break;
      case TRecordType::SplitLine: {
        auto line = As<TSplitLineRecord>(std::move(record));
        if (line->category != 0 && !target.FindCategory(line->category)) line->category = 0;
        const std::uint32_t owner = line->operation;
        split_lines_[owner].push_back(std::move(line));
        return;  // written only with their operation
      }
      case TRecordType::Association: {
        auto association = As<TAssociationRecord>(std::move(record));
        if (association->category != 0 && !target.FindCategory(association->category)) {
          association->category = 0;
        }
        target.AddAssociation(std::move(association));
        break;
      }
      case TRecordType::Operation:
        TakeOperation(target, As<TOperationRecord>(std::move(record)));
        return;
    }
    ++report_.records_written;
  }

  void TakeOperation(TDatabase& target, std::unique_ptr<TOperationRecord> op) {
    TAccountRecord* account = target.FindAccount(op->account);
    if (!account) {
      ++report_.operations_dropped;
      return;
    }
    // The schedule: written once, with the first operation of its chain.
    auto schedule = schedules_.find(op->periodic);
    if (op->periodic != 0 && schedule != schedules_.end()) {
      TScheduleCopy& copy = schedule->second;
      if (copy.new_offset == 0) {
        copy.new_offset = target.AddSchedule(std::unique_ptr<TPeriodicRecord>(
            static_cast<TPeriodicRecord*>(copy.record->Clone().release())));
        ++report_.records_written;
      }
      op->periodic = copy.new_offset;
    } else {
      op->periodic = 0;
    }
    ConvertOperation(*op, version_);
    const std::uint32_t id = op->id;
    const bool split = op->kind == kOpSplit;
    TOperationRecord& added = target.AddOperation(*account, std::move(op));
    ++report_.records_written;
    if (!split) return;
    auto lines = split_lines_.find(id);
    if (lines == split_lines_.end()) return;
    for (auto& line : lines->second) {
      target.AddSplitLine(added, std::move(line));
      ++report_.records_written;
    }
    split_lines_.erase(lines);
    added.DropSplitLines();
  }

  void Seen(TRecordType type, std::uint32_t id) {
    std::uint32_t& max = max_ids_[IndexOf(type)];
    if (id > max) max = id;
  }

  // A counter below an identifier copied would hand it out again (a crash
  // before the header was written). 4294967295 means the numbering went
  // round: the counter stays, and the book skips the identifiers in use.
  void RaiseCounters(TDatabase& target) {
    for (std::size_t i = 0; i < kRecordTypeCount; ++i) {
      const auto type = static_cast<TRecordType>(i);
      const std::uint32_t max = max_ids_[i];
      if (max > counters_[i] && max != 0xFFFFFFFFu) target.SetCounter(type, max);
    }
  }

  struct TScheduleCopy {
    std::unique_ptr<TPeriodicRecord> record;
    std::uint32_t new_offset = 0;
  };

  TDatabase& db_;
  const TRebuildOptions& options_;
  TStorageFileSystem& files_;
  TUserPort& port_;
  std::string name_;
  std::string source_path_;
  std::string target_path_;
  TProgressWindow* progress_ = nullptr;
  int last_percent_ = -1;
  int version_ = kCurrentVersion;
  std::optional<TScrambleKey> read_key_;
  std::array<std::uint32_t, kRecordTypeCount> counters_{};
  std::array<std::uint32_t, kRecordTypeCount> max_ids_{};
  std::unordered_map<std::uint32_t, TScheduleCopy> schedules_;
  std::unordered_map<std::uint32_t, std::vector<std::unique_ptr<TSplitLineRecord>>> split_lines_;
  TRebuildReport report_;
};

}  // namespace

std::string WorkFolder() {
  return platform::JoinPath(platform::Configuration().books_folder, std::string(kWorkFolderName));
}

std::string WorkFilePath(std::string_view name) {
  return platform::JoinPath(WorkFolder(), std::string(name));
}

TRebuildReport RebuildBook(TDatabase& db, const TRebuildOptions& options) {
  if (db.InWritePhase()) throw std::logic_error("RebuildBook inside a write phase");
  // The working copy is replaced under the book: records in memory would
  // no longer be those of the file.
  if (db.IsOpen() && !db.Closed()) throw std::logic_error("RebuildBook on an open book");
  const std::string name = db.BookPath().empty() ? db.WorkingCopyPath() : db.BookPath();
  try {
    TRebuilder rebuilder(db, options);
    return rebuilder.Run();
  } catch (const TXOrvanet& e) {
    switch (e.Code()) {
      case kOrvNotABook:
      case kOrvRebuildRestart:
      case kOrvNoPassword:
      case kOrvKestrelBook:
      case kOrvKestrelDatabase:
      case kOrvAssociationBook:
      case kOrvRebuildFailed:
        throw;
      default:
        throw TXOrvanet(kOrvRebuildFailed, name, e.SystemError());
    }
  } catch (const std::exception&) {
    throw TXOrvanet(kOrvRebuildFailed, name);
  }
}

bool SplitOriginLabel(std::string& complementary_label, std::string& source_amount) {
  constexpr std::string_view kPrefix = "Orig : ";
  const std::string& label = complementary_label;
  if (Utf8Length(label) < 8 || label.compare(0, kPrefix.size(), kPrefix) != 0) return false;
  std::size_t pos = kPrefix.size();
  std::size_t letter = std::string::npos;
  while (pos < label.size()) {
    const std::size_t at = pos;
    if (IsLetter(DecodeUtf8At(label, pos))) {
      letter = at;
      break;
    }
  }
  if (letter == std::string::npos) return false;
  // The amount runs up to the currency code: three characters from the
  // first letter.
  std::size_t end = letter;
  for (int i = 0; i < 3 && end < label.size(); ++i) DecodeUtf8At(label, end);
  source_amount = label.substr(kPrefix.size(), end - kPrefix.size());
  complementary_label = std::string(Utf8Prefix(std::string_view(label).substr(end), 50));
  return true;
}

}  // namespace ledgora
