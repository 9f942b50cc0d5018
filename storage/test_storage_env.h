// What the storage tests share: a fresh LEDGORA_HOME per test, a scripted
// user port, books made and reopened, the bytes of a file.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>

#include "platform/scripted_user_port.h"
#include "storage/database.h"

namespace ledgora::testing {

class TStorageTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // A path in the test's home folder.
  std::string PathOf(const std::string& name) const;
  // A new, saved, empty book opened on name; writes are not flushed.
  std::unique_ptr<TDatabase> NewBook(const std::string& name = "Livre.VX",
                                     TStorageFileSystem& files = SystemFileSystem());
  // A TDatabase constructed on name and opened (without a password question).
  std::unique_ptr<TDatabase> OpenBook(const std::string& name = "Livre.VX",
                                      TStorageFileSystem& files = SystemFileSystem());
  // Copies a fixture book into the home folder under the same name.
  std::string CopyFixture(const std::string& name);

  std::string home_;
  TScriptedUserPort port_;
};

std::string ReadAll(const std::string& path);
void WriteAll(const std::string& path, const std::string& bytes);
std::uint32_t U32At(const std::string& bytes, std::size_t offset);
std::uint16_t U16At(const std::string& bytes, std::size_t offset);
void PutU32At(std::string& bytes, std::size_t offset, std::uint32_t value);

// A record with the fields the tests care about.
std::unique_ptr<TAccountRecord> Account(const std::string& name, std::uint16_t type = 0);
std::unique_ptr<TOperationRecord> Operation(const std::string& date, double amount,
                                            const std::string& label = "op");
std::unique_ptr<TCategoryRecord> Category(const std::string& name, std::uint32_t debit = 1);

// The labels of an account's operations in list order, joined by spaces.
std::string Labels(TAccountRecord& account);

}  // namespace ledgora::testing
