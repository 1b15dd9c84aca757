// Modal dialogs built from the templates of resources/: the live controls a running dialog
// offers, the host that runs one, and CDialog, the base of every dialog class.
#pragma once

#include <string>
#include <string_view>

#include "resources/DialogTemplates.h"

namespace hvx {

class CDialog;

// The controls of one running dialog, addressed by id. Valid from OnInitDialog until the
// dialog ends.
class IDialogControls {
  public:
    virtual void CheckButton(int id, int state) = 0;
    virtual int IsButtonChecked(int id) = 0;
    virtual std::string GetItemText(int id) = 0;
    virtual void SetItemText(int id, std::string_view text) = 0;
    virtual void LimitText(int id, int maxChars) = 0;

    virtual void SetSliderRange(int id, int minimum, int maximum, bool redraw) = 0;
    virtual void SetSliderPos(int id, int pos, bool redraw) = 0;
    virtual int GetSliderPos(int id) = 0;

    virtual void ComboAddString(int id, std::string_view text) = 0;
    virtual int ComboGetCurSel(int id) = 0;  // -1 for no selection
    virtual void ComboSetCurSel(int id, int index) = 0;

    virtual void EndDialog(int result) = 0;

  protected:
    ~IDialogControls() = default;
};

// Runs dialogs modally; while one runs, timers, hotkeys and tray messages keep reaching the
// main window.
class IDialogHost {
  public:
    virtual ~IDialogHost() = default;
    // Shows dialog.Template() and returns the value given to EndDialog, or -1 when the dialog
    // could not be created. The host calls OnInitDialog once the controls exist, OnOK for
    // the OK button and Enter, OnCancel for Cancel, Escape and the close box, OnCommand for
    // other button clicks and OnHScroll when a slider moves.
    virtual int DoModal(CDialog& dialog) = 0;
};

class CDialog {
  public:
    CDialog(IDialogHost& host, int templateId);
    virtual ~CDialog() = default;
    CDialog(const CDialog&) = delete;
    CDialog& operator=(const CDialog&) = delete;

    int DoModal();
    const DialogTemplate& Template() const { return *m_template; }

    // Called by the host.
    void Attach(IDialogControls* controls) { m_controls = controls; }
    virtual bool OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    virtual void OnCommand(int /*id*/) {}
    virtual void OnHScroll(int /*id*/) {}

  protected:
    // Moves member values into the controls (save false) or back out of them (save true).
    virtual void DoDataExchange(bool /*save*/) {}
    bool UpdateData(bool save = true);
    void EndDialog(int result);

    void CheckDlgButton(int id, int state);
    int IsDlgButtonChecked(int id);
    // The id of the first checked button in first..last, or 0.
    int GetCheckedRadioButton(int first, int last);
    void CheckRadioButton(int first, int last, int checkId);
    std::string GetDlgItemText(int id);
    void SetDlgItemText(int id, std::string_view text);

    IDialogControls& Controls() { return *m_controls; }

    // Data exchange helpers for DoDataExchange.
    void DDX_Text(bool save, int id, std::string& value);
    void DDX_Text(bool save, int id, int& value);
    void DDV_MaxChars(bool save, int id, std::string& value, int maxChars);

  private:
    IDialogHost& m_host;
    const DialogTemplate* m_template;
    IDialogControls* m_controls = nullptr;
};

}  // namespace hvx
