// The QApplication of the window tests (offscreen unless a platform is set).
#include <gtest/gtest.h>

#include <QtGlobal>
#include <cstdlib>

#include "app/ledgora_app.h"

namespace {

// The offscreen platform says at every window that it cannot size it to its
// hints; nothing else is kept out of the output.
QtMessageHandler previous_handler = nullptr;

void QuietHandler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (message.contains("propagateSizeHints")) return;
  if (previous_handler) previous_handler(type, context, message);
}

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  previous_handler = qInstallMessageHandler(QuietHandler);
  ::testing::InitGoogleTest(&argc, argv);
  ledgora::app::CLedgoraApplication app(argc, argv);
  return RUN_ALL_TESTS();
}
