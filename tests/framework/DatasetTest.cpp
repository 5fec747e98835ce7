#include <gtest/gtest.h>

#include <memory>

#include "DatasetFake.h"
#include "framework/StringList.h"
#include "framework/fields/TIntegerField.h"
#include "framework/fields/TStringField.h"

namespace tabulix::test {
namespace {

std::vector<DatasetFake::Column> PeopleColumns() {
  return {{"ID", ftInteger, 0, false}, {"Name", ftString, 20, true}, {"Notes", ftMemo, 0, false}};
}

std::unique_ptr<DatasetFake> People(int rows) {
  auto ds = std::make_unique<DatasetFake>(PeopleColumns());
  for (int i = 1; i <= rows; ++i) {
    ds->AddRow({FieldValue::Integer(i), FieldValue::Bytes("name" + std::to_string(i)),
                FieldValue::Null()});
  }
  return ds;
}

std::string MessageOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const Exception& e) {
    return e.Message();
  }
  return "(no exception)";
}

// --- open, close, fields ----------------------------------------------------------------------

TEST(DatasetOpenTest, CreatesOneFieldPerDefinitionInOrderAndBindsColumns) {
  auto ds = People(2);
  ds->Open();
  ASSERT_EQ(ds->FieldCount(), 3);
  EXPECT_EQ(ds->State(), dsBrowse);
  EXPECT_EQ(ds->Fields(0).FieldName(), "ID");
  EXPECT_EQ(ds->Fields(2).DataType(), ftMemo);
  EXPECT_EQ(ds->Fields(1).Size(), 20);
  EXPECT_TRUE(ds->Fields(1).Required());
  EXPECT_EQ(ds->Fields(2).FieldNo(), 3);
  EXPECT_EQ(ds->Fields(1).Index(), 1);
  EXPECT_NE(dynamic_cast<TStringField*>(&ds->Fields(1)), nullptr);
  EXPECT_EQ(&ds->FieldByName("name"), &ds->Fields(1));
  EXPECT_EQ(ds->FindField("missing"), nullptr);
  EXPECT_EQ(MessageOf([&] { ds->FieldByName("Missing"); }), "Feld 'Missing' nicht gefunden");
  EXPECT_EQ(MessageOf([&] { ds->Fields(3); }), "Listenindex überschreitet das Maximum (3)");
}

TEST(DatasetOpenTest, GetFieldNamesReplacesTheList) {
  auto ds = People(0);
  ds->Open();
  StringList names{"stale", "old", "more", "lines"};
  ds->GetFieldNames(names);
  EXPECT_EQ(names.Lines(), (std::vector<std::string>{"ID", "Name", "Notes"}));
}

TEST(DatasetOpenTest, CloseDropsCreatedFieldsAndIsHarmlessTwice) {
  auto ds = People(1);
  ds->Open();
  ds->Close();
  EXPECT_FALSE(ds->Active());
  EXPECT_EQ(ds->FieldCount(), 0);
  EXPECT_TRUE(ds->Eof());
  ds->Close();
  EXPECT_EQ(MessageOf([&] { ds->Next(); }), "Operation bei geschlossener Datenmenge nicht möglich");
  EXPECT_EQ(MessageOf([&] { ds->RecordCount(); }),
            "Operation bei geschlossener Datenmenge nicht möglich");
}

TEST(DatasetOpenTest, FailedOpenLeavesTheDatasetClosedWithoutFields) {
  auto ds = People(1);
  ds->failOpen = true;
  EXPECT_EQ(MessageOf([&] { ds->Open(); }), "cannot open");
  EXPECT_FALSE(ds->Active());
  EXPECT_EQ(ds->FieldCount(), 0);
  EXPECT_EQ(ds->calls, (std::vector<std::string>{"open", "close"}));
  ds->failOpen = false;
  ds->Open();
  EXPECT_EQ(ds->FieldCount(), 3);
}

