#pragma once

namespace tabulix {

// What the database component asks of a dataset in its registry. The table dataset implements
// it and registers itself with AddDataset when its Database is set.
class TZDatabaseDataset {
 public:
  // Closes the dataset; may raise.
  virtual void CloseFromDatabase() = 0;
  // Opens the dataset when its opening was put off while the window was loading, it now has a
  // database and a transaction, and it is not open yet; otherwise does nothing.
  virtual void OpenDeferred() = 0;

 protected:
  ~TZDatabaseDataset() = default;
};

}  // namespace tabulix
