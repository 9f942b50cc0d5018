// The version block of libOrvEuro32.so (see version_block.h), placed in its
// own section of the library file.
#include <array>

#include "eurolib/version_block.h"

namespace ledgora::eurolib {

namespace {

using namespace std::string_view_literals;

constexpr TVersionEntry kEntries[] = {
    {"\\VarFileInfo\\Translation", "\x0c\x04\xb0\x04"sv},
    {"\\StringFileInfo\\040c04b0\\CompanyName", "Orvane"},
    {"\\StringFileInfo\\040c04b0\\FileDescription", "Librairie Europe du Orvane"},
    {"\\StringFileInfo\\040c04b0\\FileVersion", "1.1.304"},
    {"\\StringFileInfo\\040c04b0\\OriginalFilename", "ORVEURO32.DLL"},
    {"\\StringFileInfo\\040c04b0\\ProductVersion", "1.1.304"},
};

[[gnu::used, gnu::section(".ledgora.version")]] constexpr auto kVersionBlock =
    BuildVersionBlock<VersionBlockSize(kEntries)>(kEntries);

}  // namespace

}  // namespace ledgora::eurolib
