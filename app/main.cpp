// ledgora: the account-book manager.
//
//   ledgora [FILE]   FILE: an account book (".VX") to open, or a statement
//                    file to import into the book opened at start
#include <string>

#include "app/ledgora_app.h"
#include "app/qt_user_port.h"

int main(int argc, char** argv) {
  ledgora::app::CLedgoraApplication qapp(argc, argv);
  // The command line is one text, as the hand-over sends it.
  std::string command_line;
  for (int i = 1; i < argc; ++i) {
    if (!command_line.empty()) command_line += ' ';
    command_line += argv[i];
  }
  ledgora::app::CQtUserPort port;
  ledgora::app::CLedgoraApp app(port);
  if (!app.InitInstance(command_line)) return 0;
  return app.Run();
}
