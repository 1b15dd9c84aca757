// Qt widgets behave like the controls that the dialog classes expect and the unit tests' fake
// host models: auto radio groups, typed-text limits, the weekday combo, trackbar clamping and
// which slider moves are notified.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QTest>

#include "platform/linux/QtDialog.h"
#include "platform/linux/QtDialogHost.h"
#include "resources/Resource.h"

namespace hvx::linux_platform {
namespace {

struct Recorder : CDialog {
    Recorder(IDialogHost& host, int id) : CDialog(host, id) {}
    void OnHScroll(int id) override { moved.push_back(live->GetSliderPos(id)); }
    IDialogControls* live = nullptr;  // the dialog is not running: no Controls()
    std::vector<int> moved;
};

struct DialogHost : testing::Test {
    QtDialogHost host;
};

TEST_F(DialogHost, RadioGroupsFollowTheGroupStyleButTheProgramMayCheckAny) {
    Recorder dialog(host, IDD_SETTINGS);
    QtDialog w(dialog);
    w.show();
    w.CheckButton(IDC_MODE_MIXED, BST_CHECKED);
    w.CheckButton(IDC_SHORTCUT_DISABLE, BST_CHECKED);
    QTest::mouseClick(w.ControlWidget(IDC_MODE_MASTER), Qt::LeftButton);
    QTest::mouseClick(w.ControlWidget(IDC_MODE_MASTER), Qt::LeftButton);  // stays checked
    w.CheckButton(IDC_SHORTCUT_ENABLE, BST_UNCHECKED);
    std::vector<int> checked;
    for (int id : {IDC_MODE_MIXED, IDC_MODE_MASTER, IDC_MODE_WAVE, IDC_SHORTCUT_DISABLE})
        checked.push_back(w.IsButtonChecked(id));
    w.CheckButton(IDC_MODE_WAVE, BST_CHECKED);  // two of a group
    checked.push_back(w.IsButtonChecked(IDC_MODE_MASTER) + w.IsButtonChecked(IDC_MODE_WAVE));
    for (int id : {IDC_MODE_MIXED, IDC_MODE_MASTER, IDC_MODE_WAVE}) w.CheckButton(id, 0);
    checked.push_back(w.IsButtonChecked(IDC_MODE_MASTER) + w.IsButtonChecked(IDC_MODE_WAVE));
    EXPECT_EQ(checked, (std::vector<int>{0, 1, 0, 1, 2, 0}));
}

TEST_F(DialogHost, EditsLimitTypingNotTheProgramAndTheComboSelectsInUpperCase) {
    Recorder dialog(host, IDD_AUTO_SHUTDOWN);
    QtDialog w(dialog);
    w.show();
    w.LimitText(IDC_EXACT_HOUR, 2);
    w.LimitText(IDC_EXACT_MINUTE, 2);
    w.SetItemText(IDC_EXACT_MINUTE, "71582788");  // longer than the limit: kept
    for (const char* day : WeekdayList()) w.ComboAddString(IDC_WEEKDAY_LIST, day);
    std::vector<std::string> seen{w.GetItemText(IDC_EXACT_MINUTE)};
    QTest::keyClicks(w.ControlWidget(IDC_EXACT_HOUR), "123");
    seen.push_back(w.GetItemText(IDC_EXACT_HOUR));
    auto* minute = static_cast<QLineEdit*>(w.ControlWidget(IDC_EXACT_MINUTE));
    minute->end(false);
    QTest::keyClick(minute, Qt::Key_Backspace);  // shortening an over-long text is fine
    QTest::keyClicks(minute, "9");               // but it may not grow
    seen.push_back(w.GetItemText(IDC_EXACT_MINUTE));
    seen.push_back(std::to_string(w.ComboGetCurSel(IDC_WEEKDAY_LIST)));
    w.ComboSetCurSel(IDC_WEEKDAY_LIST, 3);
    seen.push_back(std::to_string(w.ComboGetCurSel(IDC_WEEKDAY_LIST)) +
                   w.GetItemText(IDC_WEEKDAY_LIST));
    w.ComboSetCurSel(IDC_WEEKDAY_LIST, 7);  // outside the list: no selection
    seen.push_back(std::to_string(w.ComboGetCurSel(IDC_WEEKDAY_LIST)) +
                   w.GetItemText(IDC_WEEKDAY_LIST));
    QTest::keyClicks(static_cast<QComboBox*>(w.ControlWidget(IDC_WEEKDAY_LIST))->lineEdit(), "fr");
    seen.push_back(w.GetItemText(IDC_WEEKDAY_LIST));
    EXPECT_EQ(seen,
              (std::vector<std::string>{"71582788", "12", "7158278", "-1", "3WED", "-1", "FR"}));
}

TEST_F(DialogHost, SlidersClampAndNotifyOnlyTheUsersMoves) {
    Recorder dialog(host, IDD_ADVANCED_OPTIONS);
    QtDialog w(dialog);
    dialog.live = &w;
    w.show();
    w.SetSliderRange(IDC_STEP_SLIDER, 0, 16800, false);
    w.SetSliderPos(IDC_STEP_SLIDER, 20000, true);
    w.SetSliderRange(IDC_MASTER_SLIDER, 0, 65536, false);
    w.SetSliderPos(IDC_MASTER_SLIDER, -5, true);
    EXPECT_EQ(w.GetSliderPos(IDC_STEP_SLIDER), 16800);
    EXPECT_EQ(w.GetSliderPos(IDC_MASTER_SLIDER), 0);
    EXPECT_EQ(w.GetSliderPos(IDC_WAVE_SLIDER), 0);  // untouched: the default range
    for (Qt::Key key : {Qt::Key_Left, Qt::Key_PageDown, Qt::Key_End})
        QTest::keyClick(w.ControlWidget(IDC_STEP_SLIDER), key);
    EXPECT_EQ(dialog.moved, (std::vector<int>{16799, 13439, 16800}));  // a page is a fifth
}

}  // namespace
}  // namespace hvx::linux_platform
