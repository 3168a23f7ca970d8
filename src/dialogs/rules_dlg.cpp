#include "dialogs/rules_dlg.h"

#include <algorithm>
#include <string>
#include <utility>

#include "app/virtual_desk_app.h"
#include "dialogs/rule_edit_dlg.h"
#include "res/resource.h"

namespace {
struct Column {
  const char* heading;
  int width;  // pixels at 96 DPI
};
constexpr Column kColumns[] = {
    {"Program", 130}, {"Class", 80}, {"Title", 110}, {"Desktop", 95}, {"Follow", 50}};
}  // namespace

CRulesDlg::CRulesDlg(CVirtualDeskApp* app, HWND parent)
    : ModalDialog(IDD_RULES, parent), m_pApp(app) {}

BOOL CRulesDlg::OnInitDialog() {
  List().Send(LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
  int column = 0;
  for (const Column& c : kColumns) List().AddColumn(column++, c.heading, c.width);
  Fill(-1);
  return TRUE;
}

void CRulesDlg::Fill(int select) {
  m_rules = m_pApp->Rules();
  List().Clear();
  for (const WindowRule& rule : m_rules) List().AddRow(m_pApp->RuleRow(rule));
  if (select >= 0 && select < static_cast<int>(m_rules.size())) List().Select(select);
}

bool CRulesDlg::OnCommand(WORD id, WORD notifyCode, HWND) {
  if (notifyCode != BN_CLICKED) return false;
  if (id == IDC_ADD) {
    OnAdd();
  } else if (id == IDC_EDIT) {
    OnEdit();
  } else if (id == IDC_DELETE) {
    OnDelete();
  } else if (id == IDC_UP || id == IDC_DOWN) {
    OnMove(id == IDC_UP ? -1 : 1);
  } else {
    return false;
  }
  return true;
}

// The rules are read afresh first; -1 when no row is selected (the user is asked for one).
int CRulesDlg::SelectedRule() {
  m_rules = m_pApp->Rules();
  const int selected = List().Selected();
  if (selected < 0) m_pApp->ShowInfo("Select a rule first.");
  return selected < static_cast<int>(m_rules.size()) ? selected : -1;
}

bool CRulesDlg::RunEditor(WindowRule* rule) {
  CRuleEditDlg editor(m_pApp, *rule);
  if (editor.DoModal() != IDOK) return false;
  *rule = editor.Rule();
  return true;
}

void CRulesDlg::Store(int select) {
  if (!m_pApp->StoreRules(m_rules)) m_pApp->ShowInfo("The rules could not be stored.");
  Fill(select);
}

void CRulesDlg::OnAdd() {
  WindowRule rule;
  if (!RunEditor(&rule)) return;
  m_rules = m_pApp->Rules();
  m_rules.push_back(std::move(rule));
  Store(static_cast<int>(m_rules.size()) - 1);
}

// The rules are read again once the editor has closed: the rule edited is the one in that place.
void CRulesDlg::OnEdit() {
  const int selected = SelectedRule();
  if (selected < 0) return;
  WindowRule rule = m_rules[static_cast<std::size_t>(selected)];
  if (!RunEditor(&rule)) return;
  m_rules = m_pApp->Rules();
  if (selected >= static_cast<int>(m_rules.size())) return;
  m_rules[static_cast<std::size_t>(selected)] = std::move(rule);
  Store(selected);
}

void CRulesDlg::OnDelete() {
  const int selected = SelectedRule();
  if (selected < 0) return;
  m_rules.erase(m_rules.begin() + selected);
  Store(std::min(selected, static_cast<int>(m_rules.size()) - 1));
}

// Nothing moves past either end.
void CRulesDlg::OnMove(int step) {
  const int selected = SelectedRule();
  const int to = selected + step;
  if (selected < 0 || to < 0 || to >= static_cast<int>(m_rules.size())) return;
  std::swap(m_rules[static_cast<std::size_t>(selected)], m_rules[static_cast<std::size_t>(to)]);
  Store(to);
}
