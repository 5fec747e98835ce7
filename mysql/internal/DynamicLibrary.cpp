#include "mysql/internal/DynamicLibrary.h"

#include <dlfcn.h>

namespace tabulix::mysql_internal {

DynamicLibrary& DynamicLibrary::operator=(DynamicLibrary&& other) noexcept {
  if (this != &other) {
    Reset();
    handle_ = other.handle_;
    other.handle_ = nullptr;
  }
  return *this;
}

DynamicLibrary DynamicLibrary::Load(const std::string& fileName) {
  if (fileName.empty()) return {};
  return DynamicLibrary(dlopen(fileName.c_str(), RTLD_NOW | RTLD_LOCAL));
}

DynamicLibrary DynamicLibrary::FindLoaded(const std::string& fileName) {
  if (fileName.empty()) return {};
  return DynamicLibrary(dlopen(fileName.c_str(), RTLD_NOW | RTLD_NOLOAD));
}

void* DynamicLibrary::Symbol(const char* name) const {
  return handle_ ? dlsym(handle_, name) : nullptr;
}

void DynamicLibrary::Reset() noexcept {
  if (handle_) {
    dlclose(handle_);
    handle_ = nullptr;
  }
}

}  // namespace tabulix::mysql_internal
