#include "storage/test_storage_env.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/configuration.h"
#include "platform/files.h"

namespace ledgora::testing {

void TStorageTest::SetUp() {
  char pattern[] = "/tmp/ledgora-storage-XXXXXX";
  const char* dir = mkdtemp(pattern);
  ASSERT_NE(dir, nullptr);
  home_ = dir;
  setenv("LEDGORA_HOME", home_.c_str(), 1);
  platform::ResetConfiguration();
}

void TStorageTest::TearDown() {
  std::error_code ec;
  std::filesystem::remove_all(home_, ec);
  unsetenv("LEDGORA_HOME");
  platform::ResetConfiguration();
}

std::string TStorageTest::PathOf(const std::string& name) const {
  return platform::JoinPath(home_, name);
}

std::unique_ptr<TDatabase> TStorageTest::NewBook(const std::string& name,
                                                 TStorageFileSystem& files) {
  auto db = std::make_unique<TDatabase>(PathOf(name), port_, files);
  db->SetDurable(false);
  db->CreateEmptyBook();
  EXPECT_TRUE(db->Save());
  return db;
}

std::unique_ptr<TDatabase> TStorageTest::OpenBook(const std::string& name,
                                                  TStorageFileSystem& files) {
  auto db = std::make_unique<TDatabase>(PathOf(name), port_, files);
  db->SetDurable(false);
  db->Open(false);
  return db;
}

std::string TStorageTest::CopyFixture(const std::string& name) {
  const std::string target = PathOf(name);
  WriteAll(target, ReadAll(std::string(LEDGORA_FIXTURE_BOOKS_DIR) + "/" + name));
  return target;
}

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void WriteAll(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::uint32_t U32At(const std::string& bytes, std::size_t offset) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data() + offset);
  return static_cast<std::uint32_t>(p[0] | p[1] << 8 | p[2] << 16) |
         static_cast<std::uint32_t>(p[3]) << 24;
}

std::uint16_t U16At(const std::string& bytes, std::size_t offset) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data() + offset);
  return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

void PutU32At(std::string& bytes, std::size_t offset, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[offset + i] = static_cast<char>(value >> (8 * i));
}

std::unique_ptr<TAccountRecord> Account(const std::string& name, std::uint16_t type) {
  auto a = std::make_unique<TAccountRecord>();
  a->name = name;
  a->account_type = type;
  return a;
}

std::unique_ptr<TOperationRecord> Operation(const std::string& date, double amount,
                                            const std::string& label) {
  auto op = std::make_unique<TOperationRecord>();
  op->date = KDate::FromText(date, KD_STANDARD);
  op->amount = amount;
  op->label = label;
  return op;
}

std::unique_ptr<TCategoryRecord> Category(const std::string& name, std::uint32_t debit) {
  auto c = std::make_unique<TCategoryRecord>();
  c->name = name;
  c->debit = debit;
  return c;
}

std::string Labels(TAccountRecord& account) {
  std::string out;
  for (const TOperationRecord& op : account.Operations().Records<TOperationRecord>()) {
    if (!out.empty()) out += ' ';
    out += op.label;
  }
  return out;
}

}  // namespace ledgora::testing
