#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tabulix {

class TComponent;

// A method reference with the sending component only.
using TNotifyEvent = std::function<void(TComponent& sender)>;

enum class TOperation { opInsert, opRemove };

// The owner/component model of the non-visual components.
//
// Ownership: an owner holds its components (Create, InsertComponent) and releases them when it
// goes, the last created first; FreeComponent releases one earlier. A component without owner
// lives in whatever the caller keeps it in.
//
// Removal notices: a component that keeps a reference to another calls FreeNotification on
// it. The link runs both ways: whichever of the two goes first calls Notification(itself,
// opRemove) on the other, which must then forget the reference. The owner also hears of the
// insertion and removal of its components.
//
// Destruction order: the notices must reach the others while the dying component is still
// whole, so a class whose notice handlers of others call back into it (or that must have its
// owned components gone before its own clean-up) calls BeginDestruction() first thing in its
// destructor. ~TComponent calls it as well for classes that need no such care; it runs once.
//
// Loading: between BeginLoading and EndLoading the component and everything it owns report
// Loading(); EndLoading calls Loaded() on every owned component in creation order, then on the
// owner itself, as a window does once its stored design has been read.
class TComponent {
 public:
  TComponent() = default;
  virtual ~TComponent();
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;

  const std::string& Name() const { return name_; }
  void SetName(std::string name) { name_ = std::move(name); }
  TComponent* Owner() const { return owner_; }

  std::size_t ComponentCount() const { return components_.size(); }
  TComponent& Components(std::size_t index) const;  // EListError when out of range
  // The owned component of that name, ignoring ASCII letter case; nullptr when absent.
  TComponent* FindComponent(std::string_view name) const;

  // Creates a component owned by this one.
  template <class T, class... Args>
  T& Create(Args&&... args) {
    auto component = std::make_unique<T>(std::forward<Args>(args)...);
    T& result = *component;
    InsertComponent(std::move(component));
    return result;
  }
  // Takes over a component that has no owner yet.
  void InsertComponent(std::unique_ptr<TComponent> component);
  // Releases an owned component now: it sends its removal notices and is destroyed.
  void FreeComponent(TComponent& component);

  void FreeNotification(TComponent& other);
  void RemoveFreeNotification(TComponent& other);

  bool Loading() const { return loading_; }
  bool Destroying() const { return destroying_; }
  void BeginLoading();
  void EndLoading();

 protected:
  // Sends the removal notices and releases the owned components; runs once.
  void BeginDestruction() noexcept;
  virtual void Notification(TComponent& component, TOperation operation);
  virtual void Loaded() {}

 private:
  void EndLoadingOwned();

  std::string name_;
  TComponent* owner_ = nullptr;
  std::vector<std::unique_ptr<TComponent>> components_;
  std::vector<TComponent*> freeNotifies_;
  bool loading_ = false;
  bool destroying_ = false;
};

}  // namespace tabulix
