// The template books offered by the new-book wizard, made from category
// files.
//
// A template ("DEFAUT0.$$$", "DEFAUT1.$$$", "DEFAUT3.$$$") is an ordinary
// book of the current version with default settings, no password, no
// account and a two-level category tree. The trees are authored as category
// files (storage/templates/*.cat, UTF-8 in the source tree) and the books
// are written at build time by ledgora-make-template into the program
// folder, so that no opaque binary is kept in the sources.
//
// Category file (as the category import reads it): a first line that, when
// it holds ":", must read ":Categories" from its first ":" on (the product
// name stands before it); then one line per category, "D" (debit) or "C"
// (credit) followed by its name, each followed by its sub-categories, one
// line ":" + name each. Names are cut to 30 characters; other lines are
// ignored; a name met twice under one parent is taken once.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include "platform/user_port.h"

namespace ledgora {

struct TTemplateCategory {
  std::string name;
  bool debit = true;
  std::vector<std::string> subcategories;
};

class TCategoryFileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The tree of a category file (UTF-8 text). Throws TCategoryFileError when
// the first line is not one of a category file.
std::vector<TTemplateCategory> ParseCategoryFile(const std::string& text);

// Writes a new book holding the tree at path (replacing any file there).
// Throws TXOrvanet 20904 when it cannot be written.
void WriteTemplateBook(const std::vector<TTemplateCategory>& tree, const std::string& path,
                       TUserPort& port);

}  // namespace ledgora
