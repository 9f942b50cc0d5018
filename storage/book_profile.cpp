#include "storage/book_profile.h"

#include "foundation/nocase.h"
#include "platform/configuration.h"
#include "platform/files.h"

namespace ledgora {

std::string InUseMarkerKey(const std::string& book_path) {
  return platform::AbsolutePath(book_path);
}

bool WriteInUseMarker(const std::string& book_path) {
  return platform::WinProfile().WriteText(kInUseSection, InUseMarkerKey(book_path), kInUseValue);
}

bool RemoveInUseMarker(const std::string& book_path) {
  return platform::WinProfile().DeleteKey(kInUseSection, InUseMarkerKey(book_path));
}

bool HasInUseMarker(const std::string& book_path) {
  return platform::WinProfile().HasKey(kInUseSection, InUseMarkerKey(book_path));
}

std::vector<std::string> RecentBooks() {
  const platform::TIniFile profile = platform::Profile();
  std::vector<std::string> entries;
  for (std::size_t i = 1; i <= kRecentCount; ++i) {
    entries.push_back(profile.ReadText(kRecentSection, std::to_string(i), ""));
  }
  return entries;
}

void EnterRecentBook(const std::string& book_path) {
  platform::TIniFile profile = platform::Profile();
  const std::vector<std::string> old = RecentBooks();
  std::size_t found = kRecentCount;  // absent: every entry moves down
  for (std::size_t i = 0; i < old.size(); ++i) {
    if (!old[i].empty() && EqualsNoCase(old[i], book_path)) {
      found = i;
      break;
    }
  }
  if (found == 0 && old[0] == book_path) return;
  std::vector<std::string> now = old;
  const std::size_t last = found < kRecentCount ? found : kRecentCount - 1;
  for (std::size_t i = last; i > 0; --i) now[i] = old[i - 1];
  now[0] = book_path;
  for (std::size_t i = 0; i < kRecentCount; ++i) {
    if (now[i] == old[i]) continue;
    const std::string key = std::to_string(i + 1);
    if (now[i].empty()) {
      profile.DeleteKey(kRecentSection, key);
    } else {
      profile.WriteText(kRecentSection, key, now[i]);
    }
  }
}

}  // namespace ledgora
