#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "source/dbase/DbaseHeader.h"
#include "source/dbase/MemoFile.h"

namespace tabulix::source::dbase {

// The memo file of a table, found and opened on the first memo read, so that a table whose
// memo file is missing still opens and reads its other fields.
class MemoStore {
 public:
  MemoStore(std::string tablePath, MemoKind kind, DbaseDialect dialect);

  // The memo at block (not 0) for the named field. Raises tabulix::Exception when the memo
  // file is missing or damaged.
  std::string Read(std::uint32_t block, const std::string& fieldName);
  // Whether the memo file is missing; looked up once.
  bool Missing();
  // The name the missing memo file would have beside the table ("NAME.dbt").
  std::string ExpectedName() const;
  const std::string& TablePath() const { return tablePath_; }

 private:
  void Find();

  std::string tablePath_;
  MemoKind kind_;
  DbaseDialect dialect_;
  bool looked_ = false;
  std::optional<std::string> path_;  // where the memo file is, once looked up
  std::unique_ptr<MemoFile> file_;
};

}  // namespace tabulix::source::dbase
