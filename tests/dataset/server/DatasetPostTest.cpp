// Posting changes: the statements each kind of change sends, what the buffers hold after a
// refusal, cached updates, read-only datasets, memo streams, names that need quoting and the
// append-only mode of the import.
#include <cstring>
#include <string>
#include <vector>

#include "dataset/ZBlobStream.h"
#include "dataset/ZUpdateSql.h"
#include "dataset/server/DatasetFixture.h"
#include "framework/DataSetMessages.h"
#include "framework/DateTime.h"
#include "framework/Exceptions.h"

namespace tabulix::test {
namespace {

using V = std::vector<std::string>;

TEST_F(DatasetServerTest, InsertWithNullAutoIncrementReadsLastInsertId) {
  Create("id INT AUTO_INCREMENT PRIMARY KEY, name VARCHAR(30), born DATE");
  raw.Exec("INSERT INTO t (id) VALUES (41)");
  OpenTable();
  Sent();
  table.Append();
  table.FieldByName("name").SetAsString("Ann");
  table.FieldByName("born").SetAsDateTime(EncodeDate(1970, 5, 1));
  table.Post();
  EXPECT_EQ(Sent(),
            (Reports{{"INSERT INTO t (id, name, born) VALUES (NULL, 'Ann', '1970-05-01')", "OK."},
                     {"SELECT LAST_INSERT_ID()", "OK."}}));
  EXPECT_EQ(table.FieldByName("id").AsInteger(), 42);
  EXPECT_EQ(table.RecordCount(), 2);  // the row fetched for the append, then the new one
  // A value given for the column needs no request.
  table.Append();
  table.FieldByName("id").SetAsInteger(50);
  table.Post();
  EXPECT_EQ(SentSql(), (V{"INSERT INTO t (id, name, born) VALUES (50, NULL, NULL)"}));
}

TEST_F(DatasetServerTest, EditsSendOnlyWhatChangedAndFindTheRowByItsKey) {
  Create("id INT PRIMARY KEY, name VARCHAR(20), note VARCHAR(20)");
  raw.Exec("INSERT INTO t VALUES (1, 'Ann', NULL)");
  Create("a INT, b VARCHAR(5), m TEXT", "keyless");
  raw.Exec("INSERT INTO keyless VALUES (1, NULL, 'memo')");
  const struct {
    const char* table;
    const char* field;
    const char* value;  // nullptr: edit without a change
    V sent;
  } cases[] = {
      {"t", "name", nullptr, {}},
      {"t", "name", "Ann", {}},
      {"t", "name", "Bob", {"UPDATE t SET name= 'Bob' WHERE id=1"}},
      {"t", "note", "x", {"UPDATE t SET note= 'x' WHERE id=1"}},
      {"keyless", "a", "2", {"UPDATE keyless SET a= 2 WHERE a=1 AND b IS NULL LIMIT 1"}},
      {"keyless", "b", "", {"UPDATE keyless SET b= '' WHERE a=2 AND b IS NULL LIMIT 1"}},
  };
  for (const auto& c : cases) {
    table.Close();
    OpenTable(c.table);
    Sent();
    table.Edit();
    if (c.value) table.FieldByName(c.field).SetAsString(c.value);
    table.Post();
    EXPECT_EQ(SentSql(), c.sent) << c.table << "." << c.field;
  }
  EXPECT_EQ(raw.Rows("SELECT * FROM t"), (std::vector<Row>{{"1", "Bob", "x"}}));
  EXPECT_EQ(raw.Rows("SELECT * FROM keyless"), (std::vector<Row>{{"2", "", "memo"}}));
  // Back to null: "= NULL", and the key found by the old values.
  table.Edit();
  table.FieldByName("b").Clear();
  table.Post();
  EXPECT_EQ(SentSql(), (V{"UPDATE keyless SET b= NULL WHERE a=2 AND b='' LIMIT 1"}));
  raw.Exec("DROP TABLE keyless");
}

TEST_F(DatasetServerTest, DeletingOneOfTwoIdenticalRowsLeavesTheOther) {
  Create("a INT, b VARCHAR(5)");
  raw.Exec("INSERT INTO t VALUES (7, 'x'), (7, 'x')");
  OpenTable();
  Sent();
  table.Delete();
  EXPECT_EQ(SentSql(), (V{"DELETE FROM t WHERE a=7 AND b='x' LIMIT 1"}));
  EXPECT_EQ(raw.Value("SELECT COUNT(*) FROM t"), "1");
  EXPECT_EQ(table.RecordCount(), 1);
  EXPECT_EQ(table.MainBuffer().StorageCount(), 2);
}

TEST_F(DatasetServerTest, RejectedInsertLeavesTheBuffersAsTheyWere) {
  Create("id INT PRIMARY KEY, memo TEXT");
  raw.Exec("INSERT INTO t VALUES (1, 'one')");
  OpenTable();
  const int count = table.RecordCount();
  const std::int32_t nextId = table.MainBuffer().NextId();
  const std::size_t blocks = table.MainBuffer().Blocks().AllocatedCount();
  Sent();
  table.Append();
  table.FieldByName("id").SetAsInteger(1);
  table.FieldByName("memo").SetAsString("duplicate");
  try {
    table.Post();
    ADD_FAILURE() << "a duplicate key was taken";
  } catch (const EDatabaseError& e) {
    EXPECT_EQ(e.Message(), "Duplicate entry '1' for key 'PRIMARY'");
    EXPECT_EQ(e.ErrorCode(), 1062u);
    EXPECT_EQ(e.Statement(), "INSERT INTO t (id, memo) VALUES (1, 'duplicate')");
  }
  EXPECT_EQ(table.State(), dsInsert);
  EXPECT_EQ(table.MainBuffer().Count(), count);
  EXPECT_EQ(table.MainBuffer().StorageCount(), count);
  EXPECT_EQ(table.MainBuffer().NextId(), nextId);
  EXPECT_EQ(table.ChangeBuffer().Count(), 0);
  // The caller corrects the value and posts again.
  table.FieldByName("id").SetAsInteger(2);
  table.Post();
  EXPECT_EQ(raw.Value("SELECT memo FROM t WHERE id = 2"), "duplicate");
  EXPECT_EQ(table.MainBuffer().Blocks().AllocatedCount(), blocks + 1);
}

TEST_F(DatasetServerTest, CachedUpdatesWaitForApply) {
  Create("id INT PRIMARY KEY, name VARCHAR(10)");
  raw.Exec("INSERT INTO t VALUES (1, 'one'), (2, 'two')");
  table.SetCachedUpdates(true);
  OpenTable();
  table.Last();
  Sent();
  table.Append();
  table.FieldByName("id").SetAsInteger(3);
  table.Post();
  table.Append();
  table.FieldByName("id").SetAsInteger(4);
  table.Post();
  table.Delete();  // 4 was never sent: it simply goes
  table.First();
  table.Edit();
  table.FieldByName("name").SetAsString("uno");
  table.Post();
  table.Edit();
  table.FieldByName("name").SetAsString("eins");
  table.Post();
  table.Next();
  table.Delete();
  EXPECT_TRUE(Sent().empty());
  EXPECT_EQ(table.ChangeBuffer().Count(), 3);

  table.ApplyPendingChanges();
  EXPECT_EQ(SentSql(), (V{"INSERT INTO t (id, name) VALUES (3, NULL)",
                          "UPDATE t SET name= 'eins' WHERE id=1", "DELETE FROM t WHERE id=2"}));
  table.CommitPendingChanges();
  EXPECT_EQ(table.ChangeBuffer().Count(), 0);
  EXPECT_EQ(raw.Rows("SELECT * FROM t ORDER BY id"),
            (std::vector<Row>{{"1", "eins"}, {"3", std::nullopt}}));
  EXPECT_EQ(table.RecordCount(), 2);
  table.ApplyPendingChanges();
  EXPECT_TRUE(Sent().empty());
}

TEST_F(DatasetServerTest, ReadOnlySendsNothing) {
  Create("id INT PRIMARY KEY");
  raw.Exec("INSERT INTO t VALUES (1)");
  table.SetReadOnly(true);
  OpenTable();
  Sent();
  EXPECT_THROW(table.Append(), EDatabaseError);
  EXPECT_THROW(table.Edit(), EDatabaseError);
  try {
    table.Delete();
    ADD_FAILURE() << "deleted";
  } catch (const EDatabaseError& e) {
    EXPECT_EQ(e.Message(), "Cannot modify a read-only dataset");
  }
  table.ApplyPendingChanges();
  EXPECT_TRUE(Sent().empty());
  EXPECT_EQ(raw.Value("SELECT COUNT(*) FROM t"), "1");
}

TEST_F(DatasetServerTest, MemoStreamsWriteTheSlotInPlace) {
  Create("id INT PRIMARY KEY, memo TEXT, other TEXT");
  OpenTable();
  Sent();
  TField& memo = table.FieldByName("memo");
  table.Append();
  table.FieldByName("id").SetAsInteger(1);
  {
    auto stream = table.CreateBlobStream(memo, bmWrite);
    ASSERT_TRUE(dynamic_cast<TZMemoStream*>(stream.get()));
    EXPECT_EQ(stream->Write(std::string_view("0123\n'6789", 10)), 10u);
    stream->Flush();
  }
  {
    // A null memo reads nothing and has no size.
    auto stream = table.CreateBlobStream(table.FieldByName("other"), bmRead);
    char buffer[4];
    EXPECT_EQ(stream->Read(buffer, sizeof buffer), 0u);
    EXPECT_EQ(stream->Size(), 0);
  }
  table.Post();
  EXPECT_EQ(SentSql(), (V{"INSERT INTO t (id, memo, other) VALUES (1, '0123\\n\\'6789', NULL)"}));

  table.Edit();
  {
    auto stream = table.CreateBlobStream(memo, bmReadWrite);
    stream->Write(std::string_view("abc"));
    EXPECT_EQ(stream->Size(), 10);
  }
  table.Post();
  EXPECT_EQ(raw.Value("SELECT memo FROM t"), "abc3\n'6789");
  try {
    table.CreateBlobStream(memo, bmWrite);
    ADD_FAILURE() << "wrote while browsing";
  } catch (const EDatabaseError& e) {
    EXPECT_EQ(e.Message(), "Not in Insert or Edit mode");
  }
}

TEST_F(DatasetServerTest, NamesThatNeedQuotingRoundTrip) {
  Create(
      "`Species No` INT, `Length (cm)` DOUBLE, `Invoice #` VARCHAR(5), `Order` INT, `1e5` INT, "
      "`0x1F` INT, `a``b` INT");
  raw.Exec("INSERT INTO t VALUES (1, 10, 'x', 2, 3, 4, 5)");
  raw.Exec("INSERT INTO t VALUES (9, 10, 'y', 9, 9, 31, 9)");  // 0x1F = 31 must not match all
  OpenTable();
  Sent();
  table.Append();
  for (const char* name : {"Species No", "Order", "1e5", "0x1F", "a`b"}) {
    table.FieldByName(name).SetAsInteger(6);
  }
  table.FieldByName("Length (cm)").SetAsFloat(2.5);
  table.FieldByName("Invoice #").SetAsString("z");
  table.Post();
  table.First();
  table.Edit();
  table.FieldByName("Length (cm)").SetAsFloat(12.5);
  table.Post();
  table.Last();
  table.Delete();
  const std::string where =
      " WHERE `Species No`=1 AND `Length (cm)`=10 AND `Invoice #`='x' AND "
      "`Order`=2 AND `1e5`=3 AND `0x1F`=4 AND `a``b`=5 LIMIT 1";
  EXPECT_EQ(SentSql(),
            (V{"INSERT INTO t (`Species No`, `Length (cm)`, `Invoice #`, `Order`, `1e5`, `0x1F`, "
               "`a``b`) VALUES (6, 2.5, 'z', 6, 6, 6, 6)",
               "UPDATE t SET `Length (cm)`= 12.5" + where,
               "DELETE FROM t WHERE `Species No`=6 AND `Length (cm)`=2.5 AND `Invoice #`='z' AND "
               "`Order`=6 AND `1e5`=6 AND `0x1F`=6 AND `a``b`=6 LIMIT 1"}));
  EXPECT_EQ(raw.Rows("SELECT * FROM t ORDER BY `Species No`"),
            (std::vector<Row>{{"1", "12.5", "x", "2", "3", "4", "5"},
                              {"9", "10", "y", "9", "9", "31", "9"}}));
}

TEST_F(DatasetServerTest, DiscardedAppendsKeepTheBuffersFlat) {
  Create("id INT PRIMARY KEY, memo MEDIUMTEXT");
  table.SetDiscardAppliedInserts(true);
  OpenTable();
  for (int i = 1; i <= 1200; ++i) {
    table.Append();
    table.FieldByName("id").SetAsInteger(i);
    table.FieldByName("memo").SetAsString(std::string(100, 'm'));
    table.Post();
  }
  EXPECT_EQ(raw.Value("SELECT COUNT(*) FROM t"), "1200");
  EXPECT_EQ(table.RecordCount(), 0);
  EXPECT_EQ(table.MainBuffer().StorageCount(), 0);
  EXPECT_EQ(table.MainBuffer().PageCount(), 1);
  EXPECT_EQ(table.ChangeBuffer().PageCount(), 1);
  EXPECT_EQ(table.MainBuffer().Blocks().AllocatedCount(), 0u);
  EXPECT_EQ(table.MainBuffer().NextId(), 0);
}

}  // namespace
}  // namespace tabulix::test

