// ledgora-demo-book: writes the demo book, or lists the accounts of a book.
//
//   ledgora-demo-book make PATH    writes the demo book at PATH (a ".VX" path)
//   ledgora-demo-book list PATH    one line per account of the book at PATH
//
// Exit codes: 0 success, 2 bad usage, 3 storage failure.
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>

#include "demo/demo_book.h"
#include "platform/scripted_user_port.h"
#include "storage/xorvanet.h"

namespace {

// Nothing here asks a question: a book without a password, opened without
// asking for one. Messages of the storage go to the standard error stream.
class TStderrPort : public ledgora::TScriptedUserPort {
 public:
  ledgora::TReply Message(const ledgora::TMessage& message) override {
    std::fprintf(stderr, "ledgora-demo-book: %s\n", message.text.c_str());
    return {ledgora::TButton::Ok, false};
  }
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3 || (std::strcmp(argv[1], "make") != 0 && std::strcmp(argv[1], "list") != 0)) {
    std::fputs("Usage: ledgora-demo-book make|list PATH.VX\n", stderr);
    return 2;
  }
  TStderrPort port;
  try {
    if (std::strcmp(argv[1], "make") == 0) {
      ledgora::BuildDemoBook(argv[2], port);
    } else {
      for (const std::string& line : ledgora::DescribeBook(argv[2], port)) {
        std::printf("%s\n", line.c_str());
      }
    }
  } catch (const ledgora::TXOrvanet& x) {
    std::fprintf(stderr, "ledgora-demo-book: %s\n", x.Message().c_str());
    return 3;
  } catch (const std::exception& x) {
    std::fprintf(stderr, "ledgora-demo-book: %s\n", x.what());
    return 2;
  }
  return 0;
}
