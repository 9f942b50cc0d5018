#include "demo/book_generator.h"

#include <cmath>
#include <cstdio>
#include <map>
#include <memory>
#include <stdexcept>
#include <vector>

#include "platform/files.h"
#include "storage/book_profile.h"
#include "storage/database.h"
#include "storage/write_phase.h"

namespace ledgora {
namespace {

// A small generator of our own: the standard distributions differ between
// libraries, and a seed must give the same book everywhere.
class TBookRandom {
 public:
  explicit TBookRandom(std::uint64_t seed) : state_(Mix(seed)) {}
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
  // An amount in [low, high], in cents.
  double Amount(double low, double high) {
    const int cents = Between(static_cast<int>(std::lround(low * 100)),
                              static_cast<int>(std::lround(high * 100)));
    return cents / 100.0;
  }
  bool Chance(int percent) { return Between(1, 100) <= percent; }
  template <class T>
  const T& Pick(const std::vector<T>& choices) {
    return choices[Next() % choices.size()];
  }

 private:
  // Spreads nearby seeds apart (and never leaves the xorshift state at 0).
  static std::uint64_t Mix(std::uint64_t x) {
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    x ^= x >> 31;
    return x ? x : 0x9E3779B97F4A7C15ull;
  }
  std::uint64_t state_;
};

double Cents(double amount) {
  return std::round(amount * 100.0) / 100.0;
}

KDate Day(unsigned day, unsigned month, unsigned year) {
  const unsigned last = KDate::DaysInMonth(month, year);
  return KDate(day > last ? last : day, month, year);
}

// The monthly frequency of the periodicity list.
constexpr std::uint16_t kMonthlyFrequency = 3;

struct TMerchant {
  const char* label;
  const char* category;
  double low;
  double high;
};

// Daily spending with the card, several times a week in a big book.
const std::vector<TMerchant> kCardMerchants = {
    {"CB SUPERMARCHE DU PARC", "Alimentation:Supermarché", 45, 140},
    {"CB BOULANGERIE DU MOULIN", "Alimentation:Boulangerie", 3.5, 12},
    {"CB MARCHE COUVERT", "Alimentation:Marché", 12, 48},
    {"CB EPICERIE DES HALLES", "Alimentation:Supermarché", 8, 35},
    {"CB BRASSERIE DE LA POSTE", "Alimentation:Restaurant", 14, 62},
    {"CB PHARMACIE DES HALLES", "Santé:Pharmacie", 8, 35},
    {"CB LIBRAIRIE DU CENTRE", "Loisirs:Culture", 9, 45},
    {"CB STATION SERVICE", "Transport:Carburant", 42, 75},
    {"CB PEAGE AUTOROUTE", "Transport:Péage", 3.2, 24},
    {"CB BRICOLAGE DE L'OUEST", "Logement:Ameublement", 12, 160},
};

class THouseholdWriter;

// Everything a book shares between its households, and the count.
class TBookWriter {
 public:
  TBookWriter(TDatabase& db, const TBookGeneratorOptions& options, KDate end, unsigned months)
      : db_(db), options_(options), end_(end), random_(options.seed) {
    KDate first = Day(1, end.Month(), end.Year());
    first.SubMonths(months);
    start_ = first;
    // Bigger books spend more with the card: one more purchase a week for
    // every 50 000 operations, up to twenty.
    const std::size_t n = options.operations;
    density_ = n == 0 ? 1 : static_cast<int>(std::min<std::size_t>(20, 1 + n / 50000));
  }

  void Write();
  const TGeneratedBook& Report() const { return report_; }

 private:
  friend class THouseholdWriter;

  void MakeCategories();
  std::uint32_t Category(const std::string& key) const {
    const auto it = categories_.find(key);
    if (it == categories_.end()) throw std::logic_error("generator category " + key);
    return it->second;
  }
  bool Full() const {
    return options_.operations != 0 && report_.operations >= options_.operations;
  }
  std::size_t Room() const {
    return options_.operations == 0 ? SIZE_MAX : options_.operations - report_.operations;
  }
  bool InRange(const KDate& date) const { return date >= start_ && date <= end_; }
  void Counted(const TOperationRecord& op) {
    ++report_.operations;
    if (!report_.first.IsValid() || op.date < report_.first) report_.first = op.date;
    if (!report_.last.IsValid() || op.date > report_.last) report_.last = op.date;
  }

