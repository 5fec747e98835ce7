#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <functional>
#include <memory>
#include <vector>

#include "dataset/ZBufferField.h"
#include "dataset/ZSqlBuffer.h"
#include "dataset/ZSqlBufferOwner.h"
#include "framework/Exceptions.h"
#include "framework/FieldFactory.h"

namespace tabulix::test {

// A dataset stand-in that counts the hooks the buffer calls.
class FakeBufferOwner : public TSqlBufferOwner {
 public:
  ServerKind DatabaseType() const override { return serverKind; }
  void AfterCopyRecord(TSqlBuffer&, const std::byte*, std::byte*) override { ++copies; }
  void BeforeClearRecord(TSqlBuffer&, std::byte*) override {
    ++clears;
    if (failClear) throw Exception("clear refused");
  }
  void DoProgress(int stage, int, int position, int max, bool&) override {
    progress.push_back({stage, position, max});
  }
  bool AcceptRecord(const TSqlBuffer&, const std::byte* record) override {
    return !accept || accept(record);
  }

  struct Progress {
    int stage, position, max;
  };
  ServerKind serverKind = skMySql;
  int copies = 0;
  int clears = 0;
  bool failClear = false;
  std::vector<Progress> progress;
  std::function<bool(const std::byte*)> accept;
};

class SqlBufferTest : public ::testing::Test {
 protected:
  // A field object of the type's class as field n (column n + 1).
  TBufferField MakeField(int n, const char* name, TFieldType type, int size = 0) {
    if (objects.size() <= static_cast<std::size_t>(n)) objects.resize(n + 1);
    objects[n] = CreateFieldForType(type);
    objects[n]->SetFieldName(name);
    objects[n]->SetSize(size);
    TBufferField field = BufferFieldOf(*objects[n]);
    field.FieldNo = n + 1;
    return field;
  }
  TField* FieldObject(int n) const { return objects.at(n).get(); }
  // An integer, a string of 30 and a memo: slots of 5, 32 and 18 bytes.
  std::vector<TBufferField> IdNameMemo() {
    return {MakeField(0, "id", ftInteger), MakeField(1, "name", ftString, 30),
            MakeField(2, "memo", ftMemo)};
  }
  void Bind(const std::vector<TBufferField>& fields) { buffer.BindFields(TSqlFields(), fields); }

  std::vector<std::unique_ptr<TField>> objects;
  FakeBufferOwner owner;
  TSqlBuffer buffer{owner};
};

}  // namespace tabulix::test
