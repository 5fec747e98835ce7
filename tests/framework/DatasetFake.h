#pragma once

#include <functional>
#include <string>
#include <vector>

#include "framework/Exceptions.h"
#include "framework/RecordAccess.h"
#include "framework/TDataLink.h"
#include "framework/TDataSet.h"

namespace tabulix::test {

// A record of the in-memory dataset: one field value per column.
class MemoryRecord : public RecordAccess {
 public:
  std::vector<FieldValue> values;
  std::function<void(int)> beforeWrite;  // lets a test make the store fail
  bool peekable = true;                  // offers its values for reading without a copy

  bool IsNull(int index) const override { return values.at(index).IsNullOrEmpty(); }
  FieldValue Read(int index) const override {
    return IsNull(index) ? FieldValue::Null() : values.at(index);
  }
  void Write(int index, const FieldValue& value) override {
    if (beforeWrite) beforeWrite(index);
    values.at(index) = value.IsNullOrEmpty() ? FieldValue::Null() : value;
  }
  std::string_view BlobBytes(int index) const override {
    const FieldValue& v = values.at(index);
    return v.kind() == FieldValue::Kind::Bytes ? std::string_view(v.bytes()) : std::string_view();
  }
  const FieldValue* Peek(int index) const override {
    return peekable ? &values.at(index) : nullptr;
  }
  void WriteBlob(int index, std::string_view bytes) override {
    if (beforeWrite) beforeWrite(index);
    values.at(index) = FieldValue::Bytes(std::string(bytes));
  }
};

// A dataset over rows held in a vector, with a work record for edits and inserts; it logs
// the hooks the framework calls and can be told to refuse a post or an open.
class DatasetFake : public TDataSet {
 public:
  struct Column {
    std::string name;
    TFieldType type;
    int size = 0;
    bool required = false;
  };

  explicit DatasetFake(std::vector<Column> columns) : columns_(std::move(columns)) {}
  ~DatasetFake() override { Close(); }

  // Adds a stored row (before or while open).
  void AddRow(std::vector<FieldValue> values) {
    MemoryRecord r;
    r.values = std::move(values);
    rows.push_back(std::move(r));
  }

  RecordAccess* ActiveRecord() override {
    if (State() == dsEdit || State() == dsInsert) return &work;
    if (current < 0 || current >= static_cast<std::int64_t>(rows.size())) return nullptr;
    return &rows[static_cast<std::size_t>(current)];
  }

  std::vector<MemoryRecord> rows;
  MemoryRecord work;
  std::int64_t current = -1;
  bool failOpen = false;
  bool failPost = false;
  bool failCancel = false;
  bool failClose = false;
  std::vector<FieldValue> defaults;  // the values of a new record, when set
  std::vector<std::string> calls;

 protected:
  void InternalOpen() override {
    calls.push_back("open");
    for (const Column& c : columns_) MutableFieldDefs().Add(c.name, c.type, c.size, c.required);
    if (failOpen) throw EDatabaseError("cannot open");
  }
  void InternalClose() override {
    calls.push_back("close");
    current = -1;
    if (failClose) throw EDatabaseError("cannot release");
  }
  std::int64_t InternalRecordCount() override { return static_cast<std::int64_t>(rows.size()); }
  bool InternalGotoRecord(std::int64_t index) override {
    if (index < 0 || index >= static_cast<std::int64_t>(rows.size())) return false;
    current = index;
    return true;
  }
  void InternalInitRecord() override {
    calls.push_back(IsAppending() ? "init-append" : "init-insert");
    work.values.assign(columns_.size(), FieldValue::Null());
    if (!defaults.empty()) work.values = defaults;
  }
  void InternalEdit() override {
    calls.push_back("edit");
    work = rows.at(static_cast<std::size_t>(current));
  }
  std::int64_t InternalPost() override {
    calls.push_back("post");
    if (failPost) throw EDatabaseError("rejected by the store");
    if (State() == dsEdit) {
      rows.at(static_cast<std::size_t>(current)) = work;
      return current;
    }
    if (IsAppending() || CurrentIndex() < 0) {
      rows.push_back(work);
      return static_cast<std::int64_t>(rows.size()) - 1;
    }
    rows.insert(rows.begin() + CurrentIndex(), work);
    return CurrentIndex();
  }
  void InternalCancel() override {
    calls.push_back("cancel");
    if (failCancel) throw EDatabaseError("cannot cancel");
  }
  void InternalDelete() override {
    calls.push_back("delete");
    rows.erase(rows.begin() + current);
  }

 private:
  std::vector<Column> columns_;
};

// A link that writes down what it was told.
class RecordingLink : public TDataLink {
 public:
  std::vector<std::string> events;

 protected:
  void ActiveChanged() override { events.push_back("active"); }
  void DataSetChanged() override { events.push_back("changed"); }
  void DataSetScrolled(std::int64_t distance) override {
    events.push_back("scrolled " + std::to_string(distance));
  }
  void RecordChanged(TField* field) override {
    events.push_back("record " + (field ? field->FieldName() : std::string("*")));
  }
  void EditingChanged() override { events.push_back("editing"); }
  void UpdateData() override {
    events.push_back("update");
    if (onUpdate) onUpdate();
  }

 public:
  std::function<void()> onUpdate;
};

}  // namespace tabulix::test
