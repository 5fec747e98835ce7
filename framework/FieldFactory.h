#pragma once

#include <memory>

#include "framework/FieldType.h"
#include "framework/TField.h"

namespace tabulix {

// A new field object of the class that serves the field type.
std::unique_ptr<TField> CreateFieldForType(TFieldType dataType);

}  // namespace tabulix
