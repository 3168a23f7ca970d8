#include "dialogs/list_controls.h"

void ReportList::AddColumn(int column, const char* heading, int widthAt96) const {
  LVCOLUMNA col = {};
  col.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT;
  col.fmt = LVCFMT_LEFT;
  col.cx = ScreenPixels(widthAt96);
  col.pszText = const_cast<char*>(heading);
  Send(LVM_INSERTCOLUMNA, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&col));
}

void ReportList::AddRow(const std::vector<std::string>& texts) const {
  LVITEMA item = {};
  item.mask = LVIF_TEXT;
  item.iItem = static_cast<int>(Send(LVM_GETITEMCOUNT));
  for (const std::string& text : texts) {
    item.pszText = const_cast<char*>(text.c_str());
    if (item.iSubItem == 0) {
      item.iItem = static_cast<int>(Send(LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    } else {
      Send(LVM_SETITEMTEXTA, static_cast<WPARAM>(item.iItem), reinterpret_cast<LPARAM>(&item));
    }
    ++item.iSubItem;
  }
}

int ReportList::Selected() const {
  return static_cast<int>(Send(LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void ReportList::Select(int row) const {
  LVITEMA item = {};
  item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  item.state = LVIS_SELECTED | LVIS_FOCUSED;
  Send(LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
  Send(LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
}

void DropDown::Add(const std::string& text, LPARAM data) const {
  const LRESULT at = Send(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
  if (at >= 0) Send(CB_SETITEMDATA, static_cast<WPARAM>(at), data);
}
