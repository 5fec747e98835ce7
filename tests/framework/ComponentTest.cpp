#include "framework/TComponent.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/Exceptions.h"

namespace tabulix {
namespace {

using Log = std::vector<std::string>;

// Records what it hears and forgets a referenced component on its removal notice.
class Probe : public TComponent {
 public:
  Probe(std::string name, Log& log) : log_(log) { SetName(std::move(name)); }
  ~Probe() override {
    BeginDestruction();
    log_.push_back("destroy " + Name());
  }
  void Reference(Probe* other) {
    ref_ = other;
    if (other) FreeNotification(*other);
  }
  Probe* Ref() const { return ref_; }

 protected:
  void Notification(TComponent& component, TOperation operation) override {
    log_.push_back(Name() +
                   (operation == TOperation::opRemove ? " hears remove " : " hears insert ") +
                   component.Name());
    if (operation == TOperation::opRemove && &component == ref_) ref_ = nullptr;
  }
  void Loaded() override { log_.push_back("loaded " + Name() + (Loading() ? " loading" : "")); }

 private:
  Log& log_;
  Probe* ref_ = nullptr;
};

TEST(ComponentOwnership, OwnerReleasesItsComponentsLastCreatedFirst) {
  Log log;
  {
    Probe window("window", log);
    window.Create<Probe>("a", log);
    window.Create<Probe>("b", log);
    EXPECT_EQ(window.ComponentCount(), 2u);
    EXPECT_EQ(&window.Components(1), window.FindComponent("B"));
    EXPECT_EQ(window.Components(0).Owner(), &window);
    EXPECT_THROW(window.Components(2), EListError);
    log.clear();
  }
  EXPECT_EQ(log, (Log{"destroy b", "destroy a", "destroy window"}));
}

TEST(ComponentOwnership, FreeComponentReleasesOneAndTellsTheOwner) {
  Log log;
  Probe window("window", log);
  Probe& a = window.Create<Probe>("a", log);
  window.Create<Probe>("b", log);
  log.clear();
  window.FreeComponent(a);
  EXPECT_EQ(log, (Log{"window hears remove a", "destroy a"}));
  ASSERT_EQ(window.ComponentCount(), 1u);
  EXPECT_EQ(window.Components(0).Name(), "b");
  Probe stranger("stranger", log);
  EXPECT_THROW(window.FreeComponent(stranger), EListError);
}

TEST(ComponentOwnership, OwnerHearsInsertion) {
  Log log;
  Probe window("window", log);
  window.Create<Probe>("a", log);
  EXPECT_EQ(log, (Log{"window hears insert a"}));
}

TEST(ComponentRemovalNotice, ReachesTheReferencingComponentWhileTheOtherIsWhole) {
  Log log;
  Probe window("window", log);
  Probe& database = window.Create<Probe>("database", log);
  Probe& transaction = window.Create<Probe>("transaction", log);
  transaction.Reference(&database);
  log.clear();
  window.FreeComponent(database);
  EXPECT_EQ(transaction.Ref(), nullptr);
  EXPECT_EQ(log, (Log{"window hears remove database", "transaction hears remove database",
                      "destroy database"}));
}

TEST(ComponentRemovalNotice, LinkRunsBothWaysAndEndsWithEitherSide) {
  Log log;
  auto database = std::make_unique<Probe>("database", log);
  {
    Probe transaction("transaction", log);
    transaction.Reference(database.get());
    log.clear();
  }
  // The database heard that the transaction went, and has no dangling link left.
  EXPECT_EQ(log, (Log{"database hears remove transaction", "destroy transaction"}));
  log.clear();
  database.reset();
  EXPECT_EQ(log, (Log{"destroy database"}));
}

TEST(ComponentRemovalNotice, RemovedLinkSendsNothing) {
  Log log;
  Probe transaction("transaction", log);
  {
    Probe database("database", log);
    transaction.Reference(&database);
    transaction.RemoveFreeNotification(database);
    log.clear();
  }
  EXPECT_EQ(log, (Log{"destroy database"}));
  EXPECT_NE(transaction.Ref(), nullptr);  // not told, so it still holds the (now stale) reference
}

TEST(ComponentRemovalNotice, LinkingTwiceNotifiesOnce) {
  Log log;
  Probe transaction("transaction", log);
  {
    Probe database("database", log);
    transaction.Reference(&database);
    transaction.Reference(&database);
    log.clear();
  }
  EXPECT_EQ(log, (Log{"transaction hears remove database", "destroy database"}));
}

TEST(ComponentLoading, LoadedRunsAfterEveryComponentLeftTheLoadingState) {
  Log log;
  Probe window("window", log);
  window.BeginLoading();
  Probe& a = window.Create<Probe>("a", log);
  window.Create<Probe>("b", log);
  EXPECT_TRUE(a.Loading());
  log.clear();
  window.EndLoading();
  EXPECT_FALSE(a.Loading());
  EXPECT_EQ(log, (Log{"loaded a", "loaded b", "loaded window"}));
}

}  // namespace
}  // namespace tabulix
