// The one door through which the storage touches files.
//
// Every read, write, copy and removal of a book file, its working copy and
// the work files goes through a TStorageFileSystem, so that tests can put a
// fault-injecting one in its place (TFaultyFileSystem): stop a change after
// its N-th write, make a write fail as on a full or read-only disk.
//
// Errors: Open, ReadAt, WriteAt and Sync throw TFileError (with the errno of
// the failing step); the other operations report failure by their result.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>

#include "platform/files.h"

namespace ledgora {

class TFileError : public std::runtime_error {
 public:
  TFileError(const std::string& what, int error) : std::runtime_error(what), error_(error) {}
  int Error() const { return error_; }

 private:
  int error_;
};

enum class TOpenMode {
  Read,       // an existing file, read only
  ReadWrite,  // an existing file, read and write, nothing truncated
  Write,      // an existing file, write only, nothing truncated
  Create,     // created or emptied, read and write
};

// An open file; closed when destroyed.
class TStorageFile {
 public:
  virtual ~TStorageFile() = default;
  // Reads up to size bytes at offset; returns how many were read (fewer at
  // the end of the file).
  virtual std::size_t ReadAt(std::uint64_t offset, void* data, std::size_t size) = 0;
  // Writes all size bytes at offset.
  virtual void WriteAt(std::uint64_t offset, const void* data, std::size_t size) = 0;
  virtual std::uint64_t Size() = 0;
  // Flushes what was written to the disk.
  virtual void Sync() = 0;
};

class TStorageFileSystem {
 public:
  virtual ~TStorageFileSystem() = default;
  virtual std::unique_ptr<TStorageFile> Open(const std::string& path, TOpenMode mode) = 0;
  virtual bool Exists(const std::string& path) = 0;
  // True when the file is gone afterwards (also when it never existed).
  virtual bool Remove(const std::string& path) = 0;
  // Gives the owner the write permission; false when the file is missing.
  virtual bool RemoveReadOnly(const std::string& path) = 0;
  // Copies source over target by the safe replace of platform/files.h
  // (temporary file beside the target, flushed, renamed over it): the target
  // is never missing or half written, and a failed copy leaves it as it was.
  virtual platform::TFileResult Copy(const std::string& source, const std::string& target,
                                     bool overwrite) = 0;
};

// The real file system of this machine.
TStorageFileSystem& SystemFileSystem();

}  // namespace ledgora
