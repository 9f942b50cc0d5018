#include "demo/demo_book.h"

#include <cmath>
#include <cstdint>
#include <map>
#include <memory>
#include <stdexcept>

#include "foundation/amount.h"
#include "foundation/kdate.h"
#include "platform/files.h"
#include "storage/book_profile.h"
#include "storage/database.h"

namespace ledgora {
namespace {

// A small generator of our own: the standard distributions differ between
// libraries, and the demo must be the same book everywhere.
class TDemoRandom {
 public:
  explicit TDemoRandom(std::uint64_t seed) : state_(seed ? seed : 0x9E3779B97F4A7C15ull) {}
  std::uint64_t Next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 7;
    state_ ^= state_ << 17;
    return state_;
  }
  // In [low, high], both included.
  int Between(int low, int high) {
    return low + static_cast<int>(Next() % static_cast<std::uint64_t>(high - low + 1));
  }
  // An amount in [low, high] euros, in cents.
  double Amount(double low, double high) {
    const int cents = Between(static_cast<int>(std::lround(low * 100)),
                              static_cast<int>(std::lround(high * 100)));
    return cents / 100.0;
  }
  bool Chance(int percent) { return Between(1, 100) <= percent; }

 private:
  std::uint64_t state_;
};

double Cents(double amount) {
  return std::round(amount * 100.0) / 100.0;
}

class TDemoWriter {
 public:
  TDemoWriter(TDatabase& db, KDate today) : db_(db), today_(today), random_(today.DayNumber()) {}

  void Write() {
    MakeCategories();
    MakeAccounts();
    MakeProject();
    MakeOperations();
  }

 private:
  // --- Categories -----------------------------------------------------------

  void MakeCategories() {
    struct TTree {
      const char* name;
      std::uint32_t debit;
      std::vector<const char*> subs;
    };
    const std::vector<TTree> trees = {
        {"Alimentation", 1, {"Supermarché", "Boulangerie", "Marché", "Restaurant"}},
        {"Logement", 1, {"Loyer", "Électricité", "Eau", "Assurance habitation", "Ameublement"}},
        {"Transport", 1, {"Carburant", "Entretien véhicule", "Péage", "Train"}},
        {"Santé", 1, {"Médecin", "Pharmacie", "Mutuelle"}},
        {"Loisirs", 1, {"Sorties", "Vacances", "Sport", "Culture"}},
        {"Communication", 1, {"Téléphone", "Internet"}},
        {"Impôts", 1, {"Impôt sur le revenu", "Taxe foncière"}},
        {"Habillement", 1, {}},
        {"Revenus", 0, {"Salaire", "Allocations", "Remboursements"}},
        {"Épargne", 0, {"Intérêts"}},
    };
    for (const auto& tree : trees) {
      auto top = std::make_unique<TCategoryRecord>();
      top->name = tree.name;
      top->debit = tree.debit;
      TCategoryRecord& parent = db_.AddCategory(std::move(top));
      categories_[tree.name] = parent.id;
      for (const char* sub_name : tree.subs) {
        auto sub = std::make_unique<TCategoryRecord>();
        sub->name = sub_name;
        sub->debit = tree.debit;
        categories_[std::string(tree.name) + ":" + sub_name] =
            db_.AddCategory(std::move(sub), &parent).id;
      }
    }
  }

  std::uint32_t Category(const std::string& key) const {
    const auto it = categories_.find(key);
    if (it == categories_.end()) throw std::logic_error("demo category " + key);
    return it->second;
  }

  // --- Accounts -------------------------------------------------------------

  TAccountRecord& AddAccount(const char* name, std::uint16_t type, double initial,
                             const char* remark, const char* number) {
    auto account = std::make_unique<TAccountRecord>();
    account->name = name;
    account->account_type = type;
    account->initial_balance = initial;
    account->remark = remark;
    account->bank_code = "30077";
    account->branch_code = "04512";
    account->account_number = number;
    account->currency = "EUR";
    account->synthesis = type == kDepositAccount ? 0 : 1;
    return db_.AddAccount(std::move(account));
  }

