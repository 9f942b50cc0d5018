#include "storage/database.h"

#include <cerrno>
#include <cstring>
#include <set>
#include <stdexcept>

#include "foundation/cp1252.h"
#include "platform/configuration.h"
#include "platform/files.h"
#include "storage/book_reader.h"
#include "storage/record_scanner.h"
#include "storage/records.h"
#include "storage/xorvanet.h"

namespace ledgora {
namespace {

constexpr std::size_t Slot(THeaderList list) {
  return static_cast<std::size_t>(list);
}

// The longest chain of a kind that a file of this size can hold.
std::uint64_t MaxChainLength(std::uint64_t file_size, TRecordType type) {
  return file_size / RecordSize(type) + 1;
}

std::uint32_t MaxId(const TRecordList& list) {
  std::uint32_t max = 0;
  for (TRecordNode* n = list.Head(); n; n = n->Next()) {
    max = std::max(max, n->Record().id);
    if (list.Type() == TRecordType::Category) {
      if (const TRecordList* subs = n->As<TCategoryRecord>().SubCategoriesIfAny()) {
        max = std::max(max, MaxId(*subs));
      }
    }
  }
  return max;
}

}  // namespace

TDatabase::TDatabase(const std::string& path, TUserPort& port, TStorageFileSystem& files)
    : TDatabaseFile(path, port, files) {}

TDatabase::TDatabase(TWorkFile work, TUserPort& port, TStorageFileSystem& files)
    : TDatabaseFile(std::move(work), port, files) {}

TDatabase::~TDatabase() {
  undo_recorder_.reset();
  if (pre_download_copy_taken_) {
    try {
      Files().Remove(PreDownloadCopyPath());
    } catch (const std::exception&) {
      // Destruction never fails; a copy left behind is deleted with the next book.
    }
  }
}

std::string TDatabase::PreDownloadCopyPath() {
  return platform::JoinPath(platform::Configuration().books_folder,
                            std::string(kPreDownloadCopyName));
}

void TDatabase::RequireOpen() const {
  if (!opened_ || closed_) throw std::logic_error("the book is not open");
}

template <class F>
decltype(auto) TDatabase::RunChange(F&& body) {
  RequireOpen();
  try {
    TWritePhase phase(*this);
    return body();
  } catch (const TFileError& e) {
    // The phase was abandoned on the way out: a write failed inside it.
    throw TXOrvanet(kOrvDamaged, WorkingCopyPath(), e.Error());
  }
}

void TDatabase::ClearLists() {
  current_account_ = nullptr;
  wrapped_ = {};
  for (auto& ids : in_use_) ids.reset();
  accounts_.Clear();
  categories_.Clear();
  projects_.Clear();
  associations_.reset();
  situation_accounts_.reset();
  situation_values_.reset();
}

// --- Opening ---------------------------------------------------------------------

void AskBookPassword(TUserPort& port, const std::string& password, const std::string& book_path) {
  TTextRequest request;
  request.kind = TTextRequest::Kind::Password;
  request.caption = "Mot de passe";
  request.prompt = "Mot de passe :";
  request.max_chars = 8;
  request.upper_case = true;
  for (;;) {
    const std::optional<std::string> typed = port.AskText(request);
    if (!typed) throw TXOrvanet(kOrvNoPassword, book_path);
    if (TDatabaseFile::PasswordMatches(password, *typed)) return;
    port.Show("Mot de passe non valide !", TIcon::Stop);
  }
}

void TDatabase::AskPassword() {
  AskBookPassword(Port(), Password(), BookPath());
}

void TDatabase::Open(bool ask_password) {
  if (InWritePhase()) throw std::logic_error("Open inside a write phase");
  ClearLists();
  opened_ = closed_ = false;
  std::unique_ptr<TStorageFile> file;
  try {
    file = Files().Open(WorkingCopyPath(), TOpenMode::Read);
  } catch (const TFileError& e) {
    throw TXOrvanet(kOrvFileUnavailable, WorkingCopyPath(), e.Error());
  }
  std::optional<TWaitCursor> wait;  // from step 8 to the end of the post-load pass
  try {
    TBookReader reader(*file);
    ReadBook(reader, ask_password, wait);
  } catch (const TFileError& e) {
    ClearLists();
    throw TXOrvanet(kOrvDamaged, BookPath(), e.Error());
  } catch (...) {
    ClearLists();
    throw;
  }
  file.reset();

  // Step 11: the post-load pass.
  opened_ = true;
  hooks_->MakeBrushes(*this);
  for (TAccountRecord& account : accounts_.Records<TAccountRecord>()) ComputeBalance(account);
  hooks_->CreateDuePeriodicOperations(*this);
  hooks_->RefreshCounterValues(*this);
  current_account_ = accounts_.Head() ? &accounts_.Head()->As<TAccountRecord>() : nullptr;
}

void TDatabase::ReadBook(TBookReader& reader, bool ask_password, std::optional<TWaitCursor>& wait) {
  std::uint8_t head[kHeaderSize] = {};
  const auto need = [&](std::size_t n) {
    if (!reader.Read(0, head, n)) throw TXOrvanet(kOrvDamaged, BookPath());
  };
  // Step 2: dirty flag and signature.
  need(13);
  // Step 3: the maker's other products.
  const std::string signature = LoadText(head + 4, 9);
  if (signature == "KPLXTRAI") throw TXOrvanet(kOrvKestrelBook, BookPath());
  if (signature == "LEDPRO") throw TXOrvanet(kOrvKestrelDatabase, BookPath());
  if (signature == "ORVASS") throw TXOrvanet(kOrvAssociationBook, BookPath());
  // Step 4: left inside a change.
  if (LoadU32(head) != 0) throw TXOrvanet(kOrvLeftOpen, BookPath());
  // Step 5: versions.
  need(14);
  const int version = head[13];
  if (version < kOldestVersion) {
    throw TXOrvanet::VersionTooOld(BookPath(), version, kCurrentVersion);
  }
  if (version > kCurrentVersion) throw TXOrvanet(kOrvVersionTooNew, BookPath());
  if (version <= 10) throw TXOrvanet(kOrvMustConvert, BookPath());
  // Step 6: the password, and the scrambling it gives.
  need(27);
  SetPasswordFields(LoadU32(head + 14), Cp1252ToUtf8(UnscramblePasswordField(head + 18)));
  password_typed_ = !HasPassword();
  if (HasPassword() && ask_password) {
    AskPassword();
    password_typed_ = true;
  }
  const std::string key = HasPassword() ? Password() : std::string();
  SetReadKey(key);
  SetWriteKey(key);
  // Step 7: an older book must be converted (rebuilt) first.
  if (version < kCurrentVersion) throw TXOrvanet(kOrvMustConvert, BookPath());
  // Step 8: the rest of the header.
  wait.emplace(Port());
  need(kHeaderSize);
  header_ = DecodeHeader(head, version);
  book_version_ = version;

  // A record belongs to one chain: one seen bit per byte of the file catches
  // loops and chains that run into each other, and bounds the whole load.
  std::vector<bool> seen(static_cast<std::size_t>(reader.Size()));
  // Step 9: the accounts and their operations.
  LoadChain(reader, &seen, accounts_, header_.list_heads[Slot(THeaderList::Accounts)], 0, 0);
  std::uint32_t max_operation = 0;
  for (TAccountRecord& account : accounts_.Records<TAccountRecord>()) {
    LoadChain(reader, &seen, account.Operations(), account.first_operation, 0, 0);
    max_operation = std::max(max_operation, MaxId(account.Operations()));
    current_account_ = &account;
    ComputeBalance(account);
  }
  // Step 10: the categories with their sub-categories, the projects.
  LoadChain(reader, &seen, categories_, header_.list_heads[Slot(THeaderList::Categories)], 0, 0);
  LoadChain(reader, &seen, projects_, header_.list_heads[Slot(THeaderList::Projects)], 0, 0);
  RepairCounter(TRecordType::Account, MaxId(accounts_));
  RepairCounter(TRecordType::Operation, max_operation);
  RepairCounter(TRecordType::Category, MaxId(categories_));
  RepairCounter(TRecordType::Project, MaxId(projects_));
}

void TDatabase::RepairCounter(TRecordType type, std::uint32_t max_id) {
  // A counter below an identifier in use would hand that identifier out
  // again. 4294967295 in use means the numbering went round: raising the
  // counter there would give 1 next, which older records may hold.
  std::uint32_t& counter = header_.counters[IndexOf(type)];
  if (max_id <= counter) return;
  if (max_id == 0xFFFFFFFFu) {
    wrapped_[IndexOf(type)] = true;
  } else {
    counter = max_id;
  }
}

const std::unordered_set<std::uint32_t>& TDatabase::IdentifiersInUse(TRecordType type) {
  std::unique_ptr<std::unordered_set<std::uint32_t>>& known = in_use_[IndexOf(type)];
  if (known) return *known;
  // Every live record of the kind in the file, chained or not: a record
  // that a crash left unlinked still holds its identifier.
  auto ids = std::make_unique<std::unordered_set<std::uint32_t>>();
  WithReader([&](TBookReader& reader) {
    TRecordScanner scanner(reader, 0, BookPath());
    TScannedRecord r;
    while (scanner.Next(r)) {
      if (r.Released() || r.type != type) continue;
      TRecordBuffer id(4);
      if (!reader.Read(r.offset + FrameSize(type), id.Data(), 4)) {
        throw TXOrvanet(kOrvDamaged, BookPath());
      }
      if (ReadKey()) id.Unscramble(*ReadKey());
      ids->insert(id.GetU32());
    }
  });
  known = std::move(ids);
  return *known;
}

void TDatabase::LoadChain(TBookReader& reader, std::vector<bool>* seen, TRecordList& list,
                          std::uint32_t head, int version, int depth) {
  const TRecordType type = list.Type();
  const std::uint64_t limit = MaxChainLength(reader.Size(), type);
  std::uint64_t count = 0;
  for (std::uint32_t offset = head; offset != 0;) {
    // A chain is bounded by the file: a loop or a jump outside it is damage.
    if (++count > limit || offset >= reader.Size()) throw TXOrvanet(kOrvDamaged, BookPath());
    if (seen) {
      if ((*seen)[offset]) throw TXOrvanet(kOrvDamaged, BookPath());
      (*seen)[offset] = true;
    }
    TRecordFrame frame;
    TRecordNode& node = list.Append(
        ReadRecordAt(reader, offset, type, version, ReadKey(), frame, BookPath()), offset);
    if (type == TRecordType::Category) {
      auto& category = node.As<TCategoryRecord>();
      category.first_subcategory = frame.sub;
      if (frame.sub != 0) {
        // Two levels: a sub-category has no sub-categories.
        if (depth > 0) throw TXOrvanet(kOrvDamaged, BookPath());
        LoadChain(reader, seen, category.SubCategories(), frame.sub, version, depth + 1);
      }
    }
    offset = frame.next;
  }
}

template <class F>
void TDatabase::WithReader(F&& read) {
  try {
    if (InWritePhase()) {
      TBookReader reader(PhaseFile(), /*whole_file=*/false);
      read(reader);
      return;
    }
    std::unique_ptr<TStorageFile> file;
    try {
      file = Files().Open(WorkingCopyPath(), TOpenMode::Read);
    } catch (const TFileError& e) {
      throw TXOrvanet(kOrvFileUnavailable, WorkingCopyPath(), e.Error());
    }
    TBookReader reader(*file, /*whole_file=*/false);
    read(reader);
  } catch (const TFileError& e) {
    throw TXOrvanet(kOrvDamaged, BookPath(), e.Error());
  }
}

void TDatabase::ResolveCategory(std::uint32_t& category) const {
  if (category != 0 && !FindCategory(category)) category = 0;
}

std::unique_ptr<TRecordList> TDatabase::LoadHeaderList(TRecordType type, THeaderList slot) {
  RequireOpen();
  auto list = std::make_unique<TRecordList>(type);
  const std::uint32_t head = header_.list_heads[Slot(slot)];
  if (head != 0) {
    WithReader([&](TBookReader& reader) { LoadChain(reader, nullptr, *list, head, 0, 0); });
  }
  RepairCounter(type, MaxId(*list));
  if (type == TRecordType::Association) {
    for (TAssociationRecord& a : list->Records<TAssociationRecord>()) ResolveCategory(a.category);
  }
  return list;
}

TRecordList& TDatabase::LoadAssociations() {
  if (!associations_)
    associations_ = LoadHeaderList(TRecordType::Association, THeaderList::Associations);
  return *associations_;
}

TRecordList& TDatabase::LoadSituationAccounts() {
  if (!situation_accounts_) {
    situation_accounts_ =
        LoadHeaderList(TRecordType::SituationAccount, THeaderList::SituationAccounts);
  }
  return *situation_accounts_;
}

TRecordList& TDatabase::LoadSituationValues() {
  if (!situation_values_) {
    situation_values_ = LoadHeaderList(TRecordType::SituationValue, THeaderList::SituationValues);
  }
  return *situation_values_;
}

void TDatabase::DropAssociations() {
  if (associations_)
    header_.list_heads[Slot(THeaderList::Associations)] = associations_->HeadOffset();
  associations_.reset();
}

void TDatabase::DropSituationAccounts() {
  if (situation_accounts_) {
    header_.list_heads[Slot(THeaderList::SituationAccounts)] = situation_accounts_->HeadOffset();
  }
  situation_accounts_.reset();
}

void TDatabase::DropSituationValues() {
  if (situation_values_) {
    header_.list_heads[Slot(THeaderList::SituationValues)] = situation_values_->HeadOffset();
  }
  situation_values_.reset();
}

TRecordList& TDatabase::LoadSplitLines(TOperationRecord& op) {
  RequireOpen();
  NodeIn(op, TRecordType::Operation);
  if (TRecordList* lines = op.SplitLines()) return *lines;
  TRecordList& lines = op.MakeSplitLines();
  try {
    if (op.kind == kOpSplit && op.first_split != 0) {
      WithReader(
          [&](TBookReader& reader) { LoadChain(reader, nullptr, lines, op.first_split, 0, 0); });
    }
    RepairCounter(TRecordType::SplitLine, MaxId(lines));
  } catch (...) {
    op.DropSplitLines();
    throw;
  }
  for (TSplitLineRecord& line : lines.Records<TSplitLineRecord>()) ResolveCategory(line.category);
  return lines;
}

std::unique_ptr<TPeriodicRecord> TDatabase::ReadSchedule(const TOperationRecord& op) {
  RequireOpen();
  if (op.periodic == 0) return nullptr;
  std::unique_ptr<TRecord> record;
  WithReader([&](TBookReader& reader) {
    TRecordFrame frame;
    record =
        ReadRecordAt(reader, op.periodic, TRecordType::Periodic, 0, ReadKey(), frame, BookPath());
  });
  RepairCounter(TRecordType::Periodic, record->id);
  return std::unique_ptr<TPeriodicRecord>(static_cast<TPeriodicRecord*>(record.release()));
}

void TDatabase::CreateEmptyBook() {
  if (InWritePhase()) throw std::logic_error("CreateEmptyBook inside a write phase");
  ClearLists();
  // Settings and counters stay (a new book has the defaults, a copy those of
  // its source); there are no records, so no free slots and no chains.
  header_.free_heads = {};
  header_.list_heads = {};
  associations_ = std::make_unique<TRecordList>(TRecordType::Association);
  situation_accounts_ = std::make_unique<TRecordList>(TRecordType::SituationAccount);
  situation_values_ = std::make_unique<TRecordList>(TRecordType::SituationValue);
  TBookHeader h = CurrentHeader();
  h.dirty = 0;
  const auto bytes = EncodeHeader(h);
  try {
    auto file = Files().Open(WorkingCopyPath(), TOpenMode::Create);
    file->WriteAt(0, bytes.data(), bytes.size());
    if (Durable()) file->Sync();
  } catch (const TFileError& e) {
    throw TXOrvanet(kOrvCannotCreate, WorkingCopyPath(), e.Error());
  }
  ResetDirtyCache(0);
  SetReadKey(HasPassword() ? Password() : std::string());
  SetWriteKey(HasPassword() ? Password() : std::string());
  book_version_ = kCurrentVersion;
  opened_ = true;
  closed_ = false;
  modified_ = true;
  password_typed_ = true;
}

// --- Saving and closing -------------------------------------------------------------

bool TDatabase::Save() {
  if (InWritePhase() || Failed() || BookPath().empty()) return false;
  if (DirtyFlag() != 0) {
    try {
      SetDirtyFlag(0);
    } catch (const TXOrvanet&) {
      return false;
    }
  }
  const platform::TFileResult copied = Files().Copy(WorkingCopyPath(), BookPath(), true);
  if (!copied) {
    if (copied.error == EROFS) {
      Port().Show("Sauvegarde du livre de comptes impossible !\nLe disque est protégé en écriture.",
                  TIcon::Exclamation);
    }
    return false;
  }
  modified_ = false;
  return true;
}

bool TDatabase::Close() {
  if (closed_) return true;
  if (InWritePhase() || Failed() || BookPath().empty()) return false;
  if (modified_ && opened_) {
    TBookSettings& s = header_.settings;
    if (s.backup_countdown > 0) --s.backup_countdown;
    try {
      SaveHeader();
    } catch (const TXOrvanet&) {
      // Nothing written (the working copy could not be opened): the book is
      // still replaced below; a header half written marks the book failed.
      if (Failed()) return false;
    }
  }
  if (DirtyFlag() != 0) {
    try {
      SetDirtyFlag(0);
    } catch (const TXOrvanet&) {
      return false;
    }
  }
  // The book is replaced by a renamed copy, never deleted first: at no moment
  // is it missing, and the working copy goes only once the book is in place.
  if (!Files().Copy(WorkingCopyPath(), BookPath(), true)) return false;
  Files().Remove(WorkingCopyPath());
  modified_ = false;
  closed_ = true;
  return true;
}

// --- Header ------------------------------------------------------------------------------

TBookHeader TDatabase::CurrentHeader() const {
  TBookHeader h = header_;
  h.dirty = DirtyFlag();
  h.password_flag = PasswordFlag();
  h.password = Password();
  h.list_heads[Slot(THeaderList::Accounts)] = accounts_.HeadOffset();
  h.list_heads[Slot(THeaderList::Categories)] = categories_.HeadOffset();
  h.list_heads[Slot(THeaderList::Projects)] = projects_.HeadOffset();
  if (associations_) h.list_heads[Slot(THeaderList::Associations)] = associations_->HeadOffset();
  if (situation_accounts_) {
    h.list_heads[Slot(THeaderList::SituationAccounts)] = situation_accounts_->HeadOffset();
  }
  if (situation_values_) {
    h.list_heads[Slot(THeaderList::SituationValues)] = situation_values_->HeadOffset();
  }
  return h;
}

void TDatabase::WriteHeader(TStorageFile& file) {
  const auto bytes = EncodeHeader(CurrentHeader());
  if (InWritePhase() && &file == &PhaseFile()) {
    PhaseWrite(4, bytes.data() + 4, bytes.size() - 4);
  } else {
    file.WriteAt(4, bytes.data() + 4, bytes.size() - 4);
  }
  modified_ = true;
}

void TDatabase::AdoptHeader(const TBookHeader& header) {
  header_.settings = header.settings;
  header_.counters = header.counters;
  SetPasswordFields(header.password_flag, header.password);
}

void TDatabase::SaveHeader() {
  RunChange([&] { WriteHeader(PhaseFile()); });
}

// --- The common steps of a change -----------------------------------------------------

bool TDatabase::OwnsList(const TRecordList& list) const {
  if (const TRecord* owner = list.Owner()) {
    return owner->Node() != nullptr && OwnsList(owner->Node()->List());
  }
  return &list == &accounts_ || &list == &categories_ || &list == &projects_ ||
         &list == associations_.get() || &list == situation_accounts_.get() ||
         &list == situation_values_.get();
}

TRecordNode& TDatabase::NodeIn(const TRecord& record, TRecordType type) const {
  TRecordNode* node = record.Node();
  if (record.Type() != type || !node || !OwnsList(node->List())) {
    throw std::invalid_argument("the record is not in this book");
  }
  return *node;
}

std::uint32_t TDatabase::NextIdentifier(TRecordType type) {
  const std::size_t i = IndexOf(type);
  // Nothing changes before the identifiers in use are known: walking the
  // file may fail, and the change then stops before it wrote anything.
  const std::unordered_set<std::uint32_t>* in_use = wrapped_[i] ? &IdentifiersInUse(type) : nullptr;
  std::uint32_t counter = header_.counters[i];
  for (;;) {
    if (++counter == 0) {
      counter = 1;  // a counter that would wrap to 0 gives 1
      if (!in_use) in_use = &IdentifiersInUse(type);
    }
    if (!in_use || !in_use->count(counter)) break;
  }
  header_.counters[i] = counter;
  if (in_use) wrapped_[i] = true;
  return counter;
}

TDatabase::TSlot TDatabase::FindSlot(TRecordType type) {
  TStorageFile& file = PhaseFile();
  const std::uint64_t file_size = file.Size();
  const std::size_t size = RecordSize(type);
  const std::uint32_t head = header_.free_heads[IndexOf(type)];
  if (head != 0) {
    std::uint8_t bytes[7];
    if (head < kHeaderSize || head + size > file_size || file.ReadAt(head, bytes, 7) != 7 ||
        bytes[0] != kReleasedTag || LoadU16(bytes + 1) != size) {
      throw TXOrvanet(kOrvDamaged, BookPath());
    }
    return {head, true, LoadU32(bytes + 3)};
  }
  // Offsets are 32-bit: a book cannot grow past 4 GiB.
  if (file_size + size > 0xFFFFFFFFull) throw TXOrvanet(kOrvCannotCreate, WorkingCopyPath());
  return {static_cast<std::uint32_t>(file_size), false, 0};
}

void TDatabase::TakeSlot(TRecordType type, const TSlot& slot) {
  if (slot.reused) header_.free_heads[IndexOf(type)] = slot.next_free;
}

void TDatabase::ReleaseSlot(TRecordType type, std::uint32_t offset) {
  std::uint32_t& free_head = header_.free_heads[IndexOf(type)];
  std::uint8_t bytes[7];
  bytes[0] = static_cast<std::uint8_t>(kReleasedTag);
  StoreU16(bytes + 1, static_cast<std::uint16_t>(RecordSize(type)));
  StoreU32(bytes + 3, free_head);
  PhaseWrite(offset, bytes, sizeof bytes);
  free_head = offset;
}

void TDatabase::WriteRecordAt(const TRecord& record, std::uint32_t offset, std::uint32_t next,
                              std::uint32_t sub) {
  const TRecordType type = record.Type();
  const std::size_t frame = FrameSize(type);
  const std::size_t payload = PayloadSize(type);
  std::uint8_t bytes[11 + kMaxPayloadSize];
  bytes[0] = static_cast<std::uint8_t>(TagOf(type));
  StoreU16(bytes + 1, static_cast<std::uint16_t>(RecordSize(type)));
  StoreU32(bytes + 3, next);
  if (frame == 11) StoreU32(bytes + 7, sub);
  TRecordBuffer buffer(payload);
  record.Write(buffer);
  if (WriteKey()) buffer.Scramble(*WriteKey());
  std::memcpy(bytes + frame, buffer.Data(), payload);
  // Frame and payload in one write.
  PhaseWrite(offset, bytes, frame + payload);
}

void TDatabase::WriteRecord(const TRecordNode& node) {
  const TRecord& record = node.Record();
  const std::uint32_t sub = record.Type() == TRecordType::Category
                                ? static_cast<const TCategoryRecord&>(record).first_subcategory
                                : 0;
  WriteRecordAt(record, node.Offset(), TRecordList::NextOffset(node), sub);
}

void TDatabase::PatchNext(const TRecordNode& node) {
  std::uint8_t bytes[4];
  StoreU32(bytes, TRecordList::NextOffset(node));
  PhaseWrite(node.Offset() + 3, bytes, sizeof bytes);
}

void TDatabase::HeadChanged(TRecordList& list) {
  TRecord* owner = list.Owner();
  if (!owner) return;  // in the header, which ends every change
  switch (owner->Type()) {
    case TRecordType::Account: {
      static_cast<TAccountRecord*>(owner)->first_operation = list.HeadOffset();
      WriteRecord(*owner->Node());
      break;
    }
    case TRecordType::Operation: {
      static_cast<TOperationRecord*>(owner)->first_split = list.HeadOffset();
      WriteRecord(*owner->Node());
      break;
    }
    case TRecordType::Category: {
      auto* category = static_cast<TCategoryRecord*>(owner);
      category->first_subcategory = list.HeadOffset();
      std::uint8_t bytes[4];
      StoreU32(bytes, category->first_subcategory);
      PhaseWrite(owner->Node()->Offset() + 7, bytes, sizeof bytes);
      break;
    }
    default:
      throw std::logic_error("a chain held by a record of this kind");
  }
}

TRecordNode& TDatabase::AddRecord(TRecordList& list, std::unique_ptr<TRecord> record) {
  const TRecordType type = list.Type();
  // Step 1: the place in the list's order.
  const TRecordList::TPlace place = list.PlaceOf(*record);
  // Step 4 first: a bad free slot stops the change before anything moved.
  const TSlot slot = FindSlot(type);
  // Step 2: the identifier.
  if (numbering_) record->id = NextIdentifier(type);
  if (in_use_[IndexOf(type)]) in_use_[IndexOf(type)]->insert(record->id);
  // Step 3: the node.
  TRecordNode& node = list.Insert(place, std::move(record), slot.offset);
  // Step 5: frame and payload.
  WriteRecord(node);
  TakeSlot(type, slot);
  // Step 6: the link from the predecessor, or the new head.
  if (node.Previous()) {
    PatchNext(*node.Previous());
  } else {
    HeadChanged(list);
  }
  return node;
}

std::unique_ptr<TRecord> TDatabase::ReleaseNode(TRecordNode& node) {
  TRecordList& list = node.List();
  const TRecordType type = list.Type();
  const std::uint32_t offset = node.Offset();
  TRecordNode* previous = node.Previous();
  std::unique_ptr<TRecord> record = list.Remove(node);
  if (previous) {
    PatchNext(*previous);
  } else {
    HeadChanged(list);
  }
  ReleaseSlot(type, offset);
  return record;
}

void TDatabase::ModifyNode(TRecordNode& node) {
  TRecordList& list = node.List();
  const TRecordList::TOldNeighbours old = list.Reposition(node);
  if (node.Previous() == old.previous) {
    WriteRecord(node);  // same place: only the record changes
    return;
  }
  if (old.previous) PatchNext(*old.previous);
  WriteRecord(node);
  if (node.Previous()) PatchNext(*node.Previous());
  if (!old.previous || !node.Previous()) HeadChanged(list);
}

void TDatabase::ReleaseChainAt(TRecordType type, std::uint32_t head, bool whole_chain) {
  TStorageFile& file = PhaseFile();
  const std::uint64_t file_size = file.Size();
  const std::uint64_t limit = MaxChainLength(file_size, type);
  std::uint64_t count = 0;
  for (std::uint32_t offset = head; offset != 0;) {
    std::uint8_t bytes[7];
    if (offset < kHeaderSize || offset + RecordSize(type) > file_size || ++count > limit ||
        file.ReadAt(offset, bytes, 7) != 7 || static_cast<char>(bytes[0]) != TagOf(type)) {
      throw TXOrvanet(kOrvDamaged, BookPath());
    }
    ReleaseSlot(type, offset);
    if (!whole_chain) break;
    offset = LoadU32(bytes + 3);
  }
}

void TDatabase::ReleaseSplitLinesOf(TOperationRecord& op) {
  if (TRecordList* lines = op.SplitLines()) {
    for (TRecordNode* n = lines->Head(); n; n = n->Next()) {
      ReleaseSlot(TRecordType::SplitLine, n->Offset());
    }
    op.DropSplitLines();
  } else if (op.first_split != 0) {
    ReleaseChainAt(TRecordType::SplitLine, op.first_split, true);
  }
  op.first_split = 0;
}

// --- Accounts ------------------------------------------------------------------------------

TAccountRecord* TDatabase::FindAccount(std::uint32_t id) const {
  TRecordNode* n = accounts_.FindById(id);
  return n ? &n->As<TAccountRecord>() : nullptr;
}

TAccountRecord& TDatabase::AddAccount(std::unique_ptr<TAccountRecord> account) {
  if (!account->Operations().Empty()) {
    throw std::invalid_argument("an account is added without operations");
  }
  account->first_operation = 0;
  TAccountRecord& added = RunChange([&]() -> TAccountRecord& {
    TRecordNode& node = AddRecord(accounts_, std::move(account));
    WriteHeader(PhaseFile());
    return node.As<TAccountRecord>();
  });
  Notify(TChangeKind::Added, added);
  return added;
}

void TDatabase::DeleteAccount(TAccountRecord& account) {
  std::unique_ptr<TRecord> record = RunChange([&] {
    TRecordNode& node = NodeIn(account, TRecordType::Account);
    std::set<std::uint32_t> released_schedules;
    for (TOperationRecord& op : account.Operations().Records<TOperationRecord>()) {
      if (op.kind == kOpSplit) ReleaseSplitLinesOf(op);
      if (op.periodic != 0 && !op.HasFlag(kOpPastOccurrence) &&
          !released_schedules.count(op.periodic) && !ScheduleUsedOutside(op.periodic, account)) {
        ReleaseChainAt(TRecordType::Periodic, op.periodic, false);
        released_schedules.insert(op.periodic);
      }
      ReleaseSlot(TRecordType::Operation, op.Node()->Offset());
    }
    account.Operations().Clear();
    account.first_operation = 0;
    if (current_account_ == &account) current_account_ = nullptr;
    std::unique_ptr<TRecord> released = ReleaseNode(node);
    WriteHeader(PhaseFile());
    return released;
  });
  Notify(TChangeKind::Deleted, *record);
  if (!current_account_ && accounts_.Head()) {
    current_account_ = &accounts_.Head()->As<TAccountRecord>();
  }
}

bool TDatabase::ScheduleUsedOutside(std::uint32_t schedule, const TAccountRecord& account) const {
  for (const TAccountRecord& other : accounts_.Records<TAccountRecord>()) {
    if (&other == &account) continue;
    for (TRecordNode* n = other.Operations().Head(); n; n = n->Next()) {
      if (n->As<TOperationRecord>().periodic == schedule) return true;
    }
  }
  return false;
}

void TDatabase::ModifyAccount(TAccountRecord& account) {
  RunChange([&] {
    TRecordNode& node = NodeIn(account, TRecordType::Account);
    account.first_operation = account.Operations().HeadOffset();
    ModifyNode(node);
    WriteHeader(PhaseFile());
  });
  Notify(TChangeKind::Modified, account);
}

// --- Operations ---------------------------------------------------------------------

TOperationRecord& TDatabase::AddOperation(TAccountRecord& account,
                                          std::unique_ptr<TOperationRecord> op) {
  TOperationRecord& added = RunChange([&]() -> TOperationRecord& {
    NodeIn(account, TRecordType::Account);
    op->account = account.id;
    op->first_split = 0;
    op->DropSplitLines();
    TRecordNode& node = AddRecord(account.Operations(), std::move(op));
    WriteHeader(PhaseFile());
    return node.As<TOperationRecord>();
  });
  Notify(TChangeKind::Added, added);
  return added;
}

void TDatabase::DeleteOperation(TOperationRecord& op) {
  std::unique_ptr<TRecord> record = RunChange([&] {
    TRecordNode& node = NodeIn(op, TRecordType::Operation);
    if (op.kind == kOpSplit) ReleaseSplitLinesOf(op);
    if (op.periodic != 0 && !op.HasFlag(kOpPastOccurrence)) {
      ReleaseChainAt(TRecordType::Periodic, op.periodic, false);
    }
    std::unique_ptr<TRecord> released = ReleaseNode(node);
    WriteHeader(PhaseFile());
    return released;
  });
  Notify(TChangeKind::Deleted, *record);
}

void TDatabase::ModifyOperation(TOperationRecord& op) {
  RunChange([&] {
    TRecordNode& node = NodeIn(op, TRecordType::Operation);
    if (const TRecordList* lines = op.SplitLines()) op.first_split = lines->HeadOffset();
    ModifyNode(node);
    WriteHeader(PhaseFile());
  });
  Notify(TChangeKind::Modified, op);
}

TAccountRecord& TDatabase::AccountOf(const TOperationRecord& op) const {
  TRecordNode& node = NodeIn(op, TRecordType::Operation);
  return *static_cast<TAccountRecord*>(node.List().Owner());
}

TOperationRecord* TDatabase::FindOperation(std::uint32_t id) const {
  for (TRecordNode* a = accounts_.Head(); a; a = a->Next()) {
    if (TRecordNode* n = a->As<TAccountRecord>().Operations().FindById(id)) {
      return &n->As<TOperationRecord>();
    }
  }
  return nullptr;
}

// --- Categories -------------------------------------------------------------------

TCategoryRecord* TDatabase::FindCategory(std::uint32_t id) const {
  for (TRecordNode* n = categories_.Head(); n; n = n->Next()) {
    auto& category = n->As<TCategoryRecord>();
    if (category.id == id) return &category;
    if (const TRecordList* subs = category.SubCategoriesIfAny()) {
      if (TRecordNode* s = subs->FindById(id)) return &s->As<TCategoryRecord>();
    }
  }
  return nullptr;
}

TCategoryRecord& TDatabase::AddCategory(std::unique_ptr<TCategoryRecord> category,
                                        TCategoryRecord* parent) {
  TCategoryRecord& added = RunChange([&]() -> TCategoryRecord& {
    TRecordList* list = &categories_;
    if (parent) {
      TRecordNode& parent_node = NodeIn(*parent, TRecordType::Category);
      if (&parent_node.List() != &categories_) {
        throw std::invalid_argument("a sub-category has no sub-categories");
      }
      list = &parent->SubCategories();
    }
    if (category->SubCategoriesIfAny() && !category->SubCategoriesIfAny()->Empty()) {
      throw std::invalid_argument("a category is added without sub-categories");
    }
    category->parent = parent ? parent->id : 0;
    category->first_subcategory = 0;
    TRecordNode& node = AddRecord(*list, std::move(category));
    WriteHeader(PhaseFile());
    return node.As<TCategoryRecord>();
  });
  Notify(TChangeKind::Added, added);
  return added;
}

void TDatabase::DeleteCategory(TCategoryRecord& category) {
  std::unique_ptr<TRecord> record = RunChange([&] {
    TRecordNode& node = NodeIn(category, TRecordType::Category);
    if (TRecordList* subs = const_cast<TRecordList*>(category.SubCategoriesIfAny())) {
      for (TRecordNode* n = subs->Head(); n; n = n->Next()) {
        ReleaseSlot(TRecordType::Category, n->Offset());
      }
      subs->Clear();
    }
    category.first_subcategory = 0;
    std::unique_ptr<TRecord> released = ReleaseNode(node);
    WriteHeader(PhaseFile());
    return released;
  });
  Notify(TChangeKind::Deleted, *record);
}

void TDatabase::ModifyCategory(TCategoryRecord& category) {
  RunChange([&] {
    TRecordNode& node = NodeIn(category, TRecordType::Category);
    if (const TRecordList* subs = category.SubCategoriesIfAny()) {
      category.first_subcategory = subs->HeadOffset();
    }
    ModifyNode(node);
    WriteHeader(PhaseFile());
  });
  Notify(TChangeKind::Modified, category);
}

// --- Lists whose head is in the header ---------------------------------------

TRecord& TDatabase::AddToHeaderList(TRecordList& list, std::unique_ptr<TRecord> record) {
  TRecord& added = RunChange([&]() -> TRecord& {
    TRecordNode& node = AddRecord(list, std::move(record));
    WriteHeader(PhaseFile());
    return node.Record();
  });
  Notify(TChangeKind::Added, added);
  return added;
}

void TDatabase::DeleteRecord(TRecord& record) {
  std::unique_ptr<TRecord> released = RunChange([&] {
    TRecordNode& node = NodeIn(record, record.Type());
    std::unique_ptr<TRecord> r = ReleaseNode(node);
    WriteHeader(PhaseFile());
    return r;
  });
  Notify(TChangeKind::Deleted, *released);
}

void TDatabase::ModifyRecord(TRecord& record) {
  RunChange([&] {
    ModifyNode(NodeIn(record, record.Type()));
    WriteHeader(PhaseFile());
  });
  Notify(TChangeKind::Modified, record);
}

TProjectRecord* TDatabase::FindProject(std::uint32_t id) const {
  TRecordNode* n = projects_.FindById(id);
  return n ? &n->As<TProjectRecord>() : nullptr;
}

TProjectRecord& TDatabase::AddProject(std::unique_ptr<TProjectRecord> project) {
  return static_cast<TProjectRecord&>(AddToHeaderList(projects_, std::move(project)));
}
void TDatabase::DeleteProject(TProjectRecord& project) {
  DeleteRecord(project);
}
void TDatabase::ModifyProject(TProjectRecord& project) {
  ModifyRecord(project);
}

TAssociationRecord& TDatabase::AddAssociation(std::unique_ptr<TAssociationRecord> association) {
  TRecordList& list = LoadAssociations();
  return static_cast<TAssociationRecord&>(AddToHeaderList(list, std::move(association)));
}
void TDatabase::DeleteAssociation(TAssociationRecord& association) {
  DeleteRecord(association);
}
void TDatabase::ModifyAssociation(TAssociationRecord& association) {
  ModifyRecord(association);
}

TSituationAccountRecord& TDatabase::AddSituationAccount(
    std::unique_ptr<TSituationAccountRecord> account) {
  TRecordList& list = LoadSituationAccounts();
  return static_cast<TSituationAccountRecord&>(AddToHeaderList(list, std::move(account)));
}
void TDatabase::DeleteSituationAccount(TSituationAccountRecord& account) {
  DeleteRecord(account);
}
void TDatabase::ModifySituationAccount(TSituationAccountRecord& account) {
  ModifyRecord(account);
}

TSituationValueRecord& TDatabase::AddSituationValue(std::unique_ptr<TSituationValueRecord> value) {
  TRecordList& list = LoadSituationValues();
  return static_cast<TSituationValueRecord&>(AddToHeaderList(list, std::move(value)));
}
void TDatabase::DeleteSituationValue(TSituationValueRecord& value) {
  DeleteRecord(value);
}
void TDatabase::ModifySituationValue(TSituationValueRecord& value) {
  ModifyRecord(value);
}

// --- Split lines and schedules -------------------------------------------------------

TSplitLineRecord& TDatabase::AddSplitLine(TOperationRecord& op,
                                          std::unique_ptr<TSplitLineRecord> line) {
  TSplitLineRecord& added = RunChange([&]() -> TSplitLineRecord& {
    TRecordList& lines = LoadSplitLines(op);
    line->operation = op.id;
    TRecordNode& node = AddRecord(lines, std::move(line));
    WriteHeader(PhaseFile());
    return node.As<TSplitLineRecord>();
  });
  Notify(TChangeKind::Added, added);
  return added;
}

void TDatabase::DeleteSplitLine(TSplitLineRecord& line) {
  DeleteRecord(line);
}
void TDatabase::ModifySplitLine(TSplitLineRecord& line) {
  ModifyRecord(line);
}

void TDatabase::ReplaceSchedule(TOperationRecord& op, std::unique_ptr<TPeriodicRecord> schedule) {
  RunChange([&] {
    TRecordNode& node = NodeIn(op, TRecordType::Operation);
    if (op.periodic != 0) ReleaseChainAt(TRecordType::Periodic, op.periodic, false);
    if (schedule) {
      op.periodic = WriteSchedule(*schedule);
    } else {
      op.periodic = 0;
    }
    if (const TRecordList* lines = op.SplitLines()) op.first_split = lines->HeadOffset();
    ModifyNode(node);
    WriteHeader(PhaseFile());
  });
  Notify(TChangeKind::Modified, op);
}

std::uint32_t TDatabase::WriteSchedule(TPeriodicRecord& schedule) {
  const TSlot slot = FindSlot(TRecordType::Periodic);
  if (numbering_) schedule.id = NextIdentifier(TRecordType::Periodic);
  if (in_use_[IndexOf(TRecordType::Periodic)]) {
    in_use_[IndexOf(TRecordType::Periodic)]->insert(schedule.id);
  }
  WriteRecordAt(schedule, slot.offset, 0, 0);
  TakeSlot(TRecordType::Periodic, slot);
  return slot.offset;
}

std::uint32_t TDatabase::AddSchedule(std::unique_ptr<TPeriodicRecord> schedule) {
  return RunChange([&] {
    const std::uint32_t offset = WriteSchedule(*schedule);
    WriteHeader(PhaseFile());
    return offset;
  });
}

}  // namespace ledgora
