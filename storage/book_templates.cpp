#include "storage/book_templates.h"

#include "foundation/cp1252.h"
#include "foundation/nocase.h"
#include "storage/database.h"

namespace ledgora {
namespace {

constexpr std::size_t kNameChars = 30;

std::string NameOf(std::string_view line) {
  std::string_view rest = line.substr(1);
  while (!rest.empty() && (rest.back() == ' ' || rest.back() == '\t')) rest.remove_suffix(1);
  return std::string(Utf8Prefix(rest, kNameChars));
}

}  // namespace

std::vector<TTemplateCategory> ParseCategoryFile(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(std::move(line));
    start = end + 1;
  }
  if (lines.empty()) return {};
  const std::size_t colon = lines[0].find(':');
  if (colon != std::string::npos && lines[0].substr(colon) != ":Categories") {
    throw TCategoryFileError("not a category file");
  }
  std::vector<TTemplateCategory> tree;
  TTemplateCategory* current = nullptr;
  for (std::size_t i = 1; i < lines.size(); ++i) {
    const std::string& line = lines[i];
    if (line.empty()) continue;
    const std::string name = NameOf(line);
    if (name.empty()) continue;
    if (line[0] == 'D' || line[0] == 'C') {
      const bool debit = line[0] == 'D';
      current = nullptr;
      for (TTemplateCategory& c : tree) {
        if (c.debit == debit && EqualsNoCase(c.name, name)) current = &c;
      }
      if (!current) {
        tree.push_back({name, debit, {}});
        current = &tree.back();
      }
    } else if (line[0] == ':' && current) {
      bool known = false;
      for (const std::string& sub : current->subcategories)
        known = known || EqualsNoCase(sub, name);
      if (!known) current->subcategories.push_back(name);
    }
  }
  return tree;
}

void WriteTemplateBook(const std::vector<TTemplateCategory>& tree, const std::string& path,
                       TUserPort& port) {
  TDatabase book(TDatabaseFile::TWorkFile{path}, port);
  book.SetDurable(false);
  book.CreateEmptyBook();
  {
    TWritePhase phase(book);
    for (const TTemplateCategory& c : tree) {
      auto category = std::make_unique<TCategoryRecord>();
      category->name = c.name;
      category->debit = c.debit ? 1 : 0;
      TCategoryRecord& parent = book.AddCategory(std::move(category));
      for (const std::string& name : c.subcategories) {
        auto sub = std::make_unique<TCategoryRecord>();
        sub->name = name;
        sub->debit = parent.debit;
        book.AddCategory(std::move(sub), &parent);
      }
    }
  }
}

}  // namespace ledgora
