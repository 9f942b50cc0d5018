#include "cli/book_check.h"

#include <cstring>
#include <unordered_map>
#include <unordered_set>

#include "foundation/cp1252.h"
#include "platform/files.h"
#include "storage/account_record.h"
#include "storage/book_header.h"
#include "storage/book_reader.h"
#include "storage/database.h"
#include "storage/operation_record.h"
#include "storage/record_buffer.h"
#include "storage/record_scanner.h"
#include "storage/storage_file_system.h"
#include "storage/xorvanet.h"

namespace ledgora::cli {
namespace {

constexpr std::array<TRecordType, kRecordTypeCount> kKinds = {
    TRecordType::Account,          TRecordType::Category,       TRecordType::Operation,
    TRecordType::SplitLine,        TRecordType::Periodic,       TRecordType::Association,
    TRecordType::SituationAccount, TRecordType::SituationValue, TRecordType::Project};

std::string Offset(std::uint64_t offset) {
  return std::to_string(offset);
}

class TChecker {
 public:
  TChecker(TBookReader& reader, TBookCheckReport& report, int version,
           std::optional<TScrambleKey> key, std::string name)
      : reader_(reader), report_(report), version_(version), key_(key), name_(std::move(name)) {}

  void Scan() {
    TRecordScanner scanner(reader_, version_, name_);
    TScannedRecord r;
    try {
      while (scanner.Next(r)) {
        if (r.Released()) {
          ++report_.released;
          continue;
        }
        ++report_.records[IndexOf(r.type)];
        live_[r.offset] = r.type;
      }
      report_.scan_complete = true;
      scanned_until_ = reader_.Size();
    } catch (const TXOrvanet&) {
      const std::uint64_t at = scanner.Position();
      scanned_until_ = at;
      std::uint8_t frame[3] = {};
      reader_.Read(at, frame, sizeof frame);
      char tag[8];
      std::snprintf(tag, sizeof tag, "0x%02X", frame[0]);
      Damage(at, std::string("enregistrement illisible (étiquette ") + tag + ", taille " +
                     std::to_string(frame[1] | frame[2] << 8) +
                     ") : la suite du fichier n'est pas parcourue dans l'ordre");
    }
  }

  void Chains(const TBookHeader& header) {
    auto head = [&](THeaderList list) { return header.list_heads[static_cast<std::size_t>(list)]; };
    Walk(TRecordType::Account, head(THeaderList::Accounts), "comptes",
         [&](TRecord& record, std::uint32_t, const TRecordFrame&) {
           auto& account = static_cast<TAccountRecord&>(record);
           Walk(TRecordType::Operation, account.first_operation,
                "opérations du compte " + account.name,
                [&](TRecord& r, std::uint32_t offset, const TRecordFrame&) {
                  Operation(static_cast<TOperationRecord&>(r), account, offset);
                });
         });
    WalkCategories(head(THeaderList::Categories), 0);
    Walk(TRecordType::Association, head(THeaderList::Associations), "associations", Nothing());
    Walk(TRecordType::SituationAccount, head(THeaderList::SituationAccounts),
         "comptes de la situation", Nothing());
    Walk(TRecordType::SituationValue, head(THeaderList::SituationValues), "valeurs de la situation",
         Nothing());
    if (version_ >= 24)
      Walk(TRecordType::Project, head(THeaderList::Projects), "projets", Nothing());
  }

  void FreeLists(const TBookHeader& header) {
    for (TRecordType type : kKinds) {
      if (type == TRecordType::Project && version_ < 24) continue;
      std::uint32_t offset = header.free_heads[IndexOf(type)];
      std::unordered_set<std::uint32_t> seen;
      const std::string what =
          "emplacements libres de type « " + std::string(KindLabel(type)) + " »";
      while (offset != 0) {
        if (!seen.insert(offset).second) {
          Damage(offset, what + " : la liste revient sur elle-même");
          break;
        }
        std::uint8_t frame[7];
        if (offset < HeaderSize(version_) || !reader_.Read(offset, frame, sizeof frame)) {
          Damage(offset, what + " : offset hors du fichier");
          break;
        }
        const std::uint16_t size = static_cast<std::uint16_t>(frame[1] | frame[2] << 8);
        if (frame[0] != kReleasedTag) {
          Damage(offset, what + " : l'emplacement n'est pas libéré (étiquette « " +
                             std::string(1, static_cast<char>(frame[0])) + " »)");
          break;
        }
        if (size != RecordSize(type)) {
          Damage(offset, what + " : taille " + std::to_string(size) + " au lieu de " +
                             std::to_string(RecordSize(type)));
          break;
        }
        offset = LoadU32(frame + 3);
      }
    }
  }

