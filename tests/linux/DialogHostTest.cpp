// Qt widgets behave like the controls the dialog classes expect (and the unit tests' fake host
// models): auto radio groups, typed-text limits, the combo's empty selection, trackbar clamping.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <functional>

#include "platform/linux/QtDialog.h"
#include "platform/linux/QtDialogHost.h"
#include "resources/Resource.h"

namespace hvx::linux_platform {
namespace {

// A dialog whose handlers a test sets, recording what reached it.
class ScriptedDialog : public CDialog {
  public:
    ScriptedDialog(IDialogHost& host, int templateId) : CDialog(host, templateId) {}

    bool OnInitDialog() override {
        CDialog::OnInitDialog();
        if (init) init(Controls());
        return true;
    }
    void OnOK() override {
        events.push_back("OK");
        CDialog::OnOK();
    }
    void OnCancel() override {
        events.push_back("Cancel");
        if (!refuseCancel) CDialog::OnCancel();
    }
    void OnCommand(int id) override {
        events.push_back("Command " + std::to_string(id));
        if (command) command(id);
    }
    void OnHScroll(int id) override {
        events.push_back("HScroll " + std::to_string(id) + " " +
                         std::to_string(Controls().GetSliderPos(id)));
    }
    IDialogControls& Live() { return Controls(); }

