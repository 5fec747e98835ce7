#pragma once

#include <string>

namespace tabulix::mysql_internal {

// Owns one reference to a shared object opened with dlopen; the destructor gives it back.
class DynamicLibrary {
 public:
  DynamicLibrary() = default;
  ~DynamicLibrary() { Reset(); }
  DynamicLibrary(DynamicLibrary&& other) noexcept : handle_(other.handle_) {
    other.handle_ = nullptr;
  }
  DynamicLibrary& operator=(DynamicLibrary&& other) noexcept;
  DynamicLibrary(const DynamicLibrary&) = delete;
  DynamicLibrary& operator=(const DynamicLibrary&) = delete;

  // Loads the library; an empty owner when it cannot be found or loaded.
  static DynamicLibrary Load(const std::string& fileName);
  // A further reference to the library when the process has it loaded already; else empty.
  static DynamicLibrary FindLoaded(const std::string& fileName);

  explicit operator bool() const { return handle_ != nullptr; }
  void* Get() const { return handle_; }
  // The address of an exported name, or null when the library does not export it.
  void* Symbol(const char* name) const;
  // Gives the reference back; harmless when empty.
  void Reset() noexcept;

 private:
  explicit DynamicLibrary(void* handle) : handle_(handle) {}
  void* handle_ = nullptr;
};

}  // namespace tabulix::mysql_internal
