#include "sql/SqlFields.h"

#include "framework/AsciiCase.h"
#include "framework/Exceptions.h"
#include "framework/FormatMessage.h"
#include "framework/TField.h"

namespace tabulix {
void TSqlFields::IndexError(int index) {
  throw EListError(FormatMessage("List Index Error at %d", {std::to_string(index)}));
}

TFieldDesc& TSqlFields::Add(TFieldDesc values) {
  values.TableName = ShortString(values.TableName, TFieldDesc::kMaxNameLength);
  values.FieldName = ShortString(values.FieldName, TFieldDesc::kMaxNameLength);
  values.Alias = ShortString(values.Alias, TFieldDesc::kMaxNameLength);
  values.TypeName = ShortString(values.TypeName, TFieldDesc::kMaxTextLength);
  values.DefaultValue = values.IsAutoInc()
                            ? std::string()
                            : ShortString(values.DefaultValue, TFieldDesc::kMaxTextLength);
  items_.push_back(std::move(values));
  return items_.back();
}

TFieldDesc& TSqlFields::AddCopy(const TFieldDesc& desc) {
  items_.push_back(desc);
  return items_.back();
}

TFieldDesc& TSqlFields::AddFromField(TField* field, std::string_view fieldName,
                                     TFieldType fieldType, int size, bool required, bool readOnly) {
  TFieldDesc desc;
  desc.Alias = ShortString(fieldName, TFieldDesc::kMaxNameLength);
  desc.FieldType = fieldType;
  desc.Size = size;
  desc.Nullable = !required;
  desc.ReadOnly = readOnly;
  desc.Field = field;
  items_.push_back(std::move(desc));
  return items_.back();
}

TFieldDesc& TSqlFields::AddFromField(TField& field) {
  return AddFromField(&field, field.FieldName(), field.DataType(), field.Size(), field.Required(),
                      field.ReadOnly());
}

int TSqlFields::FindByName(std::string_view tableName, std::string_view fieldName) const {
  for (std::size_t i = 0; i < items_.size(); ++i) {
    const TFieldDesc& d = items_[i];
    if ((tableName.empty() || EqualsIgnoreCase(d.TableName, tableName)) &&
        EqualsIgnoreCase(d.FieldName, fieldName)) {
      return static_cast<int>(i);
    }
  }
  return -1;
}

int TSqlFields::FindByAlias(std::string_view alias) const {
  for (std::size_t i = 0; i < items_.size(); ++i) {
    if (EqualsIgnoreCase(items_[i].Alias, alias)) return static_cast<int>(i);
  }
  return -1;
}

int TSqlFields::FindByField(const TField* field) const {
  if (!field) return -1;
  for (std::size_t i = 0; i < items_.size(); ++i) {
    if (items_[i].Field == field) return static_cast<int>(i);
  }
  return -1;
}

}  // namespace tabulix
