// ledgora-make-template CATEGORY_FILE BOOK: writes a template book of the
// new-book wizard from a category file (run by the build; see
// storage/book_templates.h).
#include <cstdio>
#include <exception>

#include "platform/files.h"
#include "platform/scripted_user_port.h"
#include "storage/book_templates.h"
#include "storage/xorvanet.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s CATEGORY_FILE BOOK\n", argv[0]);
    return 2;
  }
  const std::optional<std::string> text = ledgora::platform::ReadFile(argv[1]);
  if (!text) {
    std::fprintf(stderr, "%s: cannot read %s\n", argv[0], argv[1]);
    return 1;
  }
  try {
    const auto tree = ledgora::ParseCategoryFile(*text);
    if (tree.empty()) {
      std::fprintf(stderr, "%s: %s holds no category\n", argv[0], argv[1]);
      return 1;
    }
    ledgora::TScriptedUserPort port;  // nothing is asked
    ledgora::platform::RemoveFile(argv[2]);
    ledgora::WriteTemplateBook(tree, argv[2], port);
  } catch (const ledgora::TXOrvanet& e) {
    std::fprintf(stderr, "%s: %s\n", argv[0], e.Message().c_str());
    return 1;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s: %s: %s\n", argv[0], argv[1], e.what());
    return 1;
  }
  return 0;
}
