// The version block of libLDRES.so (see eurolib/version_block.h), placed in
// its own section of the library file.
#include <array>

#include "eurolib/version_block.h"

namespace ledgora::ldres {

namespace {

using namespace std::string_view_literals;
using eurolib::TVersionEntry;

constexpr TVersionEntry kEntries[] = {
    {"\\VarFileInfo\\Translation", "\x0c\x04\xb0\x04"sv},
    {"\\StringFileInfo\\040c04b0\\CompanyName", "Orvane"},
    {"\\StringFileInfo\\040c04b0\\FileDescription", "Librairie ressource Ledgora"},
    {"\\StringFileInfo\\040c04b0\\FileVersion", "1.2"},
    {"\\StringFileInfo\\040c04b0\\OriginalFilename", "LDRES.DLL"},
    {"\\StringFileInfo\\040c04b0\\ProductVersion", "1.2"},
};

[[gnu::used, gnu::section(".ledgora.version")]] constexpr auto kVersionBlock =
    eurolib::BuildVersionBlock<eurolib::VersionBlockSize(kEntries)>(kEntries);

}  // namespace

}  // namespace ledgora::ldres
