#include "storage/storage_file_system.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace ledgora {
namespace {

class TPosixFile final : public TStorageFile {
 public:
  TPosixFile(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}
  ~TPosixFile() override { ::close(fd_); }

  std::size_t ReadAt(std::uint64_t offset, void* data, std::size_t size) override {
    auto* out = static_cast<char*>(data);
    std::size_t done = 0;
    while (done < size) {
      const ssize_t n = ::pread(fd_, out + done, size - done, static_cast<off_t>(offset + done));
      if (n < 0) {
        if (errno == EINTR) continue;
        throw TFileError("read " + path_, errno);
      }
      if (n == 0) break;
      done += static_cast<std::size_t>(n);
    }
    return done;
  }

  void WriteAt(std::uint64_t offset, const void* data, std::size_t size) override {
    const auto* in = static_cast<const char*>(data);
    std::size_t done = 0;
    while (done < size) {
      const ssize_t n = ::pwrite(fd_, in + done, size - done, static_cast<off_t>(offset + done));
      if (n < 0) {
        if (errno == EINTR) continue;
        throw TFileError("write " + path_, errno);
      }
      done += static_cast<std::size_t>(n);
    }
  }

  std::uint64_t Size() override {
    struct stat st {};
    if (::fstat(fd_, &st) != 0) throw TFileError("stat " + path_, errno);
    return static_cast<std::uint64_t>(st.st_size);
  }

  void Sync() override {
    if (::fsync(fd_) != 0) throw TFileError("sync " + path_, errno);
  }

 private:
  int fd_;
  std::string path_;
};

class TPosixFileSystem final : public TStorageFileSystem {
 public:
  std::unique_ptr<TStorageFile> Open(const std::string& path, TOpenMode mode) override {
    int flags = O_CLOEXEC;
    switch (mode) {
      case TOpenMode::Read:
        flags |= O_RDONLY;
        break;
      case TOpenMode::ReadWrite:
        flags |= O_RDWR;
        break;
      case TOpenMode::Write:
        flags |= O_WRONLY;
        break;
      case TOpenMode::Create:
        flags |= O_RDWR | O_CREAT | O_TRUNC;
        break;
    }
    const int fd = ::open(path.c_str(), flags, 0600);
    if (fd < 0) throw TFileError("open " + path, errno);
    return std::make_unique<TPosixFile>(fd, path);
  }
  bool Exists(const std::string& path) override { return platform::FileExists(path); }
  bool Remove(const std::string& path) override { return platform::RemoveFile(path); }
  bool RemoveReadOnly(const std::string& path) override { return platform::RemoveReadOnly(path); }
  platform::TFileResult Copy(const std::string& source, const std::string& target,
                             bool overwrite) override {
    return platform::CopyFileSafely(source, target, overwrite);
  }
};

}  // namespace

TStorageFileSystem& SystemFileSystem() {
  static TPosixFileSystem system;
  return system;
}

}  // namespace ledgora