  // Only the records before an unreadable frame are known, and looked at.
  void Orphans() {
    std::array<std::size_t, kRecordTypeCount> count{};
    std::array<std::uint32_t, kRecordTypeCount> first{};
    for (const auto& [offset, type] : live_) {
      if (reached_.count(offset)) continue;
      const std::size_t i = IndexOf(type);
      if (count[i]++ == 0 || offset < first[i]) first[i] = offset;
    }
    for (TRecordType type : kKinds) {
      const std::size_t i = IndexOf(type);
      if (count[i] == 0) continue;
      Damage(first[i], std::to_string(count[i]) + " enregistrement(s) de type « " +
                           std::string(KindLabel(type)) +
                           " » hors de toute chaîne (la reconstruction les retrouve)");
    }
  }

  void Counters(const TBookHeader& header) {
    for (TRecordType type : kKinds) {
      const std::size_t i = IndexOf(type);
      if (max_id_[i] > header.counters[i]) {
        report_.notes.push_back("le compteur des " + std::string(KindLabel(type)) + " (" +
                                std::to_string(header.counters[i]) + ") est sous l'identifiant " +
                                std::to_string(max_id_[i]) + " : l'ouverture le corrige");
      }
    }
  }

 private:
  struct Nothing {
    void operator()(TRecord&, std::uint32_t, const TRecordFrame&) const {}
  };

  void Damage(std::uint64_t offset, std::string text) {
    report_.damages.push_back({offset, std::move(text)});
  }

  template <class F>
  void Walk(TRecordType type, std::uint32_t head, const std::string& what, F&& visit) {
    std::uint32_t offset = head;
    while (offset != 0) {
      if (!reached_.insert(offset).second) {
        Damage(offset, "chaîne des " + what + " : l'enregistrement à l'offset " + Offset(offset) +
                           " est déjà dans une chaîne (boucle ou chaînes croisées)");
        return;
      }
      if (offset < scanned_until_) {
        const auto it = live_.find(offset);
        if (it == live_.end() || it->second != type) {
          Damage(offset, "chaîne des " + what + " : l'offset " + Offset(offset) +
                             " ne désigne pas un enregistrement de type « " +
                             std::string(KindLabel(type)) + " »");
          return;
        }
      }
      TRecordFrame frame;
      std::unique_ptr<TRecord> record;
      try {
        record = ReadRecordAt(reader_, offset, type, version_, key_, frame, name_);
      } catch (const TXOrvanet&) {
        Damage(offset,
               "chaîne des " + what + " : enregistrement abîmé à l'offset " + Offset(offset));
        return;
      }
      const std::size_t i = IndexOf(type);
      if (!ids_[i].insert(record->id).second) {
        Damage(offset, "identifiant " + std::to_string(record->id) + " en double parmi les " +
                           std::string(KindLabel(type)));
      }
      max_id_[i] = std::max(max_id_[i], record->id);
      visit(*record, offset, frame);
      offset = frame.next;
    }
  }

  void WalkCategories(std::uint32_t head, int depth) {
    Walk(TRecordType::Category, head, depth == 0 ? "catégories" : "sous-catégories",
         [&](TRecord&, std::uint32_t offset, const TRecordFrame& frame) {
           if (frame.sub == 0) return;
           if (depth >= 1) {
             Damage(offset, "une sous-catégorie a elle-même des sous-catégories");
             return;
           }
           WalkCategories(frame.sub, depth + 1);
         });
  }

  void Operation(TOperationRecord& op, const TAccountRecord& account, std::uint32_t offset) {
    if (op.account != account.id) {
      Damage(offset, "l'opération " + std::to_string(op.id) + " de la chaîne du compte " +
                         account.name + " appartient au compte " + std::to_string(op.account));
    }
    if (op.first_split != 0) {
      Walk(TRecordType::SplitLine, op.first_split,
           "lignes de ventilation de l'opération " + std::to_string(op.id), Nothing());
    }
    if (op.periodic != 0 && schedules_.insert(op.periodic).second) {
      Walk(TRecordType::Periodic, op.periodic,
           "périodicités (opération " + std::to_string(op.id) + ")", Nothing());
    }
  }

