// A dialog host that behaves like the real controls (auto check boxes and radio groups, typed
// text limits, slider ranges and clamping, combo selection) and lets a test act as the user
// while a dialog is "open", including delivering timers to the main window from inside it.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/Dialog.h"

namespace hvx::test {

class FakeDialog : public IDialogControls {
  public:
    struct Control {
        const ControlTemplate* tpl = nullptr;
        int group = 0, check = 0;
        std::string text;
        int limit = 0;  // 0: no limit
        int rangeMin = 0, rangeMax = 100, pos = 0;
        std::vector<std::string> items{};
        int curSel = -1;
    };

    FakeDialog(CDialog& dialog, std::vector<std::string>& log);

    // What the user does.
    void Click(int id);  // a button: auto check boxes and radios toggle, OK/Cancel end
    // Replaces the text, cut at the input limit.
    void Type(int id, std::string_view text) { At(id).text = text.substr(0, Limit(id)); }
    // Moves the thumb and notifies the dialog.
    void DragSlider(int id, int pos) { SetSliderPos(id, pos, true), m_dialog.OnHScroll(id); }
    void Pick(int id, int index) {  // chooses a combo list item
        ComboSetCurSel(id, index);
        if (At(id).curSel >= 0) At(id).text = At(id).items[index];
    }
    void PressEscape() { m_dialog.OnCancel(); }

    Control& At(int id);
    bool Ended() const { return m_ended; }
    int Result() const { return m_result; }
    int TemplateId() const { return m_dialog.Template().id; }

    // IDialogControls
    void CheckButton(int id, int state) override { At(id).check = state; }
    int IsButtonChecked(int id) override { return Has(id) ? At(id).check : 0; }
    std::string GetItemText(int id) override { return Has(id) ? At(id).text : std::string(); }
    void SetItemText(int id, std::string_view text) override { At(id).text = text; }
    void LimitText(int id, int maxChars) override { At(id).limit = maxChars; }
    void SetSliderRange(int id, int minimum, int maximum, bool redraw) override;
    void SetSliderPos(int id, int pos, bool redraw) override;
    int GetSliderPos(int id) override { return At(id).pos; }
    void ComboAddString(int id, std::string_view text) override { At(id).items.emplace_back(text); }
    int ComboGetCurSel(int id) override { return At(id).curSel; }
    void ComboSetCurSel(int id, int index) override {
        At(id).curSel = index >= 0 && index < static_cast<int>(At(id).items.size()) ? index : -1;
    }
    void EndDialog(int result) override;

  private:
    bool Has(int id) const { return m_controls.count(id) != 0; }
    size_t Limit(int id) { return At(id).limit > 0 ? size_t(At(id).limit) : std::string::npos; }

    CDialog& m_dialog;
    std::vector<std::string>& m_log;
    std::map<int, Control> m_controls;
    bool m_ended = false;
    int m_result = 0;
};

class FakeDialogHost : public IDialogHost {
  public:
    using Script = std::function<void(FakeDialog&)>;

    explicit FakeDialogHost(std::vector<std::string>& log) : m_log(log) {}

    // The next time the dialog with this template opens, the script acts as the user. A
    // dialog with no script waiting is closed with its close box.
    void OnNext(int templateId, Script script) {
        m_scripts[templateId].push_back(std::move(script));
    }
    // Every time this dialog opens with no OnNext script waiting, this script acts as the user.
    void OnEvery(int templateId, Script script) { m_every[templateId] = std::move(script); }

    int DoModal(CDialog& dialog) override;

  private:
    std::vector<std::string>& m_log;
    std::map<int, std::deque<Script>> m_scripts;
    std::map<int, Script> m_every;
};

}  // namespace hvx::test
