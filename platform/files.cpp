#include "platform/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <random>

namespace ledgora::platform {
namespace {

bool WriteAll(int fd, const char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t n = ::write(fd, data, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

void SyncFolder(const std::string& folder) {
  const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY);
  if (fd >= 0) {
    ::fsync(fd);
    ::close(fd);
  }
}

std::string TemporaryNameBeside(const std::string& target) {
  static std::mt19937_64 rng{std::random_device{}()};
  char suffix[32];
  std::snprintf(suffix, sizeof suffix, ".%016llx.tmp", static_cast<unsigned long long>(rng()));
  return target + suffix;
}

// Creates a temporary file beside target, lets fill() write into it, then
// renames it over target.
template <class Fill>
TFileResult ReplaceWith(const std::string& target, Fill fill) {
  const std::string temp = TemporaryNameBeside(target);
  const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (fd < 0) return TFileResult{false, errno};
  int error = fill(fd);
  if (error == 0 && ::fsync(fd) != 0) error = errno;
  if (::close(fd) != 0 && error == 0) error = errno;
  if (error == 0 && ::rename(temp.c_str(), target.c_str()) != 0) error = errno;
  if (error != 0) {
    ::unlink(temp.c_str());
    return TFileResult{false, error};
  }
  SyncFolder(DirName(target));
  return TFileResult{true, 0};
}

}  // namespace

bool FileExists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool IsDirectory(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::optional<std::uint64_t> FileSize(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return std::nullopt;
  return static_cast<std::uint64_t>(st.st_size);
}

bool MakeDirectories(const std::string& path) {
  std::error_code ec;
  std::filesystem::create_directories(path, ec);
  return IsDirectory(path);
}

bool RemoveFile(const std::string& path) {
  if (::unlink(path.c_str()) == 0) return true;
  return errno == ENOENT;
}

bool RemoveReadOnly(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return false;
  if (st.st_mode & S_IWUSR) return true;
  return ::chmod(path.c_str(), st.st_mode | S_IWUSR) == 0;
}

std::optional<std::string> ReadFile(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  std::string data;
  char buf[65536];
  for (;;) {
    const ssize_t n = ::read(fd, buf, sizeof buf);
    if (n < 0) {
      if (errno == EINTR) continue;
      ::close(fd);
      return std::nullopt;
    }
    if (n == 0) break;
    data.append(buf, static_cast<std::size_t>(n));
  }
  ::close(fd);
  return data;
}

TFileResult ReplaceFileContents(const std::string& target, std::string_view bytes) {
  return ReplaceWith(target,
                     [&](int fd) { return WriteAll(fd, bytes.data(), bytes.size()) ? 0 : errno; });
}

TFileResult CopyFileSafely(const std::string& source, const std::string& target, bool overwrite) {
  if (!overwrite && ::access(target.c_str(), F_OK) == 0) return TFileResult{false, EEXIST};
  const int in = ::open(source.c_str(), O_RDONLY | O_CLOEXEC);
  if (in < 0) return TFileResult{false, errno};
  TFileResult result = ReplaceWith(target, [&](int out) {
    char buf[1 << 16];
    for (;;) {
      const ssize_t n = ::read(in, buf, sizeof buf);
      if (n < 0) {
        if (errno == EINTR) continue;
        return errno;
      }
      if (n == 0) return 0;
      if (!WriteAll(out, buf, static_cast<std::size_t>(n))) return errno;
    }
  });
  ::close(in);
  return result;
}

std::string DirName(const std::string& path) {
  const auto slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string BaseName(const std::string& path) {
  const auto slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string JoinPath(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  if (folder.back() == '/') return folder + name;
  return folder + "/" + name;
}

std::string AbsolutePath(const std::string& path) {
  std::error_code ec;
  auto abs = std::filesystem::absolute(path, ec);
  if (ec) return path;
  return abs.lexically_normal().string();
}

std::string ExecutableFolder() {
  char buf[PATH_MAX];
  const ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return ".";
  return DirName(std::string(buf, static_cast<std::size_t>(n)));
}

std::optional<std::string> GetEnvironment(const char* name) {
  const char* v = std::getenv(name);
  if (!v) return std::nullopt;
  return std::string(v);
}

}  // namespace ledgora::platform