  TDatabase& db_;
  const TBookGeneratorOptions& options_;
  KDate end_;
  KDate start_;
  TBookRandom random_;
  int density_ = 1;
  std::map<std::string, std::uint32_t> categories_;
  std::uint32_t project_ = 0;
  TGeneratedBook report_;
};

class THouseholdWriter {
 public:
  THouseholdWriter(TBookWriter& book, unsigned index) : book_(book), db_(book.db_), index_(index) {}

  void Write() {
    MakeAccounts();
    MakeOperations();
    MakeChain(rent_);
    MakeChain(salary_);
  }

 private:
  // --- Accounts -------------------------------------------------------------

  std::string Name(const char* base) const {
    return index_ == 0 ? std::string(base) : std::string(base) + " " + std::to_string(index_ + 1);
  }

  TAccountRecord& AddAccount(const char* base, std::uint16_t type, double initial,
                             const char* remark, unsigned slot) {
    auto account = std::make_unique<TAccountRecord>();
    account->name = Name(base);
    account->account_type = type;
    account->initial_balance = initial;
    account->remark = remark;
    account->bank_code = "30077";
    account->branch_code = "04512";
    char number[16];
    std::snprintf(number, sizeof number, "%07u%04u", index_ % 10000000u, slot);
    account->account_number = number;
    account->currency = "EUR";
    account->synthesis = type == kDepositAccount ? 0 : 1;
    if (type == kCardAccount) {
      // A card takes the bank details of the current account it is debited from.
      const TAccountRecord& current = *db_.FindAccount(current_);
      account->linked_account = current_;
      account->account_number = current.account_number;
      char card[20];
      std::snprintf(card, sizeof card, "4970%012u", index_);
      account->card_number = card;
    }
    ++book_.report_.accounts;
    return db_.AddAccount(std::move(account));
  }

  void MakeAccounts() {
    TBookRandom& r = book_.random_;
    current_ = AddAccount("Compte chèques", kCurrentAccount, r.Amount(800, 1800),
                          "Compte courant principal", 1)
                   .id;
    joint_ =
        AddAccount("Compte joint", kCurrentAccount, r.Amount(200, 600), "Dépenses de la maison", 2)
            .id;
    card_ = AddAccount("Carte Visa", kCardAccount, 0.0, "Carte à débit différé", 0).id;
    savings_ =
        AddAccount("Livret A", kDepositAccount, r.Amount(1500, 6000), "Épargne disponible", 3).id;
    housing_ = AddAccount("Épargne logement", kDepositAccount, r.Amount(4000, 12000),
                          "Plan d'épargne logement", 4)
                   .id;
    card_name_ = db_.FindAccount(card_)->name;
  }

  // --- Operations -----------------------------------------------------------

  // Operations older than six weeks are pointed; the last days were
  // downloaded from the bank and are not pointed yet; the rest are typed.
  // Card operations are pointed once a card statement covered them.
  std::uint16_t PointingFor(std::uint32_t account, const KDate& date) const {
    const KDate& end = book_.end_;
    const std::uint32_t age = end.DayNumber() - date.DayNumber();
    if (account == card_ && (date.Month() != end.Month() || date.Year() != end.Year()))
      return kPointed;
    if (age > 42) return kPointed;
    if (age <= 5) return kDownloaded;
    return kNotPointed;
  }

  TOperationRecord* Add(std::uint32_t account, const KDate& date, double amount,
                        const std::string& label, std::uint32_t category,
                        std::uint32_t kind = kOpNormal, const std::string& complement = {}) {
    if (book_.Full() || !book_.InRange(date)) return nullptr;
    auto op = std::make_unique<TOperationRecord>();
    op->date = date;
    op->amount = Cents(amount);
    op->label = label;
    op->complementary_label = complement;
    op->category = category;
    op->kind = kind;
    op->pointing = PointingFor(account, date);
    op->SetFlag(kOpEnteredByHand, op->pointing != kDownloaded);
    TOperationRecord& added = db_.AddOperation(*db_.FindAccount(account), std::move(op));
    book_.Counted(added);
    if (account == card_) card_month_ += added.amount;
    return &added;
  }

  TOperationRecord* Add(std::uint32_t account, unsigned day, double amount,
                        const std::string& label, const std::string& category,
                        const std::string& complement = {}) {
    return Add(account, Day(day, month_, year_), amount, label,
               category.empty() ? 0 : book_.Category(category), kOpNormal, complement);
  }

