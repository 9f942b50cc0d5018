// Projects: the label checks of the dialog, deletion (off every operation),
// closing, and an operation that keeps its closed project when edited.
#include <gtest/gtest.h>

#include "operations/classification.h"
#include "operations/operation_editor.h"
#include "operations/project_rules.h"
#include "operations/test_operations_env.h"
#include "platform/configuration.h"

namespace ledgora::testing {
namespace {

class ProjectRulesTest : public TOperationsTest {};

TEST_F(ProjectRulesTest, LabelChecks) {
  TProjectRecord* holidays = CreateProject(*db_, "Vacances");
  ASSERT_NE(holidays, nullptr);
  EXPECT_EQ(holidays->open, 1u);
  const struct {
    const char* label;
    std::string_view message;  // empty: accepted
  } creations[] = {
      {"", kProjectLabelRefused},
      {"[Aucun]", kProjectLabelRefused},
      {"Vacances", kProjectLabelExists},
      {"vacances", {}},  // another case is another label
      {"Travaux", {}},
  };
  for (const auto& c : creations) {
    SCOPED_TRACE(c.label);
    port_.Clear();
    TProjectRecord* p = CreateProject(*db_, c.label);
    EXPECT_EQ(p == nullptr, !c.message.empty());
    EXPECT_EQ(port_.LastMessage(), c.message);
  }
  port_.Clear();
  EXPECT_TRUE(RenameProject(*db_, *holidays, "Vacances"));  // its own label
  EXPECT_TRUE(port_.Log().empty());
  EXPECT_FALSE(RenameProject(*db_, *holidays, "Travaux"));
  EXPECT_EQ(port_.LastMessage(), kProjectLabelExists);
  EXPECT_FALSE(RenameProject(*db_, *holidays, "[Aucun]"));
  EXPECT_EQ(port_.LastMessage(), kProjectLabelRefused);
  EXPECT_TRUE(RenameProject(*db_, *holidays, "Été 2024"));
  TReopened r = Reopen();
  EXPECT_EQ(r.db->Projects().Size(), 3u);
  EXPECT_NE(FindProjectByLabel(*r.db, "Été 2024"), nullptr);
}

TEST_F(ProjectRulesTest, DeletionTakesTheProjectOffEveryOperation) {
  TAccountRecord& account = AddAccount("Courant");
  TProjectRecord& project = AddProject("Travaux");
  TOperationRecord& normal = AddOp(account, "01/06/2024", -100, "Peinture");
  TOperationRecord& split = AddOp(account, "02/06/2024", -50, "Outils");
  MakeSplit(split, {{0, 20}, {0, 30}});
  for (TOperationRecord* op : {&normal, &split}) {
    op->project = project.id;
    db_->ModifyOperation(*op);
  }
  EXPECT_EQ(OperationsOfProject(*db_, project.id).size(), 2u);
  port_.Answer(TButton::No);
  EXPECT_FALSE(DeleteProjectAsked(*db_, project));
  EXPECT_EQ(port_.LastMessage(), "Désirez-vous supprimer le projet Travaux ?");
  port_.Answer(TButton::Yes);
  EXPECT_TRUE(DeleteProjectAsked(*db_, project));
  TReopened r = Reopen();
  EXPECT_EQ(r.db->Projects().Size(), 0u);
  EXPECT_EQ(r.Op("Courant", "Peinture").project, 0u);
  EXPECT_EQ(r.Op("Courant", "Outils").project, 0u);
}

TEST_F(ProjectRulesTest, ClosedProjectStaysOnItsOperations) {
  platform::ProfileWriteInt("Setup", "Filter", 0);
  TAccountRecord& account = AddAccount("Courant");
  TProjectRecord& project = AddProject("Travaux");
  TOperationRecord& op = AddOp(account, "01/06/2024", -100, "Peinture");
  op.project = project.id;
  db_->ModifyOperation(op);
  port_.Answer(TButton::Yes);
  ASSERT_TRUE(CloseProjectAsked(*db_, project));
  EXPECT_EQ(port_.LastMessage(),
            "Désirez-vous clore le projet Travaux ?\nVous ne pourrez alors plus affecter ce "
            "projet à vos opérations.\nAttention ! Cette clôture est irréversible.");
  EXPECT_FALSE(CloseProjectAsked(*db_, project));  // once closed, not asked again
  Show(account);
  TOperationEditor editor(List());
  std::optional<TEditSession> s = editor.Begin(RowOf("Peinture"));
  ASSERT_TRUE(s);
  TEditorInput in = s->UnchangedInput();
  in.debit = "120,00";
  ASSERT_EQ(editor.Validate(*s, in), TEditOutcome::Applied);
  TReopened r = Reopen();
  EXPECT_EQ(r.Op("Courant", "Peinture").project, project.id);
  EXPECT_DOUBLE_EQ(r.Op("Courant", "Peinture").amount, -120);
  EXPECT_EQ(r.db->FindProject(project.id)->open, 0u);
}

}  // namespace
}  // namespace ledgora::testing
