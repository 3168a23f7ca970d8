#include "dialogs/desk_list_ctrl.h"

CDeskListCtrl::~CDeskListCtrl() {
  if (m_font != nullptr) DeleteObject(m_font);
}

void CDeskListCtrl::OnAttach() {
  if (m_font != nullptr) return;
  LOGFONTA face = {};
  face.lfHeight = ScreenPixels(13);
  face.lfWeight = FW_BOLD;
  lstrcpynA(face.lfFaceName, "Tahoma", LF_FACESIZE);
  m_font = CreateFontIndirectA(&face);
}

int CDeskListCtrl::GetSelectedDesk() const {
  return static_cast<int>(Send(LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED)) + 1;
}

void CDeskListCtrl::InsertColumn(int column, const char* heading, int format, int width) const {
  LVCOLUMNA col = {};
  col.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
  col.fmt = format;
  col.cx = width;
  col.pszText = const_cast<char*>(heading);
  col.iSubItem = column;
  Send(LVM_INSERTCOLUMNA, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&col));
}

void CDeskListCtrl::AppendItem(const char* text) const {
  LVITEMA item = {};
  item.mask = LVIF_TEXT | LVIF_IMAGE;
  item.iItem = GetItemCount();
  item.pszText = const_cast<char*>(text);
  item.iImage = 0;
  Send(LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
}

void CDeskListCtrl::SetItemData(int index, LPARAM data) const {
  LVITEMA item = {};
  item.mask = LVIF_PARAM;
  item.iItem = index;
  item.lParam = data;
  Send(LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
}

LPARAM CDeskListCtrl::GetItemData(int index) const {
  LVITEMA item = {};
  item.mask = LVIF_PARAM;
  item.iItem = index;
  return Send(LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)) ? item.lParam : 0;
}

void CDeskListCtrl::SetItemText(int index, const char* text) const {
  LVITEMA item = {};
  item.iSubItem = 0;
  item.pszText = const_cast<char*>(text);
  Send(LVM_SETITEMTEXTA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
}

bool CDeskListCtrl::OnReflectedNotify(NMHDR* header, LRESULT* result) {
  if (header->code != NM_CUSTOMDRAW) return false;
  *result = OnCustomDraw(reinterpret_cast<NMLVCUSTOMDRAW*>(header));
  return true;
}

// Only the current desktop's item differs: dark blue text in the bold face; the background and
// every other item are drawn as the list draws them.
LRESULT CDeskListCtrl::OnCustomDraw(NMLVCUSTOMDRAW* draw) const {
  if (draw->nmcd.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
  if (draw->nmcd.dwDrawStage != CDDS_ITEMPREPAINT) return CDRF_DODEFAULT;
  if (GetItemData(static_cast<int>(draw->nmcd.dwItemSpec)) != 1) return CDRF_DODEFAULT;
  draw->clrText = kCurrentDeskColour;
  if (m_font == nullptr) return CDRF_DODEFAULT;
  SelectObject(draw->nmcd.hdc, m_font);
  return CDRF_NEWFONT;
}
