// File services of the operating system, as the rest of the program uses them.
//
// Paths are UTF-8 strings. Nothing here throws: every function reports
// success or failure, and the failing system error where it matters.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace ledgora::platform {

bool FileExists(const std::string& path);
bool IsDirectory(const std::string& path);
std::optional<std::uint64_t> FileSize(const std::string& path);
// Creates the folder and its parents; true when it exists afterwards.
bool MakeDirectories(const std::string& path);
// True when the file is gone afterwards (also when it never existed).
bool RemoveFile(const std::string& path);
// Gives the owner the write permission (the "read-only attribute" removed).
bool RemoveReadOnly(const std::string& path);

// Whole-file reads and writes; ReadFile gives none when the file cannot be read.
std::optional<std::string> ReadFile(const std::string& path);

// The result of a replacing write or copy.
struct TFileResult {
  bool ok = false;
  int error = 0;  // errno of the failing step (EROFS, ENOSPC, ...)
  explicit operator bool() const { return ok; }
};

// Replaces target with the given bytes: a temporary file in the same folder
// (mode 0600), every write checked, flushed with fsync, renamed over the
// target, the folder flushed. At no moment is the target missing or half
// written; on failure the target is untouched and the temporary file removed.
TFileResult ReplaceFileContents(const std::string& target, std::string_view bytes);

// Copies source over target the same way. With overwrite false an existing
// target is an error (EEXIST) and stays as it is.
TFileResult CopyFileSafely(const std::string& source, const std::string& target,
                           bool overwrite = true);

// Path helpers on "/"-separated paths.
std::string DirName(const std::string& path);
std::string BaseName(const std::string& path);
std::string JoinPath(const std::string& folder, const std::string& name);
std::string AbsolutePath(const std::string& path);

// The folder of the running executable.
std::string ExecutableFolder();

// An environment variable, or none when unset.
std::optional<std::string> GetEnvironment(const char* name);

}  // namespace ledgora::platform
