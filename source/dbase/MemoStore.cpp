#include "source/dbase/MemoStore.h"

#include <utility>

#include "framework/Exceptions.h"
#include "source/dbase/CompanionFile.h"

namespace tabulix::source::dbase {

MemoStore::MemoStore(std::string tablePath, MemoKind kind, DbaseDialect dialect)
    : tablePath_(std::move(tablePath)), kind_(kind), dialect_(dialect) {}

std::string MemoStore::ExpectedName() const {
  return CompanionFileName(tablePath_, kind_ == MemoKind::Fpt ? ".fpt" : ".dbt");
}

void MemoStore::Find() {
  if (looked_) return;
  looked_ = true;
  path_ = FindCompanionFile(tablePath_, kind_ == MemoKind::Fpt ? ".fpt" : ".dbt");
  if (kind_ == MemoKind::None) {
    // The version byte announces no memo file, yet a field points into one: take what is there.
    if (auto fpt = FindCompanionFile(tablePath_, ".fpt")) {
      kind_ = MemoKind::Fpt;
      path_ = fpt;
    } else {
      bool dbaseIV = dialect_ == DbaseDialect::DBase4 || dialect_ == DbaseDialect::DBase7;
      kind_ = dbaseIV ? MemoKind::DbtIV : MemoKind::DbtIII;
    }
  }
}

bool MemoStore::Missing() {
  Find();
  return !path_;
}

std::string MemoStore::Read(std::uint32_t block, const std::string& fieldName) {
  if (!file_) {
    if (Missing()) {
      throw Exception(tablePath_ + ": memo file " + ExpectedName() +
                      " not found (needed for field '" + fieldName + "')");
    }
    file_ = OpenMemoFile(kind_, *path_);
  }
  return file_->Read(block);
}

}  // namespace tabulix::source::dbase
