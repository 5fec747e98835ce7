#include "source/dbase/MemoStore.h"

#include <utility>

#include "framework/Exceptions.h"
#include "source/dbase/CompanionFile.h"

namespace tabulix::source::dbase {

MemoStore::MemoStore(std::string tablePath, MemoKind kind, DbaseDialect dialect)
    : tablePath_(std::move(tablePath)), kind_(kind), dialect_(dialect) {}

std::string MemoStore::Read(std::uint32_t block, const std::string& fieldName) {
  return File(fieldName).Read(block);
}

MemoFile& MemoStore::File(const std::string& fieldName) {
  if (file_) return *file_;
  MemoKind kind = kind_;
  std::string extension = kind == MemoKind::Fpt ? ".fpt" : ".dbt";
  std::optional<std::string> path = FindCompanionFile(tablePath_, extension);
  if (kind == MemoKind::None) {
    // The version byte announces no memo file, yet a field points into one: take what is there.
    if (auto fpt = FindCompanionFile(tablePath_, ".fpt")) {
      kind = MemoKind::Fpt;
      path = fpt;
    } else {
      bool dbaseIV = dialect_ == DbaseDialect::DBase4 || dialect_ == DbaseDialect::DBase7;
      kind = dbaseIV ? MemoKind::DbtIV : MemoKind::DbtIII;
    }
  }
  if (!path) {
    throw Exception(tablePath_ + ": memo file " + CompanionFileName(tablePath_, extension) +
                    " not found (needed for field '" + fieldName + "')");
  }
  file_ = OpenMemoFile(kind, *path);
  return *file_;
}

}  // namespace tabulix::source::dbase
