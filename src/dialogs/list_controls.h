#pragma once

#include <windows.h>
// commctrl.h builds on the types of windows.h.
#include <commctrl.h>

#include <string>
#include <vector>

#include "dialogs/dialog_controls.h"

// Views of a dialog's list controls, made over the handle where they are used: with nothing to
// attach or detach they need no place among the bound controls (nor a table of virtual calls).
class ControlView {
 public:
  explicit ControlView(HWND window) : window_(window) {}
  LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
    return SendMessageA(window_, message, wParam, lParam);
  }

 private:
  HWND window_;
};

// A list view in report form, its rows one text per column.
class ReportList : public ControlView {
 public:
  using ControlView::ControlView;
  void AddColumn(int column, const char* heading, int widthAt96) const;
  void Clear() const { Send(LVM_DELETEALLITEMS); }
  void AddRow(const std::vector<std::string>& texts) const;
  int Selected() const;  // the selected row, -1 when none is
  void Select(int row) const;
};

// A drop-down list box of texts, each with a number of the dialog's own.
class DropDown : public ControlView {
 public:
  using ControlView::ControlView;
  void Add(const std::string& text, LPARAM data) const;
  int Selected() const { return static_cast<int>(Send(CB_GETCURSEL)); }  // CB_ERR when none
  void Select(int index) const { Send(CB_SETCURSEL, static_cast<WPARAM>(index)); }
  LPARAM DataAt(int index) const { return Send(CB_GETITEMDATA, static_cast<WPARAM>(index)); }
};
