// The pictures of the resource library, drawn at first request: the banner,
// the small logo, the two 256-colour pictures and the two icon groups.
#pragma once

#include <cstddef>

namespace ledgora::ldres {

// A picture by type and identifier (see eurolib/library_api.h for the codes).
int FindPicture(unsigned type, unsigned id, const unsigned char** data, std::size_t* size);

}  // namespace ledgora::ldres
