#include "eurolib/library_identity.h"

#include <dlfcn.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>

#include "eurolib/version_block.h"

namespace ledgora::eurolib {

namespace {

TLibraryMessageHook g_hook = nullptr;
void* g_hook_context = nullptr;

// Any object of this file: its address tells the loader which module we are.
const char kModuleAnchor = 0;

std::string Resolved(const std::string& path) {
  char resolved[PATH_MAX];
  if (!path.empty() && ::realpath(path.c_str(), resolved) != nullptr) return resolved;
  return path;
}

bool IsDirectory(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string ExecutableFolder() {
  char path[PATH_MAX];
  const ssize_t n = ::readlink("/proc/self/exe", path, sizeof path - 1);
  if (n <= 0) return {};
  std::string exe(path, static_cast<std::size_t>(n));
  const std::size_t slash = exe.rfind('/');
  if (slash == std::string::npos) return {};
  return slash == 0 ? "/" : exe.substr(0, slash);
}

std::string WithoutTrailingSlashes(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

char LowerAscii(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    if (LowerAscii(text[i]) != LowerAscii(prefix[i])) return false;
  }
  return true;
}

}  // namespace

void SetMessageHook(TLibraryMessageHook hook, void* context) {
  g_hook = hook;
  g_hook_context = context;
}

int ShowMessage(const char* text, const char* caption, unsigned style) {
  if (text == nullptr) text = "";
  if (caption == nullptr) caption = "";
  if (g_hook != nullptr) return g_hook(g_hook_context, text, caption, style);
  std::fprintf(stderr, "%s: %s\n", caption, text);
  return kLibraryAnswerOk;
}

std::string OwnModulePath() {
  Dl_info info{};
  if (::dladdr(&kModuleAnchor, &info) == 0 || info.dli_fname == nullptr) return {};
  return Resolved(info.dli_fname);
}

std::string SystemFolder() {
  if (const char* folder = std::getenv("LEDGORA_SYSTEM_DIR"); folder != nullptr && *folder) {
    return folder;
  }
  const std::string exe_folder = ExecutableFolder();
  if (exe_folder.empty()) return {};
  const std::string installed = exe_folder + "/../lib";
  if (IsDirectory(installed)) return Resolved(installed);
  return exe_folder;
}

const char* LibraryVersionText(int folder_check, std::string_view file_name, char (&buffer)[21]) {
  const std::string module = OwnModulePath();
  if (module.empty()) return nullptr;
  std::string file;
  if (folder_check == 0) {
    // Step 1: the library must lie in the system folder. The folder as the
    // file system spells it (the module path's own prefix) names the copy to
    // examine, so that a folder written in other letter case still passes.
    const std::string folder = WithoutTrailingSlashes(Resolved(SystemFolder()));
    if (folder.empty() || !StartsWithNoCase(module, folder)) return nullptr;
    file = module.substr(0, folder.size());
    if (file.back() != '/') file += '/';
    file += file_name;
  } else {
    // Step 2: the bare file name, resolved as the loader resolved it: the
    // library that is loaded.
    file = module;
  }
  // Steps 3 to 5.
  const std::optional<std::string> block = ReadVersionBlock(file);
  if (!block) return nullptr;
  const std::optional<std::string> version = ProductVersionOf(*block);
  if (!version) return nullptr;
  const std::size_t n = std::min<std::size_t>(version->size(), sizeof buffer - 1);
  std::memcpy(buffer, version->data(), n);
  buffer[n] = '\0';
  return buffer;
}

}  // namespace ledgora::eurolib