TEST(DatasetOpenTest, BeforeOpenFailureStopsTheOpen) {
  auto ds = People(1);
  ds->Events().BeforeOpen = [](TDataSet&) { throw Exception("not now"); };
  EXPECT_EQ(MessageOf([&] { ds->Open(); }), "not now");
  EXPECT_FALSE(ds->Active());
  EXPECT_TRUE(ds->calls.empty());
}

TEST(DatasetOpenTest, PersistentFieldsAreBoundByNameAndSurviveClose) {
  auto ds = People(1);
  auto& name = ds->AddField(std::make_unique<TStringField>(20));
  name.SetFieldName("NAME");
  auto& id = ds->AddField(std::make_unique<TIntegerField>());
  id.SetFieldName("id");
  ds->Open();
  ASSERT_EQ(ds->FieldCount(), 2);
  EXPECT_EQ(name.FieldNo(), 2);
  EXPECT_EQ(name.AsString(), "name1");
  EXPECT_EQ(id.AsInteger(), 1);
  ds->Close();
  EXPECT_EQ(ds->FieldCount(), 2);
  EXPECT_TRUE(name.IsNull());
  EXPECT_EQ(MessageOf([&] {
              ds->Open();
              ds->AddField(std::make_unique<TIntegerField>());
            }),
            "Operation bei geöffneter Datenmenge nicht möglich");
}

TEST(DatasetOpenTest, ActivatedWhileLoadingOpensWhenLoaded) {
  auto ds = People(1);
  ds->BeginLoading();
  ds->SetActive(true);
  EXPECT_FALSE(ds->Active());
  EXPECT_TRUE(ds->calls.empty());
  ds->EndLoading();
  EXPECT_TRUE(ds->Active());
  EXPECT_EQ(ds->FieldCount(), 3);
}

TEST(DatasetOpenTest, PersistentFieldWithoutColumnFailsTheOpen) {
  auto ds = People(1);
  ds->AddField(std::make_unique<TIntegerField>()).SetFieldName("Age");
  EXPECT_EQ(MessageOf([&] { ds->Open(); }), "Feld 'Age' nicht gefunden");
  EXPECT_FALSE(ds->Active());
  EXPECT_EQ(ds->FieldCount(), 1);
}

// --- navigation -------------------------------------------------------------------------------

TEST(DatasetNavigationTest, EmptyDatasetIsAtBothEndsAtOnce) {
  auto ds = People(0);
  ds->Open();
  EXPECT_TRUE(ds->Bof());
  EXPECT_TRUE(ds->Eof());
  EXPECT_EQ(ds->RecNo(), 0);
  EXPECT_TRUE(ds->IsEmpty());
  ds->First();
  EXPECT_TRUE(ds->Eof());
  EXPECT_TRUE(ds->Fields(0).IsNull());
  ds->Next();
  EXPECT_TRUE(ds->Eof());
}

