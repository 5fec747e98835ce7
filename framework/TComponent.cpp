#include "framework/TComponent.h"

#include <algorithm>

#include "framework/AsciiCase.h"
#include "framework/Exceptions.h"

namespace tabulix {

namespace {

void Erase(std::vector<TComponent*>& list, const TComponent* item) {
  list.erase(std::remove(list.begin(), list.end(), item), list.end());
}

}  // namespace

TComponent::~TComponent() {
  BeginDestruction();
}

void TComponent::BeginDestruction() noexcept {
  if (destroying_) return;
  destroying_ = true;
  // A handler may unlink further components; take one link at a time.
  while (!freeNotifies_.empty()) {
    TComponent* other = freeNotifies_.back();
    freeNotifies_.pop_back();
    Erase(other->freeNotifies_, this);
    try {
      other->Notification(*this, TOperation::opRemove);
    } catch (...) {
      // Nothing may leave a destruction; the other side has forgotten the link anyway.
    }
  }
  while (!components_.empty()) {
    std::unique_ptr<TComponent> component = std::move(components_.back());
    components_.pop_back();
    component->owner_ = nullptr;
    component.reset();
  }
}

TComponent& TComponent::Components(std::size_t index) const {
  if (index >= components_.size()) {
    throw EListError("List index out of bounds (" + std::to_string(index) + ")");
  }
  return *components_[index];
}

TComponent* TComponent::FindComponent(std::string_view name) const {
  for (const auto& component : components_) {
    if (EqualsIgnoreCase(component->Name(), name)) return component.get();
  }
  return nullptr;
}

void TComponent::InsertComponent(std::unique_ptr<TComponent> component) {
  if (!component) return;
  if (component->owner_ != nullptr) throw EListError("Component already has an owner");
  component->owner_ = this;
  component->loading_ = loading_;
  TComponent& inserted = *component;
  components_.push_back(std::move(component));
  Notification(inserted, TOperation::opInsert);
}

void TComponent::FreeComponent(TComponent& component) {
  auto it = std::find_if(components_.begin(), components_.end(),
                         [&](const auto& owned) { return owned.get() == &component; });
  if (it == components_.end()) throw EListError("Component is not owned here");
  Notification(component, TOperation::opRemove);
  std::unique_ptr<TComponent> released = std::move(*it);
  components_.erase(it);
  released->owner_ = nullptr;
}

void TComponent::FreeNotification(TComponent& other) {
  if (&other == this || destroying_ || other.destroying_) return;
  if (std::find(freeNotifies_.begin(), freeNotifies_.end(), &other) != freeNotifies_.end()) {
    return;
  }
  freeNotifies_.push_back(&other);
  other.freeNotifies_.push_back(this);
}

void TComponent::RemoveFreeNotification(TComponent& other) {
  Erase(freeNotifies_, &other);
  Erase(other.freeNotifies_, this);
}

void TComponent::Notification(TComponent& /*component*/, TOperation /*operation*/) {}

void TComponent::BeginLoading() {
  loading_ = true;
  for (const auto& component : components_) component->BeginLoading();
}

void TComponent::EndLoadingOwned() {
  loading_ = false;
  for (const auto& component : components_) component->EndLoadingOwned();
}

void TComponent::EndLoading() {
  // Every component is out of the loading state before the first Loaded() looks at another.
  EndLoadingOwned();
  for (std::size_t i = 0; i < components_.size(); ++i) components_[i]->Loaded();
  Loaded();
}

}  // namespace tabulix
