#include "platform/Dialog.h"

#include <cstdlib>

#include "resources/Resource.h"

namespace hvx {

CDialog::CDialog(IDialogHost& host, int templateId)
    : m_host(host), m_template(FindDialogTemplate(templateId)) {}

int CDialog::DoModal() {
    if (m_template == nullptr) return -1;
    const int result = m_host.DoModal(*this);
    m_controls = nullptr;
    return result;
}

bool CDialog::OnInitDialog() {
    UpdateData(false);
    return true;
}

void CDialog::OnOK() {
    // A failed exchange does not keep the dialog open.
    UpdateData(true);
    EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

bool CDialog::UpdateData(bool save) {
    if (m_controls == nullptr) return false;
    DoDataExchange(save);
    return true;
}

void CDialog::EndDialog(int result) {
    if (m_controls) m_controls->EndDialog(result);
}

void CDialog::CheckDlgButton(int id, int state) {
    if (m_controls) m_controls->CheckButton(id, state);
}

int CDialog::IsDlgButtonChecked(int id) {
    return m_controls ? m_controls->IsButtonChecked(id) : 0;
}

int CDialog::GetCheckedRadioButton(int first, int last) {
    for (int id = first; id <= last; ++id)
        if (IsDlgButtonChecked(id) != BST_UNCHECKED) return id;
    return 0;
}

void CDialog::CheckRadioButton(int first, int last, int checkId) {
    for (int id = first; id <= last; ++id)
        CheckDlgButton(id, id == checkId ? BST_CHECKED : BST_UNCHECKED);
}

std::string CDialog::GetDlgItemText(int id) {
    return m_controls ? m_controls->GetItemText(id) : std::string();
}

void CDialog::SetDlgItemText(int id, std::string_view text) {
    if (m_controls) m_controls->SetItemText(id, text);
}

void CDialog::DDX_Text(bool save, int id, std::string& value) {
    if (save)
        value = GetDlgItemText(id);
    else
        SetDlgItemText(id, value);
}

void CDialog::DDX_Text(bool save, int id, int& value) {
    if (save)
        value = std::atoi(GetDlgItemText(id).c_str());
    else
        SetDlgItemText(id, std::to_string(value));
}

void CDialog::DDV_MaxChars(bool save, int id, std::string& value, int maxChars) {
    if (!m_controls) return;
    if (save) {
        if (static_cast<int>(value.size()) > maxChars) value.resize(maxChars);
    } else {
        m_controls->LimitText(id, maxChars);
    }
}

}  // namespace hvx