TEST(DatasetNavigationTest, WalksForwardUntilEofAndStaysOnTheLastRecord) {
  auto ds = People(3);
  ds->Open();
  std::vector<int> seen;
  for (ds->First(); !ds->Eof(); ds->Next()) seen.push_back(ds->Fields(0).AsInteger());
  EXPECT_EQ(seen, (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(ds->RecNo(), 3);
  EXPECT_EQ(ds->Fields(0).AsInteger(), 3);
  EXPECT_FALSE(ds->Bof());
}

TEST(DatasetNavigationTest, PriorLastAndBofFlags) {
  auto ds = People(3);
  ds->Open();
  EXPECT_TRUE(ds->Bof());
  EXPECT_FALSE(ds->Eof());
  ds->Last();
  EXPECT_TRUE(ds->Eof());
  EXPECT_EQ(ds->RecNo(), 3);
  ds->Prior();
  EXPECT_FALSE(ds->Eof());
  EXPECT_EQ(ds->RecNo(), 2);
  ds->Prior();
  ds->Prior();
  EXPECT_TRUE(ds->Bof());
  EXPECT_EQ(ds->RecNo(), 1);
}

TEST(DatasetNavigationTest, MoveByStopsAtTheEnds) {
  auto ds = People(5);
  ds->Open();
  EXPECT_EQ(ds->MoveBy(3), 3);
  EXPECT_EQ(ds->RecNo(), 4);
  EXPECT_EQ(ds->MoveBy(10), 1);
  EXPECT_TRUE(ds->Eof());
  EXPECT_EQ(ds->MoveBy(-10), -4);
  EXPECT_TRUE(ds->Bof());
}

TEST(DatasetNavigationTest, MoveToRecordGivesRandomAccess) {
  auto ds = People(4);
  ds->Open();
  EXPECT_TRUE(ds->MoveToRecord(3));
  EXPECT_EQ(ds->Fields(1).AsString(), "name3");
  EXPECT_FALSE(ds->MoveToRecord(5));
  EXPECT_FALSE(ds->MoveToRecord(0));
  EXPECT_EQ(ds->RecNo(), 3);
}

TEST(DatasetNavigationTest, BookmarksReturnToTheirRecord) {
  auto ds = People(4);
  ds->Open();
  ds->MoveToRecord(2);
  auto mark = ds->GetBookmark();
  ASSERT_TRUE(mark.has_value());
  ds->Last();
  EXPECT_TRUE(ds->GotoBookmark(*mark));
  EXPECT_EQ(ds->Fields(0).AsInteger(), 2);
  EXPECT_FALSE(ds->GotoBookmark(99));
  EXPECT_EQ(ds->Fields(0).AsInteger(), 2);
}

// --- editing ----------------------------------------------------------------------------------

TEST(DatasetEditingTest, AppendAndPostAddsTheRecordAtTheEndAndMakesItCurrent) {
  auto ds = People(2);
  ds->Open();
  ds->Append();
  EXPECT_EQ(ds->State(), dsInsert);
  EXPECT_TRUE(ds->Fields(0).IsNull());
  EXPECT_FALSE(ds->Modified());
  ds->Fields(0).SetValue(FieldValue::Integer(7));
  ds->Fields(1).SetAsString("Ann");
  EXPECT_TRUE(ds->Modified());
  ds->Post();
  EXPECT_EQ(ds->State(), dsBrowse);
  ASSERT_EQ(ds->RecordCount(), 3);
  EXPECT_EQ(ds->RecNo(), 3);
  EXPECT_EQ(ds->rows[2].values[1], FieldValue::Bytes("Ann"));
  EXPECT_EQ(ds->Fields(0).AsInteger(), 7);
}

TEST(DatasetEditingTest, InsertPlacesTheRecordBeforeTheCurrentOne) {
  auto ds = People(3);
  ds->Open();
  ds->MoveToRecord(2);
  ds->Insert();
  ds->Fields(0).SetAsInteger(99);
  ds->Fields(1).SetAsString("x");
  ds->Post();
  EXPECT_EQ(ds->RecNo(), 2);
  EXPECT_EQ(ds->rows[1].values[0], FieldValue::Integer(99));
  EXPECT_EQ(ds->rows[2].values[0], FieldValue::Integer(2));
  EXPECT_EQ(ds->calls[1], "init-insert");
}

TEST(DatasetEditingTest, EditThenCancelLeavesTheStoredRecordAlone) {
  auto ds = People(2);
  ds->Open();
  ds->Edit();
  ds->Fields(1).SetAsString("changed");
  EXPECT_EQ(ds->Fields(1).AsString(), "changed");
  ds->Cancel();
  EXPECT_EQ(ds->State(), dsBrowse);
  EXPECT_EQ(ds->Fields(1).AsString(), "name1");
  EXPECT_FALSE(ds->Modified());
}

TEST(DatasetEditingTest, EditThenPostStoresTheChange) {
  auto ds = People(2);
  ds->Open();
  ds->Next();
  ds->Edit();
  ds->Fields(1).Clear();
  ds->Fields(1).SetAsString("Bo");
  ds->Post();
  EXPECT_EQ(ds->rows[1].values[1], FieldValue::Bytes("Bo"));
  EXPECT_EQ(ds->RecNo(), 2);
}

TEST(DatasetEditingTest, EditOnAnEmptyDatasetAppends) {
  auto ds = People(0);
  ds->Open();
  ds->Edit();
  EXPECT_EQ(ds->State(), dsInsert);
}

TEST(DatasetEditingTest, RefusedPostKeepsTheStateAndTheValues) {
  auto ds = People(1);
  ds->Open();
  ds->Append();
  ds->Fields(1).SetAsString("Ann");
  ds->failPost = true;
  EXPECT_EQ(MessageOf([&] { ds->Post(); }), "rejected by the store");
  EXPECT_EQ(ds->State(), dsInsert);
  EXPECT_EQ(ds->Fields(1).AsString(), "Ann");
  ds->failPost = false;
  ds->Post();
  EXPECT_EQ(ds->RecordCount(), 2);
}

TEST(DatasetEditingTest, RequiredFieldMustHaveAValueAtPost) {
  auto ds = People(0);
  ds->Open();
  ds->Append();
  ds->Fields(0).SetAsInteger(1);
  EXPECT_EQ(MessageOf([&] { ds->Post(); }), "Feld 'Name' muß einen Wert haben");
  EXPECT_EQ(ds->State(), dsInsert);
  EXPECT_EQ(std::count(ds->calls.begin(), ds->calls.end(), "post"), 0);
  ds->Fields(1).SetDisplayLabel("Nachname");
  EXPECT_EQ(MessageOf([&] { ds->Post(); }), "Feld 'Nachname' muß einen Wert haben");
  // A read-only required field is left to the store.
  ds->Fields(1).SetReadOnly(true);
  ds->Post();
  EXPECT_EQ(ds->RecordCount(), 1);
}

TEST(DatasetEditingTest, NavigatingPostsAModifiedEditAndCancelsAnUntouchedOne) {
  auto ds = People(2);
  ds->Open();
  ds->Edit();
  ds->Fields(1).SetAsString("posted");
  ds->Next();
  EXPECT_EQ(ds->rows[0].values[1], FieldValue::Bytes("posted"));
  ds->Append();
  ds->Prior();
  EXPECT_EQ(ds->State(), dsBrowse);
  EXPECT_EQ(ds->RecordCount(), 2);
}

TEST(DatasetEditingTest, DeleteRemovesTheCurrentRecordAndClampsTheCursor) {
  auto ds = People(3);
  ds->Open();
  ds->Last();
  ds->Delete();
  EXPECT_EQ(ds->RecordCount(), 2);
  EXPECT_EQ(ds->RecNo(), 2);
  EXPECT_EQ(ds->Fields(0).AsInteger(), 2);
  ds->First();
  ds->Delete();
  EXPECT_EQ(ds->Fields(0).AsInteger(), 2);
  ds->Delete();
  EXPECT_TRUE(ds->Eof());
  EXPECT_EQ(MessageOf([&] { ds->Delete(); }), "Operation bei leerer Datenmenge nicht möglich");
}

TEST(DatasetEditingTest, DeleteWhileInsertingOnlyDropsTheNewRecord) {
  auto ds = People(1);
  ds->Open();
  ds->Append();
  ds->Delete();
  EXPECT_EQ(ds->State(), dsBrowse);
  EXPECT_EQ(ds->RecordCount(), 1);
  EXPECT_EQ(std::count(ds->calls.begin(), ds->calls.end(), "delete"), 0);
}

TEST(DatasetEditingTest, ReadOnlyDatasetRefusesEveryChange) {
  auto ds = People(1);
  ds->SetReadOnly(true);
  ds->Open();
  EXPECT_FALSE(ds->CanModify());
  const std::string refused = "Schreibgeschützte Datenmenge kann nicht geändert werden";
  EXPECT_EQ(MessageOf([&] { ds->Append(); }), refused);
  EXPECT_EQ(MessageOf([&] { ds->Insert(); }), refused);
  EXPECT_EQ(MessageOf([&] { ds->Edit(); }), refused);
  EXPECT_EQ(ds->State(), dsBrowse);
}

TEST(DatasetEditingTest, DefaultHooksRefuseAsReadOnly) {
  // A dataset that claims to be modifiable but has no editing hooks.
  struct Bare : TDataSet {
    ~Bare() override { Close(); }
    RecordAccess* ActiveRecord() override { return nullptr; }
    void InternalOpen() override {}
    void InternalClose() override {}
    std::int64_t InternalRecordCount() override { return 1; }
    bool InternalGotoRecord(std::int64_t index) override { return index == 0; }
  } ds;
  ds.Open();
  EXPECT_EQ(MessageOf([&] { ds.Append(); }),
            "Schreibgeschützte Datenmenge kann nicht geändert werden");
  EXPECT_EQ(MessageOf([&] { ds.Delete(); }),
            "Schreibgeschützte Datenmenge kann nicht geändert werden");
  EXPECT_EQ(ds.State(), dsBrowse);
}

TEST(DatasetEditingTest, FieldsCannotBeWrittenWhileBrowsingOrWhenReadOnly) {
  auto ds = People(1);
  ds->Open();
  EXPECT_EQ(MessageOf([&] { ds->Fields(0).SetAsInteger(3); }),
            "Datenmenge befindet sich nicht im Bearbeitungs- oder Einfügemodus");
  ds->Edit();
  ds->Fields(0).SetReadOnly(true);
  EXPECT_EQ(MessageOf([&] { ds->Fields(0).SetAsInteger(3); }),
            "Feld 'ID' kann nicht geändert werden");
}

TEST(DatasetEditingTest, OnNewRecordSeesTheFreshRecordAndItsFailureCancels) {
  auto ds = People(0);
  ds->defaults = {FieldValue::Integer(5), FieldValue::Null(), FieldValue::Null()};
  ds->Open();
  ds->Events().OnNewRecord = [](TDataSet& d) { d.FieldByName("Name").SetAsString("new"); };
  ds->Append();
  EXPECT_EQ(ds->Fields(0).AsInteger(), 5);
  EXPECT_EQ(ds->Fields(1).AsString(), "new");
  ds->Cancel();
  ds->Events().OnNewRecord = [](TDataSet&) { throw Exception("no"); };
  EXPECT_EQ(MessageOf([&] { ds->Append(); }), "no");
  EXPECT_EQ(ds->State(), dsBrowse);
}

TEST(DatasetEditingTest, EventsRunAroundPostAndBeforePostCanRefuse) {
  auto ds = People(0);
  ds->Open();
  std::vector<std::string> order;
  ds->Events().BeforePost = [&](TDataSet&) { order.push_back("before"); };
  ds->Events().AfterPost = [&](TDataSet&) { order.push_back("after"); };
  ds->Append();
  ds->Fields(1).SetAsString("a");
  ds->Post();
  EXPECT_EQ(order, (std::vector<std::string>{"before", "after"}));
  ds->Events().BeforePost = [](TDataSet&) { throw Exception("refused"); };
  ds->Append();
  ds->Fields(1).SetAsString("b");
  EXPECT_EQ(MessageOf([&] { ds->Post(); }), "refused");
  EXPECT_EQ(ds->State(), dsInsert);
}

TEST(DatasetEditingTest, CloseWhileInsertingDropsTheRecord) {
  auto ds = People(0);
  ds->Open();
  ds->Append();
  ds->Fields(1).SetAsString("lost");
  ds->Close();
  EXPECT_TRUE(ds->rows.empty());
  EXPECT_EQ(ds->calls.back(), "close");
  EXPECT_EQ(ds->calls[ds->calls.size() - 2], "cancel");
}

TEST(DatasetEditingTest, CloseEndsClosedWhenCancelOrReleaseRaises) {
  struct Case {
    bool failCancel, failClose;
    const char* message;
  };
  const Case cases[] = {
      {false, false, "(no exception)"},
      {true, false, "cannot cancel"},
      {false, true, "cannot release"},
      {true, true, "cannot cancel"},  // the first failure is the one reported
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    auto ds = People(1);
    RecordingLink link;
    link.SetDataSet(ds.get());
    int afterClose = 0;
    ds->Events().AfterClose = [&](TDataSet&) { ++afterClose; };
    ds->Open();
    ds->Append();
    ds->Fields(1).SetAsString("pending");
    ds->failCancel = c.failCancel;
    ds->failClose = c.failClose;
    ds->calls.clear();
    link.events.clear();
    EXPECT_EQ(MessageOf([&] { ds->Close(); }), c.message);
    EXPECT_EQ(ds->calls, (std::vector<std::string>{"cancel", "close"}));
    EXPECT_EQ(ds->State(), dsInactive);
    EXPECT_EQ(ds->FieldCount(), 0);
    EXPECT_EQ(link.events, std::vector<std::string>{"active"});
    EXPECT_EQ(afterClose, c.failCancel || c.failClose ? 0 : 1);
    // Closed means closed: a second close does nothing, and the dataset opens again.
    ds->failCancel = ds->failClose = false;
    ds->Close();
    EXPECT_EQ(ds->calls.size(), 2u);
    ds->Open();
    EXPECT_EQ(ds->State(), dsBrowse);
    EXPECT_EQ(ds->RecordCount(), 1);
    ds->Close();
  }
}

// --- data links -------------------------------------------------------------------------------

TEST(DatasetLinkTest, LinkFollowsOpenNavigationEditingAndClose) {
  auto ds = People(2);
  RecordingLink link;
  link.SetDataSet(ds.get());
  ds->Open();
  EXPECT_TRUE(link.Active());
  ds->Next();
  ds->Edit();
  ds->Fields(1).SetAsString("x");
  ds->Post();
  ds->Close();
  EXPECT_EQ(link.events, (std::vector<std::string>{"active", "scrolled 1", "editing", "record Name",
                                                   "update", "editing", "changed", "active"}));
}

TEST(DatasetLinkTest, UpdateDataLetsTheLinkWritePendingEditsBeforeThePost) {
  auto ds = People(1);
  RecordingLink link;
  link.SetDataSet(ds.get());
  link.onUpdate = [&] { ds->Fields(1).SetAsString("from the grid"); };
  ds->Open();
  ds->Edit();
  ds->Post();
  EXPECT_EQ(ds->rows[0].values[1], FieldValue::Bytes("from the grid"));
}

TEST(DatasetLinkTest, DisabledControlsHearOneChangeAtTheEnd) {
  auto ds = People(3);
  ds->Open();
  RecordingLink link;
  link.SetDataSet(ds.get());
  ds->DisableControls();
  ds->DisableControls();
  ds->Next();
  ds->EnableControls();
  ds->Next();
  EXPECT_TRUE(link.events.empty());
  ds->EnableControls();
  EXPECT_EQ(link.events, (std::vector<std::string>{"changed"}));
}

TEST(DatasetLinkTest, LinkAndDatasetMayGoInEitherOrder) {
  auto ds = People(1);
  {
    RecordingLink shortLived;
    shortLived.SetDataSet(ds.get());
  }
  ds->Open();  // would touch the destroyed link if it were still registered
  RecordingLink link;
  link.SetDataSet(ds.get());
  ds.reset();
  EXPECT_EQ(link.DataSet(), nullptr);
  EXPECT_FALSE(link.Active());
}

TEST(DatasetLinkTest, ALinkMayDetachItselfWhileBeingTold) {
  auto ds = People(2);
  struct Leaving : RecordingLink {
    void DataSetScrolled(std::int64_t) override { SetDataSet(nullptr); }
  } leaving;
  RecordingLink staying;
  leaving.SetDataSet(ds.get());
  staying.SetDataSet(ds.get());
  ds->Open();
  ds->Next();
  ds->Prior();
  EXPECT_EQ(leaving.DataSet(), nullptr);
  EXPECT_EQ(staying.events, (std::vector<std::string>{"active", "scrolled 1", "scrolled -1"}));
}

}  // namespace
}  // namespace tabulix::test
