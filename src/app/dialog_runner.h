#pragma once

class CVirtualDeskApp;

// Runs the program's modal dialogs, each with no parent window, and returns when it has ended.
class DialogRunner {
 public:
  virtual ~DialogRunner() = default;
  virtual void RunAbout() = 0;
  virtual void RunOptions(CVirtualDeskApp& app) = 0;
  virtual void RunMoreOptions(CVirtualDeskApp& app) = 0;  // the extras' dialog
};
