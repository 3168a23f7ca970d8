#pragma once

#include "app/dialog_runner.h"

// The program's dialogs, each run modally with no owner window.
class Win32DialogRunner : public DialogRunner {
 public:
  void RunAbout() override;
  void RunOptions(CVirtualDeskApp& app) override;
  void RunMoreOptions(CVirtualDeskApp& app) override;
};