namespace tabulix::test {
namespace {

TEST_F(DatasetServerTest, UpdateObjectFillsParametersAndFindsNullKeys) {
  Create("id INT PRIMARY KEY, name VARCHAR(10), note VARCHAR(10)");
  raw.Exec("INSERT INTO t VALUES (1, 'a', NULL)");
  TZUpdateSql update;
  update.ModifySql().SetText(
      "UPDATE t SET name = :name,\r\n\tnote = :NEW_note WHERE id = :OLD_id AND note = :old_note "
      "AND :OLD_note IS NULL ORDER BY id");
  table.SetUpdateObject(&update);
  OpenTable();
  Sent();
  table.Edit();
  table.FieldByName("name").SetAsString("b");
  table.Post();
  EXPECT_EQ(SentSql(), (V{"UPDATE t SET name = 'b', note = NULL WHERE id = 1 AND note IS NULL "
                          "AND NULL IS NULL ORDER BY id"}));
  EXPECT_EQ(raw.Value("SELECT name FROM t"), "b");
  update.ModifySql().SetText("UPDATE t SET name = :nosuch");
  table.Edit();
  table.FieldByName("name").SetAsString("c");
  EXPECT_THROW(table.Post(), EDatabaseError);
  table.Cancel();
  table.SetUpdateObject(nullptr);
}

TEST_F(DatasetServerTest, ConstraintsAndUpdateEventsDecideWhatIsSent) {
  Create("id INT PRIMARY KEY");
  OpenTable();
  Sent();
  table.FieldByName("id").SetCustomConstraint("id > 0");
  table.Append();
  table.FieldByName("id").SetAsInteger(-1);
  try {
    table.Post();
    ADD_FAILURE() << "posted";
  } catch (const EDatabaseError& e) {
    EXPECT_EQ(e.Message(), "Record or field constraint failed  : id > 0");
  }
  table.Cancel();

  std::vector<std::string> kinds;
  TUpdateAction answer = uaSkip;
  table.SetOnUpdateRecord([&](TDataSet&, TUpdateKind kind, TUpdateAction& action) {
    kinds.push_back(std::to_string(kind));
    action = answer;
  });
  table.Append();
  table.FieldByName("id").SetAsInteger(5);
  table.Post();  // skipped: counted as done, nothing sent
  answer = uaFail;
  table.Edit();
  table.FieldByName("id").SetAsInteger(6);
  try {
    table.Post();
    ADD_FAILURE() << "posted";
  } catch (const EDatabaseError& e) {
    EXPECT_EQ(e.Message(), "Error while posting updates");
  }
  table.Cancel();
  EXPECT_EQ(table.FieldByName("id").AsInteger(), 5);  // the edit did not stay
  EXPECT_EQ(kinds, (V{"1", "0"}));
  EXPECT_TRUE(Sent().empty());
  EXPECT_EQ(raw.Value("SELECT COUNT(*) FROM t"), "0");
}

}  // namespace
}  // namespace tabulix::test
