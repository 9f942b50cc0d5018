// What a book leaves in the profiles: the in-use marker and the recent books.
//
// In-use marker: in the user's main profile (win.ini), section "Ledgora",
// the key is the book's absolute path and the value "OnUse". It tells this
// user's own earlier run from another machine's that shares the folder.
//
// Recent books: section "Recent" of the per-user profile, keys "1" to "4",
// the most recent first; paths compare without regard to case.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace ledgora {

inline constexpr std::string_view kInUseSection = "Ledgora";
inline constexpr std::string_view kInUseValue = "OnUse";
inline constexpr std::string_view kRecentSection = "Recent";
inline constexpr std::size_t kRecentCount = 4;

// The key of a book's marker: its absolute path.
std::string InUseMarkerKey(const std::string& book_path);
bool WriteInUseMarker(const std::string& book_path);
bool RemoveInUseMarker(const std::string& book_path);
bool HasInUseMarker(const std::string& book_path);

// Puts the path under "1": the entries above its former place (all of them
// when it was absent, the fourth then dropping out) move down by one.
void EnterRecentBook(const std::string& book_path);
// The entries "1" to "4" in order ("" for a missing one).
std::vector<std::string> RecentBooks();

}  // namespace ledgora
