#include "dialogs/desktops_dlg.h"

#include <string>

#include "app/virtual_desk_app.h"
#include "dialogs/desk_edit_dlg.h"
#include "res/resource.h"
#include "shell/hotkey_code.h"

namespace {
constexpr int kColumnWidth = 100;
}  // namespace

// A shared icon from LoadIcon: never destroyed.
CDesktopsDlg::CDesktopsDlg(CVirtualDeskApp* app, HWND parent)
    : ModalDialog(IDD_OPTIONS, parent),
      m_pApp(app),
      m_hIcon(LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_MAIN))) {}

void CDesktopsDlg::BindControls() {
  Bind(IDC_AUTOSTART, m_chkAutostart);
  Bind(IDC_SHOW_NOTICE, m_chkShowNotice);
  Bind(IDC_NEXT_HOTKEY, m_hkNext);
  Bind(IDC_PREV_HOTKEY, m_hkPrev);
  Bind(IDC_DESK_LIST, m_listDesks);
}

// The current desktop's mark is set here only: every later fill drops it.
BOOL CDesktopsDlg::OnInitDialog() {
  SendMessageA(Window(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
  // The caption's icon at its own size (16 pixels at 96 DPI, 24 at 144), not the big one shrunk.
  HANDLE small =
      LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_MAIN), IMAGE_ICON,
                 GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), LR_SHARED);
  SendMessageA(Window(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
  m_listDesks.InsertColumn(0, "", LVCFMT_LEFT, ScreenPixels(kColumnWidth));
  FillDeskList();
  m_listDesks.SetItemData(m_pApp->CurrentDesktop() - 1, 1);
  ShowOptions();
  return TRUE;
}

void CDesktopsDlg::ShowOptions() {
  OptionsBlock options = m_pApp->GetOptions();
  m_hkPrev.SetHotKey(HotkeyToControl(options.prevHotkey));
  m_hkNext.SetHotKey(HotkeyToControl(options.nextHotkey));
  m_chkShowNotice.SetCheck(options.showNotice);
  m_chkAutostart.SetCheck(options.startAtLogon);
}

void CDesktopsDlg::FillDeskList() {
  m_listDesks.DeleteAllItems();
  for (int n = 1;; ++n) {
    const char* name = m_pApp->GetDesktopName(static_cast<DesktopNumber>(n));
    if (name == nullptr) break;
    m_listDesks.AppendItem(name);
  }
}

bool CDesktopsDlg::OnPaint() {
  if (!IsIconic(Window())) return false;
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(Window(), &paint);
  SendMessageA(Window(), WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  RECT client = {};
  GetClientRect(Window(), &client);
  int x = (client.right - client.left - GetSystemMetrics(SM_CXICON) + 1) / 2;
  int y = (client.bottom - client.top - GetSystemMetrics(SM_CYICON) + 1) / 2;
  DrawIcon(dc, x, y, m_hIcon);
  EndPaint(Window(), &paint);
  return true;
}

bool CDesktopsDlg::OnCommand(WORD id, WORD notifyCode, HWND) {
  if (notifyCode != BN_CLICKED) return false;
  switch (id) {
    case IDC_ADD:
      OnAdd();
      return true;
    case IDC_EDIT:
      OnEdit();
      return true;
    case IDC_DELETE:
      OnDelete();
      return true;
    default:
      return false;
  }
}

void CDesktopsDlg::RunEditor(int desk) {
  CDeskEditDlg editor(m_pApp, static_cast<DesktopNumber>(desk));
  editor.DoModal();
  FillDeskList();
}

void CDesktopsDlg::OnAdd() {
  RunEditor(m_listDesks.GetItemCount() + 1);
}

void CDesktopsDlg::OnEdit() {
  int desk = m_listDesks.GetSelectedDesk();
  if (desk == 0) {
    m_pApp->ShowInfo("Select what desktop you want to edit.");
    return;
  }
  RunEditor(desk);
}

// The list is not refilled: the remaining items keep their texts and the current desktop's mark.
void CDesktopsDlg::OnDelete() {
  int desk = m_listDesks.GetSelectedDesk();
  if (desk == 0) {
    m_pApp->ShowInfo("Select what desktop you want to delete.");
  } else if (m_listDesks.GetItemCount() < 2) {
    m_pApp->ShowInfo("We cant delete desktops anymore.");
  } else if (!m_pApp->DeleteDesktop(static_cast<DesktopNumber>(desk))) {
    m_pApp->ShowInfo("Cannot delete current desktop.");
  } else {
    m_listDesks.DeleteItem(desk - 1);
  }
}

bool CDesktopsDlg::OnNotify(NMHDR* header, LRESULT* result) {
  if (header->idFrom != IDC_DESK_LIST) return false;
  if (header->code == LVN_BEGINLABELEDITA) {
    *result = OnBeginLabelEdit();
    return true;
  }
  if (header->code == LVN_ENDLABELEDITA) {
    *result = OnEndLabelEdit();
    return true;
  }
  return false;
}

LRESULT CDesktopsDlg::OnBeginLabelEdit() {
  SendMessageA(m_listDesks.GetEditControl(), EM_LIMITTEXT, DesktopInfo::kMaxNameChars, 0);
  return 0;
}

// The label editor itself is read, not the notification's text: an edit ended with Esc renames
// too. The answer is always 0, so the list never takes the text over by itself.
LRESULT CDesktopsDlg::OnEndLabelEdit() {
  int desk = m_listDesks.GetSelectedDesk();
  if (desk == 0) {
    m_pApp->ShowInfo("Select what desktop you want to rename.");
    return 0;
  }
  std::string name = ReadShortLine(m_listDesks.GetEditControl(), DesktopInfo::kMaxNameChars);
  if (name.empty()) {
    m_pApp->ShowInfo("Type desktop name.");
  } else if (!m_pApp->SetDesktopName(static_cast<DesktopNumber>(desk), name.c_str())) {
    m_pApp->ShowInfo("This desktop name allready exist.");
  } else {
    m_listDesks.SetItemText(desk - 1, name.c_str());
  }
  return 0;
}

// Options that could not all be registered would end the program now and every later start, so
// they are refused and the dialog stays open.
bool CDesktopsDlg::OnClose() {
  OptionsBlock options;
  options.prevHotkey = HotkeyFromControl(m_hkPrev.GetHotKey());
  options.nextHotkey = HotkeyFromControl(m_hkNext.GetHotKey());
  options.showNotice = m_chkShowNotice.GetCheck();
  options.startAtLogon = m_chkAutostart.GetCheck();
  std::string refusal = m_pApp->OptionsRefusal(options);
  if (!refusal.empty()) {
    m_pApp->ShowInfo(refusal.c_str());
    return true;
  }
  m_pApp->ApplyOptions(options);
  return false;
}