  void MakeAccounts() {
    current_ = AddAccount("Compte chèques", kCurrentAccount, 1250.00, "Compte courant principal",
                          "00012345601")
                   .id;
    joint_ =
        AddAccount("Compte joint", kCurrentAccount, 430.00, "Dépenses de la maison", "00012345602")
            .id;
    auto& card = AddAccount("Carte Visa", kCardAccount, 0.0, "Carte à débit différé", "");
    card.card_number = "4970101234567890";
    card.linked_account = current_;
    card.account_number.clear();
    db_.ModifyAccount(card);
    card_ = card.id;
    savings_ =
        AddAccount("Livret A", kDepositAccount, 3200.00, "Épargne disponible", "00012345603").id;
    housing_ = AddAccount("Épargne logement", kDepositAccount, 8500.00, "Plan ouvert en 2019",
                          "00012345604")
                   .id;
  }

  void MakeProject() {
    auto project = std::make_unique<TProjectRecord>();
    project->label = "Vacances d'été";
    project_ = db_.AddProject(std::move(project)).id;
  }

  // --- Operations -----------------------------------------------------------

  TAccountRecord& AccountById(std::uint32_t id) { return *db_.FindAccount(id); }

  // Operations older than six weeks are pointed; the last days were
  // downloaded from the bank and are not pointed yet; the rest are typed.
  // Card operations are pointed once a card statement covered them.
  std::uint16_t PointingFor(std::uint32_t account, const KDate& date) const {
    const std::uint32_t age = today_.DayNumber() - date.DayNumber();
    if (account == card_ && date.Month() != today_.Month()) return kPointed;
    if (age > 42) return kPointed;
    if (age <= 5) return kDownloaded;
    return kNotPointed;
  }

  TOperationRecord& Add(std::uint32_t account, const KDate& date, double amount,
                        const std::string& label, std::uint32_t category,
                        const std::string& complement = {}) {
    auto op = std::make_unique<TOperationRecord>();
    op->date = date;
    op->amount = Cents(amount);
    op->label = label;
    op->complementary_label = complement;
    op->category = category;
    op->pointing = PointingFor(account, date);
    op->SetFlag(kOpEnteredByHand, op->pointing != kDownloaded);
    return db_.AddOperation(AccountById(account), std::move(op));
  }

  // Both halves of a transfer: each names the other account and the other
  // operation.
  void Transfer(std::uint32_t from, std::uint32_t to, const KDate& date, double amount,
                const std::string& label) {
    TOperationRecord& out = Add(from, date, -amount, label, 0);
    out.kind = kOpTransferOut;
    out.linked_account = to;
    db_.ModifyOperation(out);
    TOperationRecord& in = Add(to, date, amount, label, out.id);
    in.kind = kOpTransferIn;
    in.linked_account = from;
    db_.ModifyOperation(in);
    out.category = in.id;
    db_.ModifyOperation(out);
  }

  // A split: its lines carry the magnitudes, and add up to the amount.
  void Split(std::uint32_t account, const KDate& date, const std::string& label,
             const std::vector<std::pair<std::string, double>>& lines) {
    double total = 0;
    for (const auto& line : lines) total += Cents(line.second);
    TOperationRecord& op = Add(account, date, -total, label, 0);
    op.kind = kOpSplit;
    db_.ModifyOperation(op);
    for (const auto& [category, amount] : lines) {
      auto line = std::make_unique<TSplitLineRecord>();
      line->category = Category(category);
      line->amount = Cents(amount);
      line->label = category.substr(category.find(':') + 1);
      db_.AddSplitLine(op, std::move(line));
    }
  }

  static KDate Day(unsigned day, unsigned month, unsigned year) {
    const unsigned last = KDate::DaysInMonth(month, year);
    return KDate(day > last ? last : day, month, year);
  }

  bool InRange(const KDate& date) const { return date >= start_ && date <= today_; }

