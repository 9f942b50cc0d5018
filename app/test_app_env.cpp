#include "app/test_app_env.h"

#include <QUuid>
#include <cstdlib>
#include <filesystem>

#include "demo/book_generator.h"
#include "platform/configuration.h"
#include "storage/book_profile.h"

namespace ledgora::app::testing {

void TAppTest::SetUp() {
  char pattern[] = "/tmp/ledgora-app-XXXXXX";
  home_ = mkdtemp(pattern);
  setenv("LEDGORA_HOME", home_.c_str(), 1);
  platform::ResetConfiguration();
}

void TAppTest::TearDown() {
  app_.reset();
  platform::ResetConfiguration();
  std::error_code ignored;
  std::filesystem::remove_all(home_, ignored);
}

std::string TAppTest::MakeFixtureBook(const std::string& name) {
  TBookGeneratorOptions options;
  options.operations = 80;
  options.seed = 7;
  options.months = 3;
  const std::string path = PathOf(name);
  GenerateBook(path, options, port_);
  port_.Clear();
  return path;
}

CLedgoraApp& TAppTest::Start(const std::string& book, const std::string& command_line) {
  platform::ProfileWriteText("Setup", "LDatabase", book);
  app_ = std::make_unique<CLedgoraApp>(port_);
  instance_name_ = "ledgora-test-" + QUuid::createUuid().toString(QUuid::Id128);
  app_->SetInstanceName(instance_name_);
  EXPECT_TRUE(app_->InitInstance(command_line));
  return *app_;
}

}  // namespace ledgora::app::testing