  // Both halves of a transfer: each names the other account and, in its
  // category field, the other operation.
  void Transfer(std::uint32_t from, std::uint32_t to, const KDate& date, double amount,
                const std::string& label) {
    if (book_.Room() < 2 || !book_.InRange(date)) return;
    TOperationRecord* out = Add(from, date, -amount, label, 0, kOpTransferOut);
    out->linked_account = to;
    db_.ModifyOperation(*out);
    TOperationRecord* in = Add(to, date, amount, label, out->id, kOpTransferIn);
    in->linked_account = from;
    db_.ModifyOperation(*in);
    out->category = in->id;
    db_.ModifyOperation(*out);
    ++book_.report_.transfers;
  }

  // A split: its lines carry the magnitudes, and add up to the amount.
  void Split(std::uint32_t account, const KDate& date, const std::string& label,
             const std::vector<std::pair<std::string, double>>& lines) {
    double total = 0;
    for (const auto& line : lines) total += Cents(line.second);
    TOperationRecord* op = Add(account, date, -total, label, 0, kOpSplit);
    if (!op) return;
    for (const auto& [category, amount] : lines) {
      auto line = std::make_unique<TSplitLineRecord>();
      line->category = book_.Category(category);
      line->amount = Cents(amount);
      line->label = category.substr(category.find(':') + 1);
      db_.AddSplitLine(*op, std::move(line));
    }
    ++book_.report_.splits;
  }

  // The operations of a periodic chain share one schedule, dated like the
  // latest occurrence (the model); the earlier ones are past occurrences.
  void MakeChain(std::vector<TOperationRecord*>& chain) {
    if (chain.size() < 2) return;
    TOperationRecord& model = *chain.back();
    auto schedule = std::make_unique<TPeriodicRecord>();
    schedule->frequency = kMonthlyFrequency;
    schedule->day_of_month = static_cast<std::uint16_t>(model.date.Day());
    schedule->date = model.date;
    const std::uint32_t offset = db_.AddSchedule(std::move(schedule));
    for (TOperationRecord* op : chain) {
      op->periodic = offset;
      op->SetFlag(kOpPastOccurrence, op != &model);
      db_.ModifyOperation(*op);
    }
    ++book_.report_.periodic_chains;
  }

