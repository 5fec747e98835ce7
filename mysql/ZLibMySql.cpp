#include "mysql/ZLibMySql.h"

#include "framework/Exceptions.h"
#include "framework/FormatMessage.h"
#include "mysql/internal/ClientApi.h"
#include "mysql/internal/DynamicLibrary.h"

namespace tabulix {
namespace {

using mysql_internal::ClientApi;
using mysql_internal::DynamicLibrary;

struct Binding {
  std::string fileName = "libmariadb.so.3";
  DynamicLibrary library;
  bool loadedByBinding = false;
  ClientApi api;

  void Release() noexcept {
    if (library && loadedByBinding && api.mysql_server_end) {
      // The library allocates global state on the first mysql_init; give it back before the
      // code that owns it is unmapped.
      api.mysql_server_end();
    }
    api.ForEach([](auto& slot) { slot.Clear(); });
    // A library that someone else had loaded keeps its own reference and stays mapped.
    library.Reset();
    loadedByBinding = false;
  }

  ~Binding() {
    Release();
    fileName.clear();
  }
};

Binding& State() {
  static Binding binding;
  return binding;
}

}  // namespace

namespace mysql_internal {
ClientApi& Lib() {
  return State().api;
}
}  // namespace mysql_internal

const std::string& ClientLibraryName() {
  return State().fileName;
}

void SetClientLibraryName(std::string fileName) {
  State().fileName = std::move(fileName);
}

bool ClientLibraryBound() {
  return static_cast<bool>(State().library);
}

bool LoadedByBinding() {
  return State().loadedByBinding;
}

void BindClientLibrary() {
  Binding& b = State();
  if (b.library) return;
  DynamicLibrary library = DynamicLibrary::FindLoaded(b.fileName);
  bool loaded = false;
  if (!library) {
    library = DynamicLibrary::Load(b.fileName);
    loaded = true;
  }
  if (!library) throw Exception(FormatMessage("Dynamic library %s not found", {b.fileName}));
  b.api.ForEach([&library](auto& slot) {
    using Pointer = typename std::remove_reference_t<decltype(slot)>::Pointer;
    slot.Set(reinterpret_cast<Pointer>(library.Symbol(slot.Name())));
  });
  b.library = std::move(library);
  b.loadedByBinding = loaded;
}

void ReleaseClientLibrary() {
  State().Release();
}

}  // namespace tabulix