  void MakeOperations() {
    // The first day of the month two years before this month.
    KDate first = Day(1, today_.Month(), today_.Year());
    first.SubMonths(24);
    start_ = first;

    double card_total_pending = 0;
    KDate month = first;
    while (month <= today_) {
      const unsigned m = month.Month();
      const unsigned y = month.Year();
      double card_month = 0;

      auto add = [&](std::uint32_t account, unsigned day, double amount, const std::string& label,
                     const std::string& category, const std::string& complement = {}) {
        const KDate date = Day(day, m, y);
        if (!InRange(date)) return;
        Add(account, date, amount, label, category.empty() ? 0 : Category(category), complement);
        if (account == card_) card_month += amount;
      };

      // Income.
      add(current_, 28, random_.Amount(2150, 2190), "VIR SALAIRE SOCIETE ALPHA", "Revenus:Salaire",
          "SALAIRE " + std::string(kMonthNames[m]));
      add(joint_, 5, 141.99, "VIR CAF ALLOCATIONS", "Revenus:Allocations");
      // Fixed charges.
      add(joint_, 4, -780.00, "PRLV LOYER AGENCE DU CENTRE", "Logement:Loyer");
      if (m % 2 == 0)
        add(joint_, 12, -random_.Amount(68, 96), "PRLV ELECTRICITE", "Logement:Électricité");
      add(current_, 8, -29.99, "PRLV OPERATEUR MOBILE", "Communication:Téléphone");
      add(joint_, 9, -34.99, "PRLV BOX INTERNET", "Communication:Internet");
      add(current_, 15, -48.20, "PRLV MUTUELLE SANTE", "Santé:Mutuelle");
      if (m == 1)
        add(joint_, 15, -312.40, "PRLV ASSURANCE HABITATION", "Logement:Assurance habitation");
      if (m == 9)
        add(current_, 15, -random_.Amount(1150, 1350), "PRLV IMPOT SUR LE REVENU",
            "Impôts:Impôt sur le revenu");
      if (m == 10)
        add(joint_, 17, -random_.Amount(820, 880), "PRLV TAXE FONCIERE", "Impôts:Taxe foncière");
      if (m % 3 == 1)
        add(joint_, 20, -random_.Amount(55, 90), "PRLV EAU DE LA VILLE", "Logement:Eau");

      // Daily life, mostly with the card.
      for (int week = 0; week < 4; ++week) {
        const unsigned day = static_cast<unsigned>(2 + week * 7 + random_.Between(0, 2));
        add(card_, day, -random_.Amount(45, 140), "CB SUPERMARCHE DU PARC",
            "Alimentation:Supermarché", "CARTE " + Day(day, m, y).Format(KD_DAYFIRST | KD_NOSEP));
        add(card_, day + 2, -random_.Amount(3.5, 12), "CB BOULANGERIE DU MOULIN",
            "Alimentation:Boulangerie");
      }
      add(card_, static_cast<unsigned>(random_.Between(6, 24)), -random_.Amount(45, 75),
          "CB STATION SERVICE", "Transport:Carburant");
      add(card_, static_cast<unsigned>(random_.Between(18, 27)), -random_.Amount(42, 70),
          "CB STATION SERVICE", "Transport:Carburant");
      if (random_.Chance(70))
        add(card_, static_cast<unsigned>(random_.Between(10, 25)), -random_.Amount(28, 85),
            "CB RESTAURANT LE PETIT ZINC", "Alimentation:Restaurant");
      if (random_.Chance(50))
        add(card_, static_cast<unsigned>(random_.Between(3, 27)), -random_.Amount(8, 35),
            "CB PHARMACIE DES HALLES", "Santé:Pharmacie");
      if (random_.Chance(35)) {
        const unsigned day = static_cast<unsigned>(random_.Between(3, 25));
        add(current_, day, -26.50, "CHQ MEDECIN GENERALISTE", "Santé:Médecin");
        add(current_, day + 3, 18.55, "VIR REMBOURSEMENT SECURITE SOCIALE",
            "Revenus:Remboursements");
      }
      if (random_.Chance(40))
        add(card_, static_cast<unsigned>(random_.Between(5, 26)), -random_.Amount(12, 40),
            "CB CINEMA LE REX", "Loisirs:Sorties");
      if (m == 3 || m == 10)
        add(card_, 14, -random_.Amount(60, 180), "CB BOUTIQUE MODE", "Habillement");
      add(current_, 2, -32.00, "PRLV CLUB DE SPORT", "Loisirs:Sport");
      if (m == 4 || m == 11)
        add(current_, 21, -random_.Amount(90, 160), "CB GARAGE DE LA GARE",
            "Transport:Entretien véhicule");

      // Summer holidays, under the project.
      if (m == 7 || m == 8) {
        const KDate date = Day(m == 7 ? 16 : 3, m, y);
        if (InRange(date)) {
          TOperationRecord& op = Add(current_, date, -(m == 7 ? 640.00 : 385.50),
                                     m == 7 ? "VIR LOCATION VACANCES" : "CB HOTEL DE LA PLAGE",
                                     Category("Loisirs:Vacances"));
          op.project = project_;
          db_.ModifyOperation(op);
        }
        const KDate train = Day(m == 7 ? 12 : 27, m, y);
        if (InRange(train)) {
          TOperationRecord& op = Add(card_, train, -random_.Amount(110, 180), "CB BILLETS DE TRAIN",
                                     Category("Transport:Train"));
          op.project = project_;
          db_.ModifyOperation(op);
          card_month += op.amount;
        }
      }

      // Monthly saving, and the odd split purchase.
      const KDate saving = Day(3, m, y);
      if (InRange(saving)) {
        Transfer(current_, joint_, saving, 950.00, "VIR ALIMENTATION COMPTE JOINT");
        Transfer(current_, savings_, saving, 150.00, "VIR EPARGNE MENSUELLE");
        Transfer(current_, housing_, saving, 45.00, "VIR EPARGNE LOGEMENT");
      }
      if (m % 4 == 2) {
        const KDate date = Day(23, m, y);
        if (InRange(date)) {
          Split(joint_, date, "CHQ HYPERMARCHE DES QUATRE ROUTES",
                {{"Alimentation:Supermarché", random_.Amount(60, 110)},
                 {"Logement:Ameublement", random_.Amount(35, 90)},
                 {"Loisirs:Culture", random_.Amount(12, 30)}});
        }
      }
      if (m == 12) {
        const KDate date = Day(31, m, y);
        if (InRange(date)) {
          Add(savings_, date, random_.Amount(55, 75), "INTERETS ANNUELS",
              Category("Épargne:Intérêts"));
          Add(housing_, date, random_.Amount(150, 190), "INTERETS ANNUELS",
              Category("Épargne:Intérêts"));
        }
      }

      // The card statement of the previous month is debited on the 1st from
      // the current account the card is linked to.
      const KDate statement = Day(1, m, y);
      if (card_total_pending != 0 && InRange(statement)) {
        TOperationRecord& op =
            Add(current_, statement, card_total_pending, "RELEVE CARTE Carte Visa", 0);
        op.kind = kOpCardStatement;
        db_.ModifyOperation(op);
      }
      card_total_pending = card_month;
      month.AddMonths(1);
    }
  }