  TBookReader& reader_;
  TBookCheckReport& report_;
  int version_;
  std::optional<TScrambleKey> key_;
  std::string name_;
  std::unordered_map<std::uint32_t, TRecordType> live_;
  // The records before this offset are known from the walk in file order.
  std::uint64_t scanned_until_ = 0;
  std::unordered_set<std::uint32_t> reached_;
  std::unordered_set<std::uint32_t> schedules_;
  std::array<std::unordered_set<std::uint32_t>, kRecordTypeCount> ids_;
  std::array<std::uint32_t, kRecordTypeCount> max_id_{};
};

}  // namespace

std::string_view KindKey(TRecordType type) {
  switch (type) {
    case TRecordType::Account:
      return "accounts";
    case TRecordType::Category:
      return "categories";
    case TRecordType::Operation:
      return "operations";
    case TRecordType::SplitLine:
      return "split_lines";
    case TRecordType::Periodic:
      return "schedules";
    case TRecordType::Association:
      return "associations";
    case TRecordType::SituationAccount:
      return "situation_accounts";
    case TRecordType::SituationValue:
      return "situation_values";
    case TRecordType::Project:
      return "projects";
  }
  return "?";
}

std::string_view KindLabel(TRecordType type) {
  switch (type) {
    case TRecordType::Account:
      return "comptes";
    case TRecordType::Category:
      return "catégories";
    case TRecordType::Operation:
      return "opérations";
    case TRecordType::SplitLine:
      return "lignes de ventilation";
    case TRecordType::Periodic:
      return "périodicités";
    case TRecordType::Association:
      return "associations";
    case TRecordType::SituationAccount:
      return "comptes de la situation";
    case TRecordType::SituationValue:
      return "valeurs de la situation";
    case TRecordType::Project:
      return "projets";
  }
  return "?";
}

TBookCheckReport CheckBookFile(const std::string& path, TUserPort& port) {
  TBookCheckReport report;
  report.path = path;
  const std::string name = platform::BaseName(path);
  std::unique_ptr<TStorageFile> file;
  try {
    file = SystemFileSystem().Open(path, TOpenMode::Read);
  } catch (const TFileError& e) {
    throw TXOrvanet(kOrvFileUnavailable, name, e.Error());
  }
  TBookReader reader(*file);
  report.size = reader.Size();

  // 1. The header.
  std::uint8_t start[14] = {};
  if (!reader.Read(0, start, sizeof start)) {
    report.damages.push_back({0, "fichier trop court pour un en-tête de livre de comptes"});
    return report;
  }
  char signature[10] = {};
  std::memcpy(signature, start + 4, 9);
  for (const auto& [text, code] :
       {std::pair{"KPLXTRAI", kOrvKestrelBook}, std::pair{"LEDPRO", kOrvKestrelDatabase},
        std::pair{"ORVASS", kOrvAssociationBook}}) {
    if (std::strcmp(signature, text) == 0) {
      report.damages.push_back({4, OrvanetMessage(code, name)});
      return report;
    }
  }
  if (std::string_view(signature) != kBookSignature) {
    report.damages.push_back(
        {4, "signature « " + std::string(signature) +
                " » au lieu de « LEDGOR » (la reconstruction refuse ce fichier)"});
  }
  report.dirty = LoadU32(start) != 0;
  if (report.dirty) {
    report.damages.push_back(
        {0, "indicateur d'écriture levé : le livre a été laissé au milieu d'un changement"});
  }
  report.version = start[13];
  if (report.version < kOldestVersion) {
    report.damages.push_back(
        {13, OrvanetMessage(kOrvVersionTooOld, name, report.version, kCurrentVersion)});
    return report;
  }
  if (report.version > kCurrentVersion) {
    report.damages.push_back({13, OrvanetMessage(kOrvVersionTooNew, name)});
    return report;
  }
  if (report.version < kCurrentVersion) {
    report.notes.push_back("version " + std::to_string(report.version) +
                           " : le livre doit être converti (reconstruction)");
  }
  std::vector<std::uint8_t> bytes(HeaderSize(report.version));
  if (!reader.Read(0, bytes.data(), bytes.size())) {
    report.damages.push_back({0, "en-tête coupé par la fin du fichier"});
    return report;
  }
  const TBookHeader header = DecodeHeader(bytes.data(), report.version);
  report.password = header.password_flag != 0 && !header.password.empty();
  std::optional<TScrambleKey> key;
  if (report.password) {
    AskBookPassword(port, header.password, path);
    key = MakeScrambleKey(Utf8ToCp1252(header.password));
  }

  // 2 to 5.
  TChecker checker(reader, report, report.version, key, name);
  checker.Scan();
  checker.Chains(header);
  checker.FreeLists(header);
  checker.Orphans();
  checker.Counters(header);
  return report;
}

}  // namespace ledgora::cli
