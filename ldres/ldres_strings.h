// The string table of the resource library (22504 and 22507 to 22526).
#pragma once

#include <optional>
#include <string_view>

namespace ledgora::ldres {

// The UTF-8 text of a string resource, or none for an unknown identifier.
std::optional<std::string_view> FindString(unsigned id);

}  // namespace ledgora::ldres
