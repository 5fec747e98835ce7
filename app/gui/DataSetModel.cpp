#include "app/gui/DataSetModel.h"

#include <QBrush>
#include <QColor>
#include <algorithm>

#include "framework/TDataSet.h"
#include "framework/TField.h"

namespace tabulix::app {

namespace {

bool IsNumeric(TFieldType type) {
  switch (type) {
    case ftSmallint:
    case ftInteger:
    case ftWord:
    case ftFloat:
    case ftCurrency:
    case ftBCD:
    case ftAutoInc:
    case ftLargeint:
      return true;
    default:
      return false;
  }
}

QString FromUtf8(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

DataSetModel::DataSetModel(QObject* parent) : QAbstractTableModel(parent) {}

void DataSetModel::SetDataSet(TDataSet* dataSet) {
  TDataLink::SetDataSet(dataSet);
  Reset();
}

void DataSetModel::Reset() {
  beginResetModel();
  const bool active = TDataLink::Active();
  // A dataset that cannot count now (for instance a damaged file) shows no records rather
  // than failing the view.
  recordCount_ = 0;
  if (active) {
    try {
      recordCount_ = DataSet()->RecordCount();
    } catch (const std::exception&) {
      recordCount_ = 0;
    }
  }
  columns_ = active ? DataSet()->FieldCount() : 0;
  top_ = std::clamp<std::int64_t>(top_, 0, std::max<std::int64_t>(0, recordCount_ - 1));
  rows_.assign(static_cast<std::size_t>(windowSize_), Row{});
  endResetModel();
}

void DataSetModel::RecordChanged(TField* /*field*/) {
  // The active record changed in place; the window re-reads what it shows.
  for (Row& row : rows_) row.loaded = false;
  if (rowCount() > 0) emit dataChanged(index(0, 0), index(rowCount() - 1, columns_ - 1));
}

std::int64_t DataSetModel::MaxTop(int rows) const {
  return std::max<std::int64_t>(0, recordCount_ - rows);
}

void DataSetModel::SetWindow(std::int64_t top, int rows) {
  rows = std::max(rows, 0);
  top = std::clamp<std::int64_t>(top, 0, std::max<std::int64_t>(0, recordCount_ - 1));
  if (top == top_ && rows == windowSize_) return;
  const int oldCount = rowCount();
  // Rows still in the window keep their texts.
  std::vector<Row> rows2(static_cast<std::size_t>(rows));
  for (int i = 0; i < rows; ++i) {
    std::int64_t old = top + i - top_;
    if (old >= 0 && old < static_cast<std::int64_t>(rows_.size())) {
      rows2[static_cast<std::size_t>(i)] = std::move(rows_[static_cast<std::size_t>(old)]);
    }
  }
  rows_ = std::move(rows2);
  top_ = top;
  windowSize_ = rows;
  const int newCount = rowCount();
  if (newCount > oldCount) {
    beginInsertRows({}, oldCount, newCount - 1);
    endInsertRows();
  } else if (newCount < oldCount) {
    beginRemoveRows({}, newCount, oldCount - 1);
    endRemoveRows();
  }
  if (newCount > 0 && columns_ > 0) {
    emit dataChanged(index(0, 0), index(newCount - 1, columns_ - 1));
  }
}

int DataSetModel::rowCount(const QModelIndex& parent) const {
  if (parent.isValid()) return 0;
  return static_cast<int>(std::clamp<std::int64_t>(recordCount_ - top_, 0, windowSize_));
}

int DataSetModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : columns_;
}

bool DataSetModel::CanRead() const {
  TDataSet* dataSet = DataSet();
  return dataSet && dataSet->State() == dsBrowse && !dataSet->ControlsDisabled();
}

void DataSetModel::LoadWindow() const {
  if (reading_ || !CanRead()) return;
  TDataSet& dataSet = *DataSet();
  reading_ = true;
  const std::int64_t saved = dataSet.RecNo();
  const bool bof = dataSet.Bof();
  const bool eof = dataSet.Eof();
  try {
    const int count = rowCount();
    for (int i = 0; i < count; ++i) {
      Row& row = rows_[static_cast<std::size_t>(i)];
      if (!row.loaded) ReadRow(top_ + i, row);
    }
    // Back to where the cursor was, with the same Bof and Eof, so a loop over the records
    // that repaints between two steps goes on as if nothing had happened.
    if (saved > 0 && dataSet.RecNo() != saved) dataSet.MoveToRecord(saved);
    if (bof && saved == 1) dataSet.Prior();                         // stays on the first record
    if (eof && saved > 0 && saved == recordCount_) dataSet.Next();  // stays on the last one
  } catch (const std::exception&) {
    // A cursor that cannot move back is left where it is; the cells say what failed.
  }
  reading_ = false;
}

void DataSetModel::ReadRow(std::int64_t record, Row& row) const {
  TDataSet& dataSet = *DataSet();
  row.cells.assign(static_cast<std::size_t>(columns_), QString());
  row.failed.assign(static_cast<std::size_t>(columns_), false);
  row.loaded = true;
  try {
    if (!dataSet.MoveToRecord(record + 1)) return;
  } catch (const std::exception& e) {
    for (int c = 0; c < columns_; ++c) {
      row.cells[static_cast<std::size_t>(c)] = FromUtf8(e.what());
      row.failed[static_cast<std::size_t>(c)] = true;
    }
    return;
  }
  for (int c = 0; c < columns_; ++c) {
    try {
      row.cells[static_cast<std::size_t>(c)] = FromUtf8(dataSet.Fields(c).DisplayText());
    } catch (const std::exception& e) {
      row.cells[static_cast<std::size_t>(c)] = FromUtf8(e.what());
      row.failed[static_cast<std::size_t>(c)] = true;
    }
  }
}

QVariant DataSetModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount() || index.column() >= columns_) return {};
  const auto column = static_cast<std::size_t>(index.column());
  if (role == Qt::TextAlignmentRole) {
    const bool right = IsNumeric(DataSet()->Fields(index.column()).DataType());
    return QVariant::fromValue(Qt::AlignVCenter | (right ? Qt::AlignRight : Qt::AlignLeft));
  }
  if (role != Qt::DisplayRole && role != Qt::ToolTipRole && role != Qt::ForegroundRole) return {};
  const Row& row = rows_[static_cast<std::size_t>(index.row())];
  if (!row.loaded) LoadWindow();
  if (!row.loaded) return {};
  if (role == Qt::ForegroundRole) {
    return row.failed[column] ? QVariant(QBrush(QColor(192, 0, 0))) : QVariant();
  }
  return row.cells[column];
}

QVariant DataSetModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole) return {};
  if (orientation == Qt::Vertical) return QString::number(top_ + section + 1);
  if (section < 0 || section >= columns_) return {};
  return FromUtf8(DataSet()->Fields(section).DisplayName());
}

}  // namespace tabulix::app
