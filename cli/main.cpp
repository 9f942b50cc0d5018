// ledgora-cli: the core of Ledgora from the command line.
#include <cstdio>
#include <cstring>

namespace {

const char kUsage[] =
    "Usage: ledgora-cli COMMAND [ARGS...]\n"
    "\n"
    "Ledgora, the account-book manager, from the command line.\n"
    "\n"
    "Commands:\n"
    "  help        this text\n"
    "\n"
    "Exit codes: 0 success, 1 refused, 2 bad usage, 3 storage failure.\n";

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || std::strcmp(argv[1], "help") == 0 || std::strcmp(argv[1], "--help") == 0) {
    std::fputs(kUsage, stdout);
    return argc < 2 ? 2 : 0;
  }
  std::fprintf(stderr, "ledgora-cli: unknown command \"%s\"\n", argv[1]);
  return 2;
}
