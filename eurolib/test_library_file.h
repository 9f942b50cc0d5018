// Test helpers around a shared library's file: its path, a patched copy in a
// temporary folder loaded beside the original, and a recording message hook.
// Used by the tests of both libraries.
#pragma once

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

namespace ledgora::testing {

// The file that holds a function (the library as the loader found it).
template <typename F>
std::string FileOf(F* function) {
  Dl_info info{};
  if (dladdr(reinterpret_cast<void*>(function), &info) == 0 || info.dli_fname == nullptr) return {};
  return std::filesystem::canonical(info.dli_fname).string();
}

inline std::string ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteWholeFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// Replaces every occurrence of `from` by `to` (same length); the count.
inline int ReplaceAll(std::string& bytes, const std::string& from, const std::string& to) {
  int n = 0;
  for (std::size_t p = bytes.find(from); p != std::string::npos; p = bytes.find(from, p + 1)) {
    bytes.replace(p, from.size(), to);
    ++n;
  }
  return n;
}

// A fresh temporary folder, removed with the object.
class TTemporaryFolder {
 public:
  TTemporaryFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "ledgora-lib-XXXXXX").string();
    if (mkdtemp(pattern.data()) != nullptr) path_ = pattern;
  }
  ~TTemporaryFolder() {
    std::error_code ec;
    if (!path_.empty()) std::filesystem::remove_all(path_, ec);
  }
  TTemporaryFolder(const TTemporaryFolder&) = delete;
  TTemporaryFolder& operator=(const TTemporaryFolder&) = delete;
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

// A copy of a library file (its bytes possibly changed), loaded on its own.
class TLoadedCopy {
 public:
  TLoadedCopy(const std::string& path, const std::string& bytes) : path_(path) {
    WriteWholeFile(path, bytes);
    handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  }
  ~TLoadedCopy() {
    if (handle_ != nullptr) dlclose(handle_);
  }
  TLoadedCopy(const TLoadedCopy&) = delete;
  TLoadedCopy& operator=(const TLoadedCopy&) = delete;

  bool IsLoaded() const { return handle_ != nullptr; }
  template <typename F>
  F* Function(const char* mangled_name) const {
    return reinterpret_cast<F*>(dlsym(handle_, mangled_name));
  }

 private:
  std::string path_;
  void* handle_ = nullptr;
};

// Sets an environment variable for the lifetime of the object (unset: none).
class TScopedEnvironment {
 public:
  TScopedEnvironment(const char* name, const std::optional<std::string>& value) : name_(name) {
    if (const char* old = getenv(name)) previous_ = old;
    if (value) {
      setenv(name, value->c_str(), 1);
    } else {
      unsetenv(name);
    }
  }
  ~TScopedEnvironment() {
    if (previous_) {
      setenv(name_, previous_->c_str(), 1);
    } else {
      unsetenv(name_);
    }
  }
  TScopedEnvironment(const TScopedEnvironment&) = delete;
  TScopedEnvironment& operator=(const TScopedEnvironment&) = delete;

 private:
  const char* name_;
  std::optional<std::string> previous_;
};

struct TShownMessage {
  std::string text, caption;
  unsigned style = 0;
};

// A message hook that records what the library shows and answers OK.
struct TMessageRecorder {
  std::vector<TShownMessage> shown;

  static int Hook(void* context, const char* text, const char* caption, unsigned style) {
    static_cast<TMessageRecorder*>(context)->shown.push_back({text, caption, style});
    return 1;
  }
};

}  // namespace ledgora::testing
