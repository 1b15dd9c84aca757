// The Linux platform's Qt pieces on the offscreen platform: the widgets behave like the controls
// that the dialog classes expect and the unit tests' fake host models (auto radio groups, also
// when chosen through accessibility, typed-text limits, the weekday combo, slider clamping and
// which moves are notified), and timers keep firing inside nested dialog loops.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QLineEdit>
#include <QTest>
#include <functional>

#include "platform/linux/QtDialog.h"
#include "platform/linux/QtDialogHost.h"
#include "platform/linux/QtMainWindow.h"
#include "resources/Resource.h"

namespace hvx::linux_platform {
namespace {

struct Host {
    QtDialogHost host;
};
struct Shown : Host, CDialog {  // a dialog of the program on Qt's widgets, shown
    explicit Shown(int id) : CDialog(host, id), w(*this) { w.show(); }
    void OnHScroll(int id) override { moved.push_back(w.GetSliderPos(id)); }
    QtDialog w;
    std::vector<int> moved;
};

TEST(DialogHost, RadioGroupsFollowTheGroupStyleButTheProgramMayCheckAny) {
    Shown d(IDD_SETTINGS);
    QtDialog& w = d.w;
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

TEST(DialogHost, ARadioButtonChosenThroughAccessibilityIsTheOnlyOneOnInItsGroup) {
    Shown d(IDD_AUTO_SHUTDOWN);
    QtDialog& w = d.w;
    const auto choose = [&w](int id) {  // as AT-SPI's first action of the button does
        QAccessibleActionInterface* actions =
            QAccessible::queryAccessibleInterface(w.ControlWidget(id))->actionInterface();
        ASSERT_EQ(actions->actionNames().value(0), QAccessibleActionInterface::toggleAction());
        actions->doAction(actions->actionNames().value(0));
    };
    std::vector<std::string> on;
    for (int id : {IDC_TYPE_ONCE, IDC_TYPE_DAILY, IDC_ACTION_SHUTDOWN}) w.CheckButton(id, 1);
    for (int id : {IDC_TYPE_WEEKLY, IDC_TYPE_WEEKLY, IDC_TYPE_DAILY}) {  // Weekly twice
        choose(id);
        on.emplace_back();
        for (int radio : {IDC_TYPE_ONCE, IDC_TYPE_DAILY, IDC_TYPE_WEEKLY, IDC_ACTION_SHUTDOWN})
            on.back() += char('0' + w.IsButtonChecked(radio));
    }
    EXPECT_EQ(on, (std::vector<std::string>{"0011", "0011", "0101"}));
}

TEST(DialogHost, EditsLimitTypingNotTheProgramAndTheComboSelectsInUpperCase) {
    Shown d(IDD_AUTO_SHUTDOWN);
    QtDialog& w = d.w;
    for (int id : {IDC_EXACT_HOUR, IDC_EXACT_MINUTE}) w.LimitText(id, 2);
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
    for (int select : {-2, 3, 7}) {  // none yet, Wednesday, outside the list: none
        if (select >= 0) w.ComboSetCurSel(IDC_WEEKDAY_LIST, select);
        seen.push_back(std::to_string(w.ComboGetCurSel(IDC_WEEKDAY_LIST)) +
                       w.GetItemText(IDC_WEEKDAY_LIST));
    }
    QTest::keyClicks(static_cast<QComboBox*>(w.ControlWidget(IDC_WEEKDAY_LIST))->lineEdit(), "fr");
    seen.push_back(w.GetItemText(IDC_WEEKDAY_LIST));
    EXPECT_EQ(seen,
              (std::vector<std::string>{"71582788", "12", "7158278", "-1", "3WED", "-1", "FR"}));
}

TEST(DialogHost, SlidersClampAndNotifyOnlyTheUsersMoves) {
    Shown d(IDD_ADVANCED_OPTIONS);
    QtDialog& w = d.w;
    w.SetSliderRange(IDC_STEP_SLIDER, 0, 16800, false);
    w.SetSliderPos(IDC_STEP_SLIDER, 20000, true);
    w.SetSliderRange(IDC_MASTER_SLIDER, 0, 65536, false);
    w.SetSliderPos(IDC_MASTER_SLIDER, -5, true);
    std::vector<int> at;  // the wave slider untouched: the default range
    for (int id : {IDC_STEP_SLIDER, IDC_MASTER_SLIDER, IDC_WAVE_SLIDER})
        at.push_back(w.GetSliderPos(id));
    EXPECT_EQ(at, (std::vector<int>{16800, 0, 0}));
    for (Qt::Key key : {Qt::Key_Left, Qt::Key_PageDown, Qt::Key_End})
        QTest::keyClick(w.ControlWidget(IDC_STEP_SLIDER), key);
    EXPECT_EQ(d.moved, (std::vector<int>{16799, 13439, 16800}));  // a page is a fifth
}

struct Handler : IMainWindowHandler {
    int OnCreate() override { return 0; }
    void OnTimer(unsigned id) override { ticks.push_back(id), onTimer(id); }
    void OnCommand(int) override {}
    int OnHotKey(int) override { return 0; }
    void OnMixerChange() override {}
    std::vector<unsigned> ticks;
    std::function<void(unsigned)> onTimer;
};

TEST(MainWindow, ATimerReentersAHandlerThatWaitsInANestedLoop) {
    QtMainWindow window;
    Handler handler;
    window.Create("SystemTray", handler);
    int depth = 0, deepest = 0;
    const auto spinUntilEightTicks = [&] {  // as a modal dialog's loop would
        QDeadlineTimer deadline(3000);
        while (handler.ticks.size() < 8 && !deadline.hasExpired())
            QEventLoop().processEvents(QEventLoop::WaitForMoreEvents, 20);
    };
    handler.onTimer = [&](unsigned id) {
        if (id != 2) return;
        if (++depth > 1) return void(deepest = std::max(deepest, depth--));
        // The first tick waits in a "dialog" while the following ticks come in, one of them
        // starting timer 3 as the alarm does.
        window.SetTimer(3, 10);
        spinUntilEightTicks();
        window.KillTimer(3), --depth;
    };
    window.SetTimer(2, 30);
    spinUntilEightTicks();
    window.KillTimer(2);
    EXPECT_GE(deepest, 2);  // timer 2 came in again while its first handler waited
    EXPECT_NE(std::find(handler.ticks.begin(), handler.ticks.end(), 3u), handler.ticks.end());
}

}  // namespace
}  // namespace hvx::linux_platform

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
