// What the window tests share: a fresh LEDGORA_HOME, a scripted user port,
// a small fixture book, the program started on it.
#pragma once

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <memory>
#include <string>

#include "app/ledgora_app.h"
#include "app/main_frame.h"
#include "platform/scripted_user_port.h"

namespace ledgora::app::testing {

// The scripted port that also keeps every message and text request whole
// (the dialog pictures show them as the user sees them).
class TCatchingPort : public TScriptedUserPort {
 public:
  TReply Message(const TMessage& m) override {
    messages.push_back(m);
    return TScriptedUserPort::Message(m);
  }
  std::optional<std::string> AskText(const TTextRequest& r) override {
    requests.push_back(r);
    return TScriptedUserPort::AskText(r);
  }
  std::vector<TMessage> messages;
  std::vector<TTextRequest> requests;
};

class TAppTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  std::string PathOf(const std::string& name) const { return home_ + "/" + name; }
  // A book of a few accounts and operations, closed, at PathOf(name).
  std::string MakeFixtureBook(const std::string& name = "Fixture.VX");
  // The program started with "Setup"/"LDatabase" naming book (empty: none).
  CLedgoraApp& Start(const std::string& book, const std::string& command_line = {});
  CMainFrame& Frame() { return *app_->Frame(); }
  // Runs the event loop until pred holds or 3 s have passed.
  template <class P>
  bool ProcessUntil(P pred) {
    QElapsedTimer timer;
    timer.start();
    while (!pred() && timer.elapsed() < 3000) {
      QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return pred();
  }

  std::string home_;
  QString instance_name_;
  TCatchingPort port_;
  std::unique_ptr<CLedgoraApp> app_;
};

}  // namespace ledgora::app::testing
