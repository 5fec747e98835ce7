#include "framework/FieldFactory.h"

#include "framework/fields/TAutoIncField.h"
#include "framework/fields/TBCDField.h"
#include "framework/fields/TBlobField.h"
#include "framework/fields/TBooleanField.h"
#include "framework/fields/TBytesField.h"
#include "framework/fields/TCurrencyField.h"
#include "framework/fields/TDateField.h"
#include "framework/fields/TDateTimeField.h"
#include "framework/fields/TFloatField.h"
#include "framework/fields/TGraphicField.h"
#include "framework/fields/TIntegerField.h"
#include "framework/fields/TLargeintField.h"
#include "framework/fields/TMemoField.h"
#include "framework/fields/TSmallintField.h"
#include "framework/fields/TStringField.h"
#include "framework/fields/TTimeField.h"
#include "framework/fields/TUnknownField.h"
#include "framework/fields/TVarBytesField.h"
#include "framework/fields/TWordField.h"

namespace tabulix {

std::unique_ptr<TField> CreateFieldForType(TFieldType dataType) {
  switch (dataType) {
    case ftString:
    case ftFixedChar:
    case ftWideString:
      return std::make_unique<TStringField>(20, dataType);
    case ftSmallint:
      return std::make_unique<TSmallintField>();
    case ftInteger:
      return std::make_unique<TIntegerField>();
    case ftWord:
      return std::make_unique<TWordField>();
    case ftAutoInc:
      return std::make_unique<TAutoIncField>();
    case ftLargeint:
      return std::make_unique<TLargeintField>();
    case ftBoolean:
      return std::make_unique<TBooleanField>();
    case ftFloat:
      return std::make_unique<TFloatField>();
    case ftCurrency:
      return std::make_unique<TCurrencyField>();
    case ftBCD:
      return std::make_unique<TBCDField>();
    case ftDate:
      return std::make_unique<TDateField>();
    case ftTime:
      return std::make_unique<TTimeField>();
    case ftDateTime:
      return std::make_unique<TDateTimeField>();
    case ftBytes:
      return std::make_unique<TBytesField>();
    case ftVarBytes:
      return std::make_unique<TVarBytesField>();
    case ftMemo:
      return std::make_unique<TMemoField>();
    case ftGraphic:
      return std::make_unique<TGraphicField>();
    case ftBlob:
    case ftFmtMemo:
    case ftParadoxOle:
    case ftDBaseOle:
    case ftTypedBinary:
      return std::make_unique<TBlobField>(dataType);
    default:
      return std::make_unique<TUnknownField>(dataType);
  }
}

}  // namespace tabulix
