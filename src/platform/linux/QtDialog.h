// One running dialog: the widgets of a template and the live controls the behaviour sees.
#pragma once

#include <QDialog>
#include <QEventLoop>
#include <QValidator>
#include <vector>

#include "platform/Dialog.h"
#include "resources/DialogUnits.h"

class QAbstractButton;
class QComboBox;
class QLineEdit;
class QSlider;

namespace hvx::linux_platform {

// Typed text in an edit box: upper-cased when the box says so, and no longer than its limit.
// Text set by the program is not held to the limit, and text already longer than the limit
// may still be shortened, as with the classic edit control.
class EditTextRule : public QValidator {
  public:
    explicit EditTextRule(QObject* parent) : QValidator(parent) {}
    State validate(QString& input, int& pos) const override;

    int limit = 0;  // 0: none
    bool upperCase = false;
    int committedLength = 0;  // length of the text before the change being checked
    bool programmatic = false;
};

class QtDialog : public QDialog, public IDialogControls {
  public:
    explicit QtDialog(CDialog& dialog);
    ~QtDialog() override;

    // Runs OnInitDialog, then the dialog's own loop; returns the value given to EndDialog.
    int Run();

    DialogBaseUnits BaseUnits() const { return m_units; }
    // The widget of a control, or nullptr.
    QWidget* ControlWidget(int id) const;

    // IDialogControls
    void CheckButton(int id, int state) override;
    int IsButtonChecked(int id) override;
    std::string GetItemText(int id) override;
    void SetItemText(int id, std::string_view text) override;
    void LimitText(int id, int maxChars) override;
    void SetSliderRange(int id, int minimum, int maximum, bool redraw) override;
    void SetSliderPos(int id, int pos, bool redraw) override;
    int GetSliderPos(int id) override;
    void ComboAddString(int id, std::string_view text) override;
    int ComboGetCurSel(int id) override;
    void ComboSetCurSel(int id, int index) override;
    void EndDialog(int result) override;

  protected:
    void reject() override;
    void accept() override;
    void closeEvent(QCloseEvent* event) override;

  private:
    struct Control {
        const ControlTemplate* tpl = nullptr;
        QWidget* widget = nullptr;
        int group = 0;  // controls between two Group styles form one group
        EditTextRule* rule = nullptr;
    };

    void Build();
    QWidget* MakeControl(size_t index);
    void OnButtonClicked(size_t index);
    void OnRadioToggled(size_t index, bool on);
    void Dispatch(int id);
    void SetEditText(QLineEdit* edit, EditTextRule* rule, const QString& text);
    const Control* Find(int id) const;
    template <typename T>
    T* WidgetOf(int id) const;

    CDialog& m_dialog;
    DialogBaseUnits m_units;
    std::vector<Control> m_controls;  // template order
    QEventLoop* m_loop = nullptr;
    bool m_ended = false;
    bool m_programChecks = false;  // the program, not the user, is checking buttons
    int m_result = 0;
};

}  // namespace hvx::linux_platform