  void Month() {
    TBookRandom& r = book_.random_;
    const unsigned m = month_;
    card_month_ = 0;

    // Income.
    if (TOperationRecord* op = Add(current_, 28, r.Amount(2150, 2190), "VIR SALAIRE SOCIETE ALPHA",
                                   "Revenus:Salaire", "SALAIRE " + std::string(kMonthNames[m])))
      salary_.push_back(op);
    Add(joint_, 5, 141.99, "VIR CAF ALLOCATIONS", "Revenus:Allocations");
    // Fixed charges.
    if (TOperationRecord* op =
            Add(joint_, 4, -780.00, "PRLV LOYER AGENCE DU CENTRE", "Logement:Loyer"))
      rent_.push_back(op);
    if (m % 2 == 0) Add(joint_, 12, -r.Amount(68, 96), "PRLV ELECTRICITE", "Logement:Électricité");
    Add(current_, 8, -29.99, "PRLV OPERATEUR MOBILE", "Communication:Téléphone");
    Add(joint_, 9, -34.99, "PRLV BOX INTERNET", "Communication:Internet");
    Add(current_, 15, -48.20, "PRLV MUTUELLE SANTE", "Santé:Mutuelle");
    if (m == 1)
      Add(joint_, 15, -312.40, "PRLV ASSURANCE HABITATION", "Logement:Assurance habitation");
    if (m == 9)
      Add(current_, 15, -r.Amount(1150, 1350), "PRLV IMPOT SUR LE REVENU",
          "Impôts:Impôt sur le revenu");
    if (m == 10) Add(joint_, 17, -r.Amount(820, 880), "PRLV TAXE FONCIERE", "Impôts:Taxe foncière");
    if (m % 3 == 1) Add(joint_, 20, -r.Amount(55, 90), "PRLV EAU DE LA VILLE", "Logement:Eau");

    // Daily life, mostly with the card.
    for (int week = 0; week < 4; ++week) {
      const unsigned day = static_cast<unsigned>(2 + week * 7 + r.Between(0, 2));
      Add(card_, day, -r.Amount(45, 140), "CB SUPERMARCHE DU PARC", "Alimentation:Supermarché",
          "CARTE " + Day(day, m, year_).Format(KD_DAYFIRST | KD_NOSEP));
      Add(card_, day + 2, -r.Amount(3.5, 12), "CB BOULANGERIE DU MOULIN",
          "Alimentation:Boulangerie");
      for (int extra = 1; extra < book_.density_; ++extra) {
        const TMerchant& shop = r.Pick(kCardMerchants);
        Add(card_, static_cast<unsigned>(1 + week * 7 + r.Between(0, 6)),
            -r.Amount(shop.low, shop.high), shop.label, shop.category);
      }
    }
    Add(card_, static_cast<unsigned>(r.Between(6, 24)), -r.Amount(45, 75), "CB STATION SERVICE",
        "Transport:Carburant");
    if (r.Chance(70))
      Add(card_, static_cast<unsigned>(r.Between(10, 25)), -r.Amount(28, 85),
          "CB RESTAURANT LE PETIT ZINC", "Alimentation:Restaurant");
    if (r.Chance(50))
      Add(card_, static_cast<unsigned>(r.Between(3, 27)), -r.Amount(8, 35),
          "CB PHARMACIE DES HALLES", "Santé:Pharmacie");
    if (r.Chance(35)) {
      const unsigned day = static_cast<unsigned>(r.Between(3, 25));
      Add(current_, day, -26.50, "CHQ MEDECIN GENERALISTE", "Santé:Médecin");
      Add(current_, day + 3, 18.55, "VIR REMBOURSEMENT SECURITE SOCIALE", "Revenus:Remboursements");
    }
    if (r.Chance(40))
      Add(card_, static_cast<unsigned>(r.Between(5, 26)), -r.Amount(12, 40), "CB CINEMA LE REX",
          "Loisirs:Sorties");
    if (m == 3 || m == 10) Add(card_, 14, -r.Amount(60, 180), "CB BOUTIQUE MODE", "Habillement");
    Add(current_, 2, -32.00, "PRLV CLUB DE SPORT", "Loisirs:Sport");
    if (m == 4 || m == 11)
      Add(current_, 21, -r.Amount(90, 160), "CB GARAGE DE LA GARE", "Transport:Entretien véhicule");

    // Summer holidays, under the project.
    if (m == 7 || m == 8) {
      if (TOperationRecord* op =
              Add(current_, m == 7 ? 16 : 3, -(m == 7 ? 640.00 : 385.50),
                  m == 7 ? "VIR LOCATION VACANCES" : "CB HOTEL DE LA PLAGE", "Loisirs:Vacances")) {
        op->project = book_.project_;
        db_.ModifyOperation(*op);
      }
      if (TOperationRecord* op = Add(card_, m == 7 ? 12 : 27, -r.Amount(110, 180),
                                     "CB BILLETS DE TRAIN", "Transport:Train")) {
        op->project = book_.project_;
        db_.ModifyOperation(*op);
      }
    }

    // Monthly saving, and the odd split purchase.
    const KDate saving = Day(3, m, year_);
    Transfer(current_, joint_, saving, 950.00, "VIR ALIMENTATION COMPTE JOINT");
    Transfer(current_, savings_, saving, 150.00, "VIR EPARGNE MENSUELLE");
    Transfer(current_, housing_, saving, 45.00, "VIR EPARGNE LOGEMENT");
    if (m % 4 == 2) {
      Split(joint_, Day(23, m, year_), "CHQ HYPERMARCHE DES QUATRE ROUTES",
            {{"Alimentation:Supermarché", r.Amount(60, 110)},
             {"Logement:Ameublement", r.Amount(35, 90)},
             {"Loisirs:Culture", r.Amount(12, 30)}});
    }
    if (m == 12) {
      Add(savings_, 31, r.Amount(55, 75), "INTERETS ANNUELS", "Épargne:Intérêts");
      Add(housing_, 31, r.Amount(150, 190), "INTERETS ANNUELS", "Épargne:Intérêts");
    }

    // The card statement of the previous month is debited on the 1st from
    // the current account the card is linked to.
    const double spent = card_month_;
    if (card_pending_ != 0 && Add(current_, Day(1, m, year_), card_pending_,
                                  "RELEVE CARTE " + card_name_, 0, kOpCardStatement)) {
      ++book_.report_.card_statements;
    }
    card_pending_ = spent;
  }

  void MakeOperations() {
    for (KDate month = book_.start_; month <= book_.end_ && !book_.Full(); month.AddMonths(1)) {
      month_ = month.Month();
      year_ = month.Year();
      Month();
    }
  }