  TDatabase& db_;
  KDate today_;
  KDate start_;
  TDemoRandom random_;
  std::map<std::string, std::uint32_t> categories_;
  std::uint32_t current_ = 0;
  std::uint32_t joint_ = 0;
  std::uint32_t card_ = 0;
  std::uint32_t savings_ = 0;
  std::uint32_t housing_ = 0;
  std::uint32_t project_ = 0;
};

const char* TypeName(std::uint16_t type) {
  switch (type) {
    case kCurrentAccount:
      return "compte courant";
    case kCardAccount:
      return "carte à débit différé";
    case kDepositAccount:
      return "compte de dépôt";
  }
  return "?";
}

}  // namespace

void BuildDemoBook(const std::string& path, TUserPort& port) {
  std::string working = path;
  if (working.size() < kBookExtension.size()) throw std::invalid_argument("not a book path");
  working.replace(working.size() - kBookExtension.size(), kBookExtension.size(),
                  kWorkingCopyExtension);
  if (platform::FileExists(path) || platform::FileExists(working)) {
    throw std::invalid_argument("the demo book exists already: " + path);
  }
  {
    TDatabase db(path, port);
    // A fresh file that nobody else reads: a crash while writing it only
    // means writing it again, so the changes need not be flushed one by one.
    db.SetDurable(false);
    db.CreateEmptyBook();
    TDemoWriter(db, KDate::Today()).Write();
    db.Settings().backup_path = path.substr(0, path.size() - kBookExtension.size()) + ".SAV.VX";
    db.SaveHeader();
    if (!db.Save() || !db.Close()) {
      RemoveInUseMarker(path);
      throw std::runtime_error("the demo book could not be written: " + path);
    }
  }
  RemoveInUseMarker(path);
}

std::vector<std::string> DescribeBook(const std::string& path, TUserPort& port) {
  std::vector<std::string> lines;
  {
    TDatabase db(path, port);
    db.Open(false);
    for (const auto& account : db.Accounts().Records<TAccountRecord>()) {
      lines.push_back(account.name + "  " + TypeName(account.account_type) + "  " +
                      FormatAmount(account.balance) + " " + account.currency + "  (" +
                      std::to_string(account.Operations().Size()) + " opérations)");
    }
    db.Close();
  }
  RemoveInUseMarker(path);
  return lines;
}

}  // namespace ledgora
