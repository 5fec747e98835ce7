#include "dataset/ZMySqlQuery.h"

#include <algorithm>
#include <charconv>

#include "dataset/ZRecordLayout.h"
#include "framework/AsciiCase.h"
#include "framework/Exceptions.h"
#include "mysql/ColumnName.h"
#include "mysql/MySqlTypeMapping.h"
#include "sql/SqlText.h"

namespace tabulix {

using namespace record;

namespace {

constexpr int kTimestampType = 7;  // MYSQL_TYPE_TIMESTAMP

// Digits of a "decimal(P,S)" or "numeric(P,S)" column type text (an "unsigned" after it is
// allowed); false for any other type.
bool DecimalDigits(std::string_view typeName, int& precision, int& scale) {
  const std::string lower = LowerCase(typeName);
  std::string_view rest = lower;
  if (rest.starts_with("decimal(")) {
    rest.remove_prefix(8);
  } else if (rest.starts_with("numeric(")) {
    rest.remove_prefix(8);
  } else {
    return false;
  }
  auto number = [&](int& value) {
    const auto [end, error] = std::from_chars(rest.data(), rest.data() + rest.size(), value);
    if (error != std::errc()) return false;
    rest.remove_prefix(static_cast<std::size_t>(end - rest.data()));
    return true;
  };
  scale = 0;
  if (!number(precision)) return false;
  if (rest.starts_with(",")) {
    rest.remove_prefix(1);
    if (!number(scale)) return false;
  }
  return rest.starts_with(")");
}

// The exact double of a number text as the server writes it.
std::optional<double> ParseDouble(std::string_view text) {
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

}  // namespace

TZCustomMySqlDataset::TZCustomMySqlDataset()
    : TZDataset(std::make_unique<TDirMySqlQuery>(nullptr, nullptr), skMySql) {}

TZCustomMySqlDataset::~TZCustomMySqlDataset() {
  // Closed here, while the private connection and the overrides still exist.
  try {
    Close();
  } catch (...) {
    // A destructor cannot raise; the failed step was reported to the monitors.
  }
}

void TZCustomMySqlDataset::SetExtraOptions(TZMySqlOptions options) {
  if (options == extraOptions_) return;
  Close();
  extraOptions_ = std::move(options);
}

void TZCustomMySqlDataset::InitInsertedRecord(std::byte* /*record*/) {}

std::string TZCustomMySqlDataset::QuoteFieldName(const std::string& name) {
  return QuoteColumnName(name);
}

void TZCustomMySqlDataset::PrepareConnection() {
  TZDataset::PrepareConnection();
  TDirMySqlQuery& query = Query();
  if (extraOptions_.contains(moStoreResult)) {
    query.SetConnect(&Database()->Handle());
    query.SetTransact(&Transaction()->Handle());
    query.SetStoreResult(true);
    return;
  }
  const TDirConnect& settings = Database()->Handle();
  privateConnect_.SetHost(settings.Host());
  privateConnect_.SetPort(settings.Port());
  privateConnect_.SetDatabase(settings.Database());
  privateConnect_.SetLogin(settings.Login());
  privateConnect_.SetPassword(settings.Password());
  privateConnect_.SetSocket(settings.Socket());
  if (!privateConnect_.Active()) {
    privateConnect_.Connect();
    if (privateConnect_.Status() != stOk) throw EDatabaseError("Server connection error");
  }
  if (!privateTransact_.Active()) {
    privateTransact_.SetTransactSafe(Transaction()->Handle().TransactSafe());
    privateTransact_.Open();
    if (privateTransact_.GetStatus() != stOk) throw EDatabaseError("Server connection error");
  }
  query.SetConnect(&privateConnect_);
  query.SetTransact(&privateTransact_);
  query.SetStoreResult(false);
}

void TZCustomMySqlDataset::InternalClose() {
  TZDataset::InternalClose();
  if (privateTransact_.Active()) privateTransact_.Close();
  if (privateConnect_.Active()) privateConnect_.Disconnect();
}

TDirMySqlQuery& TZCustomMySqlDataset::CatalogueQuery() {
  if (!Transaction()) throw EDatabaseError("Transaction component not defined");
  return Transaction()->QueryHandle();
}

void TZCustomMySqlDataset::CheckCatalogue(TDirMySqlQuery& query) {
  if (!query.Active()) {
    const std::string sql = query.Sql();
    const std::string message = query.ErrorText();
    const unsigned code = query.ErrorNumber();
    query.Close();
    throw EDatabaseError(message, sql, code);
  }
}

void TZCustomMySqlDataset::LoadColumnDescriptions(const std::string& tableName,
                                                  TSqlFields& fields) {
  TDirMySqlQuery& query = CatalogueQuery();
  query.ShowColumns(tableName, "");
  CheckCatalogue(query);
  while (!query.Eof()) {
    TFieldDesc desc;
    desc.TableName = tableName;
    desc.FieldName = query.FieldValue(0);
    desc.TypeName = query.FieldValue(1);
    int size = 0;
    int scale = 0;
    desc.FieldType = MySqlTypeNameToFieldType(desc.TypeName, size, scale);
    int precision = 0;
    if (DecimalDigits(desc.TypeName, precision, scale) && precision <= 19 && scale <= 4) {
      desc.FieldType = ftBCD;
      size = precision;
    }
    desc.Size = size;
    desc.Decimals = scale;
    desc.Nullable = EqualsIgnoreCase(query.FieldValue(2), "YES");
    desc.AutoIncKind = EqualsIgnoreCase(query.FieldValue(5), "auto_increment") ? 1 : 0;
    const std::string defaultText = query.FieldValue(4);
    if (!defaultText.empty() && defaultText != "NULL") {
      // The default becomes a string of the constraint language, where a quote is doubled
      // and a backslash is an ordinary character.
      std::string quoted = "'";
      for (char c : defaultText) {
        quoted += c;
        if (c == '\'') quoted += '\'';
      }
      desc.DefaultValue = quoted + "'";
    }
    fields.Add(std::move(desc));
    query.Next();
  }
  query.Close();
}

void TZCustomMySqlDataset::LoadIndexDescriptions(const std::string& tableName,
                                                 TSqlFields& /*fields*/, TSqlIndices& indices) {
  TDirMySqlQuery& query = CatalogueQuery();
  query.ShowIndexes(tableName);
  CheckCatalogue(query);
  while (!query.Eof()) {
    const std::string keyName = query.FieldValue(2);
    std::uint8_t kind = TIndexDesc::kNonUnique;
    if (query.FieldValue(1) == "0") {
      kind = SamePrefix(keyName, "PRIMARY") ? TIndexDesc::kPrimary : TIndexDesc::kUnique;
    }
    const std::uint8_t order =
        query.FieldValue(5) == "A" ? TIndexDesc::kAscending : TIndexDesc::kDescending;
    indices.AddColumn(tableName, keyName, kind, order, query.FieldValue(4));
    query.Next();
  }
  query.Close();
}

bool TZCustomMySqlDataset::FetchRow() {
  TDirMySqlQuery& query = Query();
  TSqlBuffer& buffer = MainBuffer();
  for (;;) {
    if (!query.Active()) return false;
    if (HasFetchedRows()) {
      query.Next();
      if (query.Status() != qsRowsReady) {
        // A streamed result broke off: the rows read are not the whole table.
        throw EDatabaseError(query.ErrorText(), query.Sql(), query.ErrorNumber());
      }
    }
    if (OnProgress()) {
      const int position = query.RecNo() + 1;
      bool cancel = false;
      OnProgress()(*this, 1, 0, position, std::max(position, query.RecordCount()), cancel);
      if (cancel) query.Close();
    }
    if (!query.Active() || query.Eof()) return false;
    std::byte* record = buffer.AddRecord();
    CountFetchedRow();
    try {
      FillRecord(record);
    } catch (...) {
      buffer.DropRecord(buffer.Count() - 1);
      throw;
    }
    if (!buffer.FilterItem(buffer.Count() - 1)) return true;
  }
}

void TZCustomMySqlDataset::FillRecord(std::byte* record) {
  TDirMySqlQuery& query = Query();
  TSqlBuffer& buffer = MainBuffer();
  const TSqlFields& descs = buffer.SqlFields();
  for (int i = 0; i < descs.Count(); ++i) {
    const TFieldDesc& desc = descs[i];
    const int column = desc.ColumnIndex;
    if (column < 0) continue;
    const char* data = query.FieldBuffer(column);
    if (!data) continue;  // NULL: the field stays null, blobs too
    const std::string_view text(data, static_cast<std::size_t>(query.FieldSize(column)));
    switch (desc.FieldType) {
      case ftString:
      case ftFixedChar:
        buffer.SetStringText(record, i, text);
        break;
      case ftSmallint:
      case ftInteger:
      case ftWord:
      case ftAutoInc:
      case ftLargeint:
        // Range-checked by the slot: a value it cannot hold raises rather than turns to 0.
        if (auto number = TryStrToInt64(text)) {
          buffer.SetFieldValue(record, i, FieldValue::Largeint(*number));
        } else {
          buffer.SetFieldValue(record, i, FieldValue::Bytes(std::string(text)));
        }
        break;
      case ftBoolean:
        buffer.SetFieldValue(record, i, SqlTextToValue(text, ftBoolean));
        break;
      case ftFloat:
      case ftCurrency:
        if (auto number = ParseDouble(text)) {
          buffer.SetFieldValue(record, i, FieldValue::Double(*number));
        } else {
          buffer.SetFieldValue(record, i, FieldValue::Bytes(std::string(text)));
        }
        break;
      case ftBCD:
        buffer.SetValueText(record, i, text);
        break;
      case ftDate:
        buffer.SetFieldValue(record, i, FieldValue::DateTime(SqlTextToDate(text)));
        break;
      case ftTime:
        buffer.SetFieldValue(record, i, FieldValue::DateTime(SqlTextToTime(text)));
        break;
      case ftDateTime:
        buffer.SetFieldValue(
            record, i,
            FieldValue::DateTime(SqlTextToDate(query.FieldType(column) == kTimestampType
                                                   ? InsertTimestampSeparators(text)
                                                   : std::string(text))));
        break;
      case ftBlob:
      case ftMemo:
      case ftGraphic:
      case ftFmtMemo:
        buffer.SetBlobValue(record, i, text);
        break;
      default:
        throw EDatabaseError("Unknown type: " + desc.Alias);
    }
  }
}

void TZCustomMySqlDataset::AfterChangeApplied(const std::byte* change, std::byte* record) {
  if (RecordStatus(change) == ztInserted) {
    const std::string table = UpdatedTable();
    TSqlBuffer& buffer = MainBuffer();
    const TSqlFields& descs = buffer.SqlFields();
    for (int i = 0; i < descs.Count(); ++i) {
      if (!descs[i].IsAutoInc() || !SameName(descs[i].TableName, table)) continue;
      if (buffer.IsNull(record, i)) {
        const std::string id = EvaluateExpression("LAST_INSERT_ID()");
        try {
          buffer.SetValueText(record, i, id);
        } catch (const Exception&) {
          // As a failed request: the text does not convert, the field stays as it was left.
        }
      }
      break;
    }
  }
  TZDataset::AfterChangeApplied(change, record);
}

TZMySqlTable::~TZMySqlTable() = default;

void TZMySqlTable::SetTableName(const std::string& name) {
  if (name == tableName_) return;
  Close();
  tableName_ = name;
  // Parameters and analysis are made afresh from the new text (the analyser's SqlChanged).
  SqlParser().Sql().SetText(name.empty() ? std::string()
                                         : "SELECT * FROM " + QuoteIdentifier(name));
  SqlParser().SetOrderBy(OrderingText());
}

}  // namespace tabulix
