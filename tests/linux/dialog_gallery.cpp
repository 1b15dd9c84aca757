// Renders every dialog template the way the Linux program builds it, one PNG each, to look at
// the dialog-unit layout:  hvx_dialog_gallery OUTPUT_FOLDER
#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <cstdio>

#include "platform/linux/QtDialog.h"
#include "platform/linux/QtDialogHost.h"
#include "resources/Resource.h"

namespace {

// Shows some typical contents, as the dialog classes would fill them.
class SampleDialog : public hvx::CDialog {
  public:
    SampleDialog(hvx::IDialogHost& host, int id) : CDialog(host, id) {}
    bool OnInitDialog() override {
        using namespace hvx;
        IDialogControls& c = Controls();
        switch (Template().id) {
            case IDD_SETTINGS:
                c.CheckButton(IDC_RUN_AT_STARTUP, BST_CHECKED);
                c.CheckButton(IDC_MODE_MIXED, BST_CHECKED);
                c.CheckButton(IDC_SHORTCUT_DISABLE, BST_CHECKED);
                break;
            case IDD_ADVANCED_OPTIONS:
                for (int id : {IDC_MASTER_SLIDER, IDC_WAVE_SLIDER})
                    c.SetSliderRange(id, 0, 65536, false);
                c.SetSliderRange(IDC_STEP_SLIDER, 0, 16800, false);
                c.SetSliderPos(IDC_MASTER_SLIDER, 32768, true);
                c.SetSliderPos(IDC_WAVE_SLIDER, 49152, true);
                c.SetSliderPos(IDC_STEP_SLIDER, 2800, true);
                c.SetItemText(IDC_STEP_TEXT, "2800");
                break;
            case IDD_AUTO_SHUTDOWN:
                c.CheckButton(IDC_ENABLE_SCHEDULE, BST_CHECKED);
                c.CheckButton(IDC_EXACT_TIME, BST_CHECKED);
                c.CheckButton(IDC_ACTION_SHUTDOWN, BST_CHECKED);
                c.CheckButton(IDC_TYPE_WEEKLY, BST_CHECKED);
                c.SetItemText(IDC_EXACT_HOUR, "22");
                c.SetItemText(IDC_EXACT_MINUTE, "30");
                c.SetItemText(IDC_TIMER_HOUR, "00");
                c.SetItemText(IDC_TIMER_MINUTE, "00");
                for (const char* day : WeekdayList()) c.ComboAddString(IDC_WEEKDAY_LIST, day);
                c.ComboSetCurSel(IDC_WEEKDAY_LIST, 1);
                break;
            default:
                break;
        }
        return true;
    }
};

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: hvx_dialog_gallery OUTPUT_FOLDER\n");
        return 2;
    }
    QDir().mkpath(QString::fromLocal8Bit(argv[1]));
    hvx::linux_platform::QtDialogHost host;
    for (const hvx::DialogTemplate* t : hvx::AllDialogTemplates()) {
        SampleDialog dialog(host, t->id);
        hvx::linux_platform::QtDialog window(dialog);
        dialog.Attach(&window);
        dialog.OnInitDialog();
        const auto units = window.BaseUnits();
        const QString file = QStringLiteral("%1/%2-%3.png")
                                 .arg(QString::fromLocal8Bit(argv[1]))
                                 .arg(t->id)
                                 .arg(QString::fromUtf8(t->caption).replace(' ', '_'));
        window.grab().save(file);
        std::printf("%s: %dx%d px, base units %d,%d\n", qPrintable(file), window.width(),
                    window.height(), units.x, units.y);
        dialog.Attach(nullptr);
    }
    return 0;
}