  TBookWriter& book_;
  TDatabase& db_;
  unsigned index_;
  unsigned month_ = 1;
  unsigned year_ = 2000;
  double card_month_ = 0;
  double card_pending_ = 0;
  std::string card_name_;
  std::uint32_t current_ = 0;
  std::uint32_t joint_ = 0;
  std::uint32_t card_ = 0;
  std::uint32_t savings_ = 0;
  std::uint32_t housing_ = 0;
  std::vector<TOperationRecord*> rent_;
  std::vector<TOperationRecord*> salary_;
};

void TBookWriter::MakeCategories() {
  struct TTree {
    const char* name;
    std::uint32_t debit;
    std::vector<const char*> subs;
    double budget;
  };
  const std::vector<TTree> trees = {
      {"Alimentation", 1, {"Supermarché", "Boulangerie", "Marché", "Restaurant"}, 600},
      {"Logement", 1, {"Loyer", "Électricité", "Eau", "Assurance habitation", "Ameublement"}, 1000},
      {"Transport", 1, {"Carburant", "Entretien véhicule", "Péage", "Train"}, 200},
      {"Santé", 1, {"Médecin", "Pharmacie", "Mutuelle"}, 90},
      {"Loisirs", 1, {"Sorties", "Vacances", "Sport", "Culture"}, 150},
      {"Communication", 1, {"Téléphone", "Internet"}, 65},
      {"Impôts", 1, {"Impôt sur le revenu", "Taxe foncière"}, 180},
      {"Habillement", 1, {}, 40},
      {"Revenus", 0, {"Salaire", "Allocations", "Remboursements"}, 0},
      {"Épargne", 0, {"Intérêts"}, 0},
  };
  for (const auto& tree : trees) {
    auto top = std::make_unique<TCategoryRecord>();
    top->name = tree.name;
    top->debit = tree.debit;
    top->budget.fill(tree.budget);
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

void TBookWriter::Write() {
  MakeCategories();
  auto project = std::make_unique<TProjectRecord>();
  project->label = "Vacances d'été";
  project_ = db_.AddProject(std::move(project)).id;
  for (unsigned household = 0;; ++household) {
    const std::size_t before = report_.operations;
    THouseholdWriter(*this, household).Write();
    if (options_.operations == 0 || Full()) break;
    // A period too short to hold an operation would never fill the book.
    if (report_.operations == before) throw std::invalid_argument("the period holds no operation");
  }
}

// The period from the operation count: households of about a thousand
// operations a year.
unsigned PeriodFor(std::size_t operations) {
  if (operations <= 3000) return 24;
  if (operations <= 30000) return 60;
  return 120;
}

}  // namespace

TGeneratedBook GenerateBook(const std::string& path, const TBookGeneratorOptions& options,
                            TUserPort& port) {
  if (path.size() < kBookExtension.size()) throw std::invalid_argument("not a book path: " + path);
  std::string working = path;
  working.replace(working.size() - kBookExtension.size(), kBookExtension.size(),
                  kWorkingCopyExtension);
  if (platform::FileExists(path) || platform::FileExists(working)) {
    throw std::invalid_argument("the book exists already: " + path);
  }
  // Five households of ten years each fit easily in the identifier space;
  // the record offsets (32 bits) limit a book to about 20 million operations.
  if (options.operations > 10'000'000) throw std::invalid_argument("too many operations");
  if (options.months > 1200) throw std::invalid_argument("period too long");
  const KDate end = options.end.IsValid() ? options.end : kDefaultGeneratorEnd;
  const unsigned months = options.months ? options.months : PeriodFor(options.operations);

  TGeneratedBook report;
  bool closed = false;
  try {
    TDatabase db(path, port);
    // A fresh file that nobody else reads: a crash while writing it only
    // means writing it again, so the changes need not be flushed one by one.
    db.SetDurable(false);
    db.SetPassword(options.password);
    db.CreateEmptyBook();
    TBookWriter writer(db, options, end, months);
    {
      // One write phase around the whole book: the working copy is opened
      // once instead of once per record.
      TWritePhase phase(db);
      writer.Write();
      db.Settings().backup_path = path.substr(0, path.size() - kBookExtension.size()) + ".SAV.VX";
      db.SaveHeader();
    }
    report = writer.Report();
    closed = db.Save() && db.Close();
  } catch (...) {
    platform::RemoveFile(working);
    platform::RemoveFile(path);
    RemoveInUseMarker(path);
    throw;
  }
  RemoveInUseMarker(path);
  if (!closed) {
    platform::RemoveFile(working);
    platform::RemoveFile(path);
    throw std::runtime_error("the book could not be written: " + path);
  }
  return report;
}

}  // namespace ledgora
