// Associations: from an operation, the page's uniqueness, the automatic
// category of a downloaded operation, and the re-association run with its
// six answers as one undo step.
#include <gtest/gtest.h>

#include <deque>

#include "operations/associations.h"
#include "operations/test_operations_env.h"
#include "operations/undo_slot.h"
#include "platform/configuration.h"

namespace ledgora::testing {
namespace {

class TScriptedAsker : public TReassociationAsker {
 public:
  explicit TScriptedAsker(std::deque<TReassociationAnswer> answers)
      : answers_(std::move(answers)) {}
  TReassociationAnswer Ask(const TReassociationQuestion& q) override {
    asked.push_back(q.op->label);
    texts.push_back(q.text);
    accounts.push_back(q.account_text);
    if (answers_.empty()) throw std::logic_error("unscripted re-association question");
    const TReassociationAnswer a = answers_.front();
    answers_.pop_front();
    return a;
  }
  std::vector<std::string> asked;
  std::vector<std::string> texts;
  std::vector<std::string> accounts;

 private:
  std::deque<TReassociationAnswer> answers_;
};

class AssociationsTest : public TOperationsTest {
 protected:
  void SetUp() override {
    TOperationsTest::SetUp();
    car_ = &AddCategory("Auto");
    fuel_ = &AddCategory("Carburant", true, car_);
    food_ = &AddCategory("Alimentation");
  }
  TAssociationRecord& Assoc(const std::string& label, std::uint32_t category) {
    auto a = std::make_unique<TAssociationRecord>();
    a->label = label;
    a->category = category;
    return db_->AddAssociation(std::move(a));
  }
  TCategoryRecord* car_ = nullptr;
  TCategoryRecord* fuel_ = nullptr;
  TCategoryRecord* food_ = nullptr;
};

TEST_F(AssociationsTest, AutomaticCategoryTakesTheNewestMatchingFragment) {
  // Created in this order; the storage keeps them in label order.
  Assoc("STATION TOTAL", food_->id);
  Assoc("TOTAL", fuel_->id);
  Assoc("ZZZ", 0);
  Assoc("MARCHE", food_->id);
  // An empty fragment (a foreign book may hold one) would match every label.
  Assoc("", car_->id);
  TAutomaticCategory automatic(*db_, "RELEVE CARTE");
  const struct {
    const char* name;
    const char* label;
    std::uint32_t kind;
    std::uint32_t category;
    std::uint32_t want_kind;
    std::uint32_t want_category;
  } cases[] = {
      {"NewestWins", "CB STATION TOTAL 12/05", kOpNormal, 0, kOpNormal, fuel_->id},
      {"CaseCounts", "cb station total", kOpNormal, 0, kOpNormal, 0},
      {"EmptyFragmentMatchesNothing", "LOYER", kOpNormal, 0, kOpNormal, 0},
      {"AssociationWithoutCategory", "ZZZ", kOpNormal, 0, kOpNormal, 0},
      {"KeepsACategory", "MARCHE", kOpNormal, car_->id, kOpNormal, car_->id},
      {"OnlyNormal", "MARCHE", kOpTransferOut, 0, kOpTransferOut, 0},
      {"CardStatementAfterCategory", "RELEVE CARTE MARCHE", kOpNormal, 0, kOpCardStatement,
       food_->id},
      {"CardStatementWithCategory", "RELEVE CARTE 0524", kOpNormal, car_->id, kOpCardStatement,
       car_->id},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TOperationRecord op;
    op.label = c.label;
    op.kind = c.kind;
    op.category = c.category;
    automatic.Apply(op);
    EXPECT_EQ(op.kind, c.want_kind);
    EXPECT_EQ(op.category, c.want_category);
  }
  // The card-statement label comes from the profile.
  platform::ProfileWriteText("Setup", "RELEVE CARTE", "FACTURETTE");
  TOperationRecord op;
  op.label = "FACTURETTE 05";
  EXPECT_TRUE(TAutomaticCategory(*db_).Apply(op));
  EXPECT_EQ(op.kind, kOpCardStatement);
}

TEST_F(AssociationsTest, CreatingFromAnOperation) {
  TAccountRecord& account = AddAccount("Courant");
  TOperationRecord& op = AddOp(account, "01/06/2024", -40, "TOTAL 1234");
  op.category = fuel_->id;
  db_->ModifyOperation(op);
  EXPECT_EQ(AssociationFromOperationCaption(*db_, op),
            "Association liée à la catégorie 'Auto:Carburant'");
  EXPECT_FALSE(CreateAssociationFromOperation(*db_, op, ""));
  ASSERT_TRUE(CreateAssociationFromOperation(*db_, op, "TOTAL"));
  // Already bound: asked; No keeps the old binding.
  TAssociationRecord& bound = Assoc("MARCHE", food_->id);
  port_.Answer(TButton::No);
  EXPECT_FALSE(CreateAssociationFromOperation(*db_, op, "MARCHE"));
  EXPECT_EQ(port_.LastMessage(),
            "Cette association est déjà associée à la catégorie Alimentation.\nLedgora doit-il "
            "remplacer l'ancienne association ?");
  EXPECT_EQ(bound.category, food_->id);
  port_.Answer(TButton::Yes);
  EXPECT_TRUE(CreateAssociationFromOperation(*db_, op, "MARCHE"));
  // Without category: rebound without a question.
  Assoc("LIBRE", 0);
  port_.Clear();
  EXPECT_TRUE(CreateAssociationFromOperation(*db_, op, "LIBRE"));
  EXPECT_TRUE(port_.Log().empty());
  TReopened r = Reopen();
  ASSERT_EQ(r.db->LoadAssociations().Size(), 3u);
  for (TAssociationRecord& a : r.db->LoadAssociations().Records<TAssociationRecord>())
    EXPECT_EQ(a.category, fuel_->id) << a.label;
}

TEST_F(AssociationsTest, PageKeepsLabelsUnique) {
  TAssociationRecord* a = AddAssociationChecked(*db_, "TOTAL", fuel_->id);
  ASSERT_NE(a, nullptr);
  TAssociationRecord* b = AddAssociationChecked(*db_, "total", fuel_->id);
  ASSERT_NE(b, nullptr);  // exact comparison
  EXPECT_EQ(AddAssociationChecked(*db_, "TOTAL", food_->id), nullptr);
  EXPECT_EQ(port_.LastMessage(), kAssociationExists);
  port_.Clear();
  EXPECT_FALSE(ModifyAssociationChecked(*db_, *b, "TOTAL", food_->id));
  EXPECT_EQ(port_.LastMessage(), kAssociationExists);
  EXPECT_TRUE(ModifyAssociationChecked(*db_, *b, "total", food_->id));
  port_.Answer(TButton::No);
  EXPECT_FALSE(DeleteAssociationAsked(*db_, *a));
  EXPECT_EQ(port_.LastMessage(), "Destruction de l'association 'TOTAL' ?");
  port_.Answer(TButton::Yes);
  EXPECT_TRUE(DeleteAssociationAsked(*db_, *a));
  EXPECT_EQ(Reopen().db->LoadAssociations().Size(), 1u);
}

class ReassociationTest : public AssociationsTest {
 protected:
  void SetUp() override {
    AssociationsTest::SetUp();
    first_ = &AddAccount("Courant");
    first_->remark = "Joint";
    second_ = &AddAccount("Livret");
    AddOp(*first_, "01/06/2024", -10, "TOTAL A1");
    AddOp(*first_, "02/06/2024", -10, "total minuscule");
    AddOp(*first_, "03/06/2024", -10, "TOTAL A2");
    AddOp(*first_, "04/06/2024", -10, "TOTAL A3");
    AddOp(*second_, "01/06/2024", -10, "TOTAL B1");
    AddOp(*second_, "02/06/2024", -10, "TOTAL B2");
    assoc_ = &Assoc("TOTAL", fuel_->id);
  }
  // The operations that carry the category after a run, in book order.
  std::string Given() {
    std::string out;
    for (TAccountRecord* a : {first_, second_}) {
      for (TOperationRecord& op : a->Operations().Records<TOperationRecord>()) {
        if (op.category == fuel_->id) out += (out.empty() ? "" : ",") + op.label.substr(6);
      }
    }
    return out;
  }
  TAccountRecord* first_ = nullptr;
  TAccountRecord* second_ = nullptr;
  TAssociationRecord* assoc_ = nullptr;
};

TEST_F(ReassociationTest, EachAnswer) {
  using A = TReassociationAnswer;
  const struct {
    const char* name;
    std::deque<A> answers;
    const char* asked;  // the operations asked about
    const char* given;
    bool cancelled;
  } cases[] = {
      {"YesNo", {A::Yes, A::No, A::Yes, A::No, A::Yes}, "A1 A2 A3 B1 B2", "A1,A3,B2", false},
      {"YesAccountAsksAgainInTheNext",
       {A::No, A::YesAccount, A::No, A::Yes},
       "A1 A2 B1 B2",
       "A2,A3,B2",
       false},
      {"YesAllAccounts", {A::No, A::YesAllAccounts}, "A1 A2", "A2,A3,B1,B2", false},
      {"NextAccount", {A::Yes, A::NextAccount, A::NextAccount}, "A1 A2 B1", "A1", false},
      {"CancelKeepsWhatWasDone", {A::Yes, A::Yes, A::Cancel}, "A1 A2 A3", "A1,A2", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    for (TAccountRecord* a : {first_, second_}) {
      for (TOperationRecord& op : a->Operations().Records<TOperationRecord>()) op.category = 0;
    }
    TScriptedAsker asker(c.answers);
    const TReassociationResult result = Reassociate(*db_, *assoc_, asker);
    std::string asked;
    for (const std::string& l : asker.asked) asked += (asked.empty() ? "" : " ") + l.substr(6);
    EXPECT_EQ(asked, c.asked);
    EXPECT_EQ(Given(), c.given);
    EXPECT_EQ(result.cancelled, c.cancelled);
  }
}

TEST_F(ReassociationTest, TextsAndOneUndoStep) {
  TOperationRecord& a1 = first_->Operations().Head()->As<TOperationRecord>();
  a1.category = food_->id;
  db_->ModifyOperation(a1);
  TScriptedAsker asker({TReassociationAnswer::YesAllAccounts});
  const TReassociationResult result = Reassociate(*db_, *assoc_, asker);
  EXPECT_EQ(result.changed, 5u);
  ASSERT_EQ(asker.texts.size(), 1u);
  EXPECT_EQ(asker.texts[0],
            "Désirez-vous affecter la catégorie Auto:Carburant à l'opération "
            "ci-dessous ?");
  EXPECT_EQ(asker.accounts[0], "Compte : Courant (Joint)");
  EXPECT_EQ(Reopen().Op("Livret", "TOTAL B2").category, fuel_->id);

  TUndoSlot& slot = TUndoSlot::Of(*db_);
  EXPECT_EQ(slot.Kind(), TUndoKind::Reassociation);
  EXPECT_EQ(slot.MenuText(), "&Annuler réaffectation\tCtrl+Z");
  TUndoContext context{*db_, second_, nullptr, {}};
  slot.Undo(context);
  EXPECT_FALSE(slot.CanUndo());
  TReopened r = Reopen();
  EXPECT_EQ(r.Op("Courant", "TOTAL A1").category, food_->id);
  EXPECT_EQ(r.Op("Courant", "TOTAL A3").category, 0u);
  EXPECT_EQ(r.Op("Livret", "TOTAL B1").category, 0u);
}

TEST_F(ReassociationTest, RefusalsBeforeAnyQuestion) {
  TScriptedAsker asker({});
  TAssociationRecord& empty = Assoc("VIDE", 0);
  const TReassociationResult result = Reassociate(*db_, empty, asker);
  EXPECT_FALSE(result.ran);
  EXPECT_EQ(port_.LastMessage(), "Aucune catégorie n'est associée au libellé 'VIDE' !");
  EXPECT_TRUE(CanReassociate(*db_));
  db_->DeleteAssociation(empty);
  db_->DeleteAssociation(*assoc_);
  EXPECT_FALSE(CanReassociate(*db_));
  EXPECT_EQ(port_.LastMessage(), kNoAssociationDefined);
}

TEST_F(ReassociationTest, AFailurePartWayLeavesWhatChangedUndoable) {
  // The asker fails at the third question (no answer scripted).
  TScriptedAsker asker({TReassociationAnswer::Yes, TReassociationAnswer::Yes});
  EXPECT_THROW(Reassociate(*db_, *assoc_, asker), std::logic_error);
  EXPECT_EQ(Given(), "A1,A2");
  TUndoSlot& slot = TUndoSlot::Of(*db_);
  ASSERT_TRUE(slot.CanUndo());
  EXPECT_EQ(slot.Kind(), TUndoKind::Reassociation);
  TUndoContext context{*db_, first_, nullptr, {}};
  slot.Undo(context);
  EXPECT_EQ(Given(), "");
  EXPECT_EQ(Reopen().Op("Courant", "TOTAL A1").category, 0u);
}

}  // namespace
}  // namespace ledgora::testing
