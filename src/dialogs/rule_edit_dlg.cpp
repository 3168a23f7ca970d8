#include "dialogs/rule_edit_dlg.h"

#include <string>

#include "app/virtual_desk_app.h"
#include "platform/win32/win32_text.h"
#include "res/resource.h"

namespace {
constexpr char kPinItem[] = "Every desktop (pin)";
constexpr LPARAM kPinData = 1;
// A stored text of rules::kMaxText bytes would not come back with its terminating zero.
constexpr int kMaxPatternChars = static_cast<int>(rules::kMaxText) - 1;

// The field's text, which its limit keeps within the buffer.
std::string PatternIn(HWND edit) {
  char text[rules::kMaxText] = {};
  GetWindowTextA(edit, text, sizeof(text));
  return text;
}
}  // namespace

CRuleEditDlg::CRuleEditDlg(CVirtualDeskApp* app, const WindowRule& rule, HWND parent)
    : ModalDialog(IDD_RULE_EDIT, parent), m_pApp(app), m_rule(rule) {}

void CRuleEditDlg::BindControls() {
  Bind(IDC_RULE_PROGRAM, m_editProgram);
  Bind(IDC_RULE_CLASS, m_editClass);
  Bind(IDC_RULE_TITLE, m_editTitle);
  Bind(IDC_RULE_FOLLOW, m_chkFollow);
}

BOOL CRuleEditDlg::OnInitDialog() {
  for (EditField* edit : {&m_editProgram, &m_editClass, &m_editTitle})
    edit->LimitText(kMaxPatternChars);
  m_editProgram.SetText(m_rule.program.c_str());
  m_editClass.SetText(m_rule.windowClass.c_str());
  m_editTitle.SetText(m_rule.title.c_str());
  m_chkFollow.SetCheck(m_rule.follow ? BST_CHECKED : BST_UNCHECKED);
  FillDesktops();
  FillOpenWindows();
  return TRUE;
}

// A rule naming a desktop that is gone keeps that name as a choice of its own, so that editing
// its patterns does not quietly send it elsewhere. A rule naming none starts on the first desktop.
void CRuleEditDlg::FillDesktops() {
  const std::string& wanted = m_rule.desktop;
  int chosen = -1;
  int count = 0;
  for (DesktopNumber n = 1; const char* name = m_pApp->GetDesktopName(n); ++n, ++count) {
    Desktops().Add(name, 0);
    if (chosen < 0 && !wanted.empty() && lstrcmpiA(name, wanted.c_str()) == 0) chosen = count;
  }
  if (chosen < 0 && !wanted.empty()) {
    Desktops().Add(wanted, 0);
    chosen = count++;
  }
  Desktops().Add(kPinItem, kPinData);
  Desktops().Select(m_rule.pin ? count : chosen < 0 ? 0 : chosen);
}

void CRuleEditDlg::FillOpenWindows() {
  m_windows = m_pApp->OpenWindows();
  for (std::size_t i = 0; i < m_windows.size(); ++i) {
    const OpenWindow& w = m_windows[i];
    From().Add(Utf8ToAnsi(w.title + "  (" + w.program + ")"), static_cast<LPARAM>(i));
  }
}

bool CRuleEditDlg::OnCommand(WORD id, WORD notifyCode, HWND) {
  if (id != IDC_RULE_FROM || notifyCode != CBN_SELCHANGE) return false;
  TakeOpenWindow();
  return true;
}

// The edit fields hold 8-bit text, as the stored rules do: a character of the title or the
// program's name that the code page lacks becomes '?', which as a pattern stands for any one
// character, so the rule still matches the window it was made from.
void CRuleEditDlg::TakeOpenWindow() {
  const int chosen = From().Selected();
  const auto index = static_cast<std::size_t>(From().DataAt(chosen));
  if (index >= m_windows.size()) return;
  const OpenWindow& w = m_windows[index];
  m_editProgram.SetText(Utf8ToAnsi(w.program).c_str());
  m_editClass.SetText(w.windowClass.c_str());
  m_editTitle.SetText(Utf8ToAnsi(w.title).c_str());
}

// With no desktop chosen the rule keeps its empty desktop and is shown as one that never acts.
void CRuleEditDlg::OnOK() {
  m_rule.program = PatternIn(m_editProgram.Handle());
  m_rule.windowClass = PatternIn(m_editClass.Handle());
  m_rule.title = PatternIn(m_editTitle.Handle());
  m_rule.follow = m_chkFollow.GetCheck() == BST_CHECKED;
  const int chosen = Desktops().Selected();
  m_rule.pin = chosen >= 0 && Desktops().DataAt(chosen) == kPinData;
  const char* name = m_pApp->GetDesktopName(static_cast<DesktopNumber>(chosen + 1));
  if (chosen < 0 || m_rule.pin) {
    m_rule.desktop.clear();
  } else if (name != nullptr) {
    m_rule.desktop = name;
  }  // else the missing desktop's own choice: the name stays
  ModalDialog::OnOK();
}
