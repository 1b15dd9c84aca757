#include "platform/win32/Win32DialogHost.h"

#include <windows.h>

#include <commctrl.h>

#include <vector>

#include "platform/win32/DialogTemplateBytes.h"
#include "platform/win32/WideString.h"

namespace hvx::win32 {

namespace {

// The live controls of one running dialog.
class Win32DialogControls final : public IDialogControls {
  public:
    explicit Win32DialogControls(const DialogTemplate& dialogTemplate)
        : m_template(dialogTemplate) {}

    void SetDialog(HWND dialog) { m_dialog = dialog; }

    void CheckButton(int id, int state) override { Send(id, BM_SETCHECK, state, 0); }
    int IsButtonChecked(int id) override { return static_cast<int>(Send(id, BM_GETCHECK, 0, 0)); }

    std::string GetItemText(int id) override {
        const HWND control = GetDlgItem(m_dialog, id);
        if (control == nullptr) return {};
        std::wstring text(static_cast<size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
        const int length = GetWindowTextW(control, text.data(), static_cast<int>(text.size()));
        text.resize(length > 0 ? static_cast<size_t>(length) : 0);
        return Narrow(text);
    }

    void SetItemText(int id, std::string_view text) override {
        SetDlgItemTextW(m_dialog, id, Widen(text).c_str());
    }

    void LimitText(int id, int maxChars) override {
        // A combo box's edit field takes its limit through the combo box.
        Send(id, IsComboBox(id) ? CB_LIMITTEXT : EM_LIMITTEXT, static_cast<WPARAM>(maxChars), 0);
    }

    void SetSliderRange(int id, int minimum, int maximum, bool redraw) override {
        // The separate messages take full 32-bit bounds; TBM_SETRANGE packs two 16-bit halves,
        // too small for a mixer's 0..65535 scale.
        Send(id, TBM_SETRANGEMIN, FALSE, minimum);
        Send(id, TBM_SETRANGEMAX, redraw ? TRUE : FALSE, maximum);
    }

    void SetSliderPos(int id, int pos, bool redraw) override {
        Send(id, TBM_SETPOS, redraw ? TRUE : FALSE, pos);
    }

    int GetSliderPos(int id) override { return static_cast<int>(Send(id, TBM_GETPOS, 0, 0)); }

    void ComboAddString(int id, std::string_view text) override {
        const std::wstring wide = Widen(text);
        Send(id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide.c_str()));
    }

    int ComboGetCurSel(int id) override { return static_cast<int>(Send(id, CB_GETCURSEL, 0, 0)); }
    void ComboSetCurSel(int id, int index) override {
        Send(id, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    }

    void EndDialog(int result) override { ::EndDialog(m_dialog, result); }

  private:
    LRESULT Send(int id, UINT message, WPARAM wParam, LPARAM lParam) {
        return SendDlgItemMessageW(m_dialog, id, message, wParam, lParam);
    }

    bool IsComboBox(int id) const {
        for (const ControlTemplate& control : m_template.controls)
            if (control.id == id) return control.cls == ControlClass::ComboBox;
        return false;
    }

    const DialogTemplate& m_template;
    HWND m_dialog = nullptr;
};

struct RunningDialog {
    CDialog& dialog;
    Win32DialogControls controls;
    std::vector<void*>& open;
    bool shown = false;
};

void InitTrackbarClass() {
    static const bool done = [] {
        INITCOMMONCONTROLSEX init{};
        init.dwSize = sizeof(init);
        init.dwICC = ICC_BAR_CLASSES;
        return InitCommonControlsEx(&init) != FALSE;
    }();
    (void)done;
}

INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* running = reinterpret_cast<RunningDialog*>(lParam);
        SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
        running->controls.SetDialog(hwnd);
        running->open.push_back(hwnd);
        running->shown = true;
        running->dialog.Attach(&running->controls);
        return running->dialog.OnInitDialog() ? TRUE : FALSE;
    }
    auto* running = reinterpret_cast<RunningDialog*>(GetWindowLongPtrW(hwnd, DWLP_USER));
    if (running == nullptr) return FALSE;

    switch (message) {
        case WM_COMMAND: {
            // Enter, Escape and the close box arrive as clicks of IDOK and IDCANCEL.
            if (HIWORD(wParam) != BN_CLICKED) return FALSE;
            const int id = LOWORD(wParam);
            if (id == IDOK)
                running->dialog.OnOK();
            else if (id == IDCANCEL)
                running->dialog.OnCancel();
            else
                running->dialog.OnCommand(id);
            return TRUE;
        }
        case WM_HSCROLL:
            // Only a slider's scroll carries its window; the dialog has no scroll bar of its own.
            if (lParam == 0) return FALSE;
            running->dialog.OnHScroll(GetDlgCtrlID(reinterpret_cast<HWND>(lParam)));
            return TRUE;
        case WM_NCDESTROY:
            SetWindowLongPtrW(hwnd, DWLP_USER, 0);
            return FALSE;
        default:
            return FALSE;
    }
}

}  // namespace

int Win32DialogHost::DoModal(CDialog& dialog) {
    InitTrackbarClass();
    const std::vector<uint8_t> bytes = BuildDialogTemplate(dialog.Template());
    RunningDialog running{dialog, Win32DialogControls(dialog.Template()), m_open};
    // The first dialog stands on its own, above a main window that is never shown; one opened
    // from it (a warning) or over it (a confirmation from the minute tick) is owned by it, so
    // OK cannot be pressed again underneath.
    const HWND owner = m_open.empty() ? nullptr : static_cast<HWND>(m_open.back());
    const INT_PTR result = DialogBoxIndirectParamW(
        GetModuleHandleW(nullptr), reinterpret_cast<LPCDLGTEMPLATEW>(bytes.data()), owner,
        &DialogProc, reinterpret_cast<LPARAM>(&running));
    if (running.shown) m_open.pop_back();
    dialog.Attach(nullptr);
    return static_cast<int>(result);
}

}  // namespace hvx::win32
