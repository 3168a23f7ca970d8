#pragma once

#include <windows.h>
// commctrl.h builds on the types of windows.h.
#include <commctrl.h>

#include "dialogs/dialog_controls.h"

// The colour of the current desktop's item: red 0, green 0, blue 160.
constexpr COLORREF kCurrentDeskColour = 0x00A00000;

// The options dialog's list of desktops: item k is desktop k + 1. An item's data is 1 for the
// current desktop and 0 otherwise; nothing else marks the current desktop.
class CDeskListCtrl : public DialogControl {
 public:
  ~CDeskListCtrl() override;

  // The number of the selected desktop, 0 when nothing is selected.
  int GetSelectedDesk() const;
  int GetItemCount() const { return static_cast<int>(Send(LVM_GETITEMCOUNT)); }
  HWND GetEditControl() const { return reinterpret_cast<HWND>(Send(LVM_GETEDITCONTROL)); }
  void InsertColumn(int column, const char* heading, int format, int width) const;
  void AppendItem(const char* text) const;
  void SetItemData(int item, LPARAM data) const;
  LPARAM GetItemData(int item) const;
  void SetItemText(int item, const char* text) const;
  void DeleteItem(int item) const { Send(LVM_DELETEITEM, static_cast<WPARAM>(item)); }
  void DeleteAllItems() const { Send(LVM_DELETEALLITEMS); }

  bool OnReflectedNotify(NMHDR* header, LRESULT* result) override;

 protected:
  void OnAttach() override;

 private:
  LRESULT OnCustomDraw(NMLVCUSTOMDRAW* draw) const;

  // Bold Tahoma for the current desktop's item, made once per attached window.
  HFONT m_font = nullptr;
};