    std::function<void(IDialogControls&)> init;
    std::function<void(int)> command;
    bool refuseCancel = false;
    std::vector<std::string> events;
};

// The shown dialog with this caption, or any shown dialog.
QtDialog* OpenDialog(const char* caption = nullptr) {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* d = dynamic_cast<QtDialog*>(w);
            d && d->isVisible() && (!caption || d->windowTitle() == QString::fromUtf8(caption)))
            return d;
    return nullptr;
}

// Runs the dialog; user acts on it once its loop runs, as the person at the screen would.
int RunAs(ScriptedDialog& dialog, std::function<void(QtDialog&)> user) {
    const char* caption = dialog.Template().caption;
    QTimer::singleShot(0, [user, caption] {
        QtDialog* open = OpenDialog(caption);
        ASSERT_NE(open, nullptr);
        user(*open);
    });
    return dialog.DoModal();
}

TEST(DialogHost, AutoRadioGroupsFollowTheGroupStyle) {
    QtDialogHost host;
    ScriptedDialog dialog(host, IDD_SETTINGS);
    dialog.init = [](IDialogControls& c) {
        c.CheckButton(IDC_MODE_MIXED, BST_CHECKED);
        c.CheckButton(IDC_SHORTCUT_DISABLE, BST_CHECKED);
    };
    std::vector<int> checked;
    RunAs(dialog, [&](QtDialog& d) {
        auto* master = d.ControlWidget(IDC_MODE_MASTER);
        QTest::mouseClick(master, Qt::LeftButton);
        QTest::mouseClick(master, Qt::LeftButton);  // clicking a checked radio keeps it
        for (int id : {IDC_MODE_MIXED, IDC_MODE_MASTER, IDC_MODE_WAVE, IDC_SHORTCUT_ENABLE,
                       IDC_SHORTCUT_DISABLE})
            checked.push_back(dialog.Live().IsButtonChecked(id));
        // The program may check two of a group, or none.
        dialog.Live().CheckButton(IDC_MODE_WAVE, BST_CHECKED);
        checked.push_back(dialog.Live().IsButtonChecked(IDC_MODE_MASTER));
        checked.push_back(dialog.Live().IsButtonChecked(IDC_MODE_WAVE));
        for (int id : {IDC_MODE_MIXED, IDC_MODE_MASTER, IDC_MODE_WAVE})
            dialog.Live().CheckButton(id, BST_UNCHECKED);
        checked.push_back(dialog.Live().IsButtonChecked(IDC_MODE_MASTER) +
                          dialog.Live().IsButtonChecked(IDC_MODE_WAVE));
        QTest::mouseClick(d.ControlWidget(IDC_RUN_AT_STARTUP), Qt::LeftButton);
        checked.push_back(dialog.Live().IsButtonChecked(IDC_RUN_AT_STARTUP));
        QTest::mouseClick(d.ControlWidget(IDOK), Qt::LeftButton);
    });
    EXPECT_EQ(checked, (std::vector<int>{0, 1, 0, 0, 1, 1, 1, 0, 1}));
    EXPECT_EQ(dialog.events,
              (std::vector<std::string>{"Command 1006", "Command 1006", "Command 1001", "OK"}));
}

TEST(DialogHost, EditsLimitTypingButNotTheProgramAndUpperCaseTheCombo) {
    QtDialogHost host;
    ScriptedDialog dialog(host, IDD_AUTO_SHUTDOWN);
    dialog.init = [](IDialogControls& c) {
        c.LimitText(IDC_EXACT_HOUR, 2);
        c.LimitText(IDC_EXACT_MINUTE, 2);
        c.SetItemText(IDC_EXACT_MINUTE, "71582788");  // longer than the limit: kept
        for (const char* day : WeekdayList()) c.ComboAddString(IDC_WEEKDAY_LIST, day);
    };
    std::vector<std::string> seen;
    RunAs(dialog, [&](QtDialog& d) {
        IDialogControls& c = dialog.Live();
        seen.push_back(c.GetItemText(IDC_EXACT_MINUTE));
        QTest::keyClicks(d.ControlWidget(IDC_EXACT_HOUR), "123");
        seen.push_back(c.GetItemText(IDC_EXACT_HOUR));
        auto* minute = static_cast<QLineEdit*>(d.ControlWidget(IDC_EXACT_MINUTE));
        minute->setFocus();
        minute->end(false);
        QTest::keyClick(minute, Qt::Key_Backspace);  // shortening an over-long text is fine
        seen.push_back(c.GetItemText(IDC_EXACT_MINUTE));
        QTest::keyClicks(minute, "9");  // but it may not grow
        seen.push_back(c.GetItemText(IDC_EXACT_MINUTE));
        // The list starts with nothing selected and shows its items in upper case.
        seen.push_back(std::to_string(c.ComboGetCurSel(IDC_WEEKDAY_LIST)));
        c.ComboSetCurSel(IDC_WEEKDAY_LIST, 3);
        seen.push_back(std::to_string(c.ComboGetCurSel(IDC_WEEKDAY_LIST)) + " " +
                       c.GetItemText(IDC_WEEKDAY_LIST));
        c.ComboSetCurSel(IDC_WEEKDAY_LIST, 7);  // outside the list: no selection
        seen.push_back(std::to_string(c.ComboGetCurSel(IDC_WEEKDAY_LIST)) + " '" +
                       c.GetItemText(IDC_WEEKDAY_LIST) + "'");
        auto* combo = static_cast<QComboBox*>(d.ControlWidget(IDC_WEEKDAY_LIST));
        QTest::keyClicks(combo->lineEdit(), "fr");
        seen.push_back(c.GetItemText(IDC_WEEKDAY_LIST));
        QTest::keyClick(d.ControlWidget(IDC_EXACT_HOUR), Qt::Key_Escape);
    });
    EXPECT_EQ(seen, (std::vector<std::string>{"71582788", "12", "7158278", "7158278", "-1", "3 WED",
                                              "-1 ''", "FR"}));
    EXPECT_EQ(dialog.events.back(), "Cancel");
}

TEST(DialogHost, SlidersClampAndNotifyOnlyForTheUsersMoves) {
    QtDialogHost host;
    ScriptedDialog dialog(host, IDD_ADVANCED_OPTIONS);
    dialog.init = [](IDialogControls& c) {
        c.SetSliderRange(IDC_STEP_SLIDER, 0, 16800, false);
        c.SetSliderPos(IDC_STEP_SLIDER, 20000, true);  // clamped, no notification
        c.SetSliderRange(IDC_MASTER_SLIDER, 0, 65536, false);
        c.SetSliderPos(IDC_MASTER_SLIDER, -5, true);
    };
    std::vector<int> positions;
    RunAs(dialog, [&](QtDialog& d) {
        IDialogControls& c = dialog.Live();
        positions.push_back(c.GetSliderPos(IDC_STEP_SLIDER));
        positions.push_back(c.GetSliderPos(IDC_MASTER_SLIDER));
        positions.push_back(c.GetSliderPos(IDC_WAVE_SLIDER));  // untouched: default 0..100
        QTest::keyClick(d.ControlWidget(IDC_STEP_SLIDER), Qt::Key_Left);
        QTest::keyClick(d.ControlWidget(IDC_STEP_SLIDER), Qt::Key_PageDown);  // a fifth
        QTest::keyClick(d.ControlWidget(IDC_STEP_SLIDER), Qt::Key_End);
        QTest::keyClick(d.ControlWidget(IDC_STEP_SLIDER), Qt::Key_Return);  // the default: OK
    });
    EXPECT_EQ(positions, (std::vector<int>{16800, 0, 0}));
    EXPECT_EQ(dialog.events, (std::vector<std::string>{"HScroll 1341 16799", "HScroll 1341 13439",
                                                       "HScroll 1341 16800", "OK"}));
}

}  // namespace
}  // namespace hvx::linux_platform
