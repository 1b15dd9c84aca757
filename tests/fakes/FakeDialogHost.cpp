#include "tests/fakes/FakeDialogHost.h"

#include <algorithm>
#include <stdexcept>

#include "resources/Resource.h"

namespace hvx::test {

FakeDialog::FakeDialog(CDialog& dialog, std::vector<std::string>& log)
    : m_dialog(dialog), m_log(log) {
    int group = 0;
    for (const ControlTemplate& c : dialog.Template().controls) {
        if (group == 0 || (c.style & style::Group)) ++group;
        if (c.id == IDC_STATIC) continue;
        m_controls[c.id] = {.tpl = &c, .group = group, .text = c.text ? c.text : ""};
    }
}

FakeDialog::Control& FakeDialog::At(int id) {
    auto it = m_controls.find(id);
    if (it == m_controls.end())
        throw std::out_of_range("dialog " + std::to_string(TemplateId()) + " has no control " +
                                std::to_string(id));
    return it->second;
}

void FakeDialog::Click(int id) {
    if (m_ended) return;
    Control& c = At(id);
    if (c.tpl->cls == ControlClass::Button) {
        const uint32_t kind = ButtonKind(*c.tpl);
        if (kind == style::BsAutoCheckBox) {
            c.check = c.check ? 0 : 1;
        } else if (kind == style::BsAutoRadioButton) {
            for (auto& [otherId, other] : m_controls)
                if (other.group == c.group && other.tpl->cls == ControlClass::Button &&
                    ButtonKind(*other.tpl) == style::BsAutoRadioButton)
                    other.check = 0;
            c.check = 1;
        }
    }
    if (id == IDOK)
        m_dialog.OnOK();
    else if (id == IDCANCEL)
        m_dialog.OnCancel();
    else
        m_dialog.OnCommand(id);
}

void FakeDialog::SetSliderRange(int id, int minimum, int maximum, bool) {
    At(id).rangeMin = minimum, At(id).rangeMax = maximum;
    SetSliderPos(id, At(id).pos, false);
}

void FakeDialog::SetSliderPos(int id, int pos, bool) {
    Control& c = At(id);
    c.pos = std::clamp(pos, c.rangeMin, std::max(c.rangeMin, c.rangeMax));
}

void FakeDialog::EndDialog(int result) {
    if (m_ended) return;
    m_ended = true;
    m_result = result;
    m_log.push_back("EndDialog " + std::to_string(TemplateId()) + " " + std::to_string(result));
}

int FakeDialogHost::DoModal(CDialog& dialog) {
    const int id = dialog.Template().id;
    m_log.push_back("DoModal " + std::to_string(id));
    FakeDialog live(dialog, m_log);
    dialog.Attach(&live);
    dialog.OnInitDialog();
    Script script;  // taken out of the tables first: the script may open this dialog again
    if (auto& queue = m_scripts[id]; !queue.empty())
        script = std::move(queue.front()), queue.pop_front();
    else if (auto every = m_every.find(id); every != m_every.end())
        script = every->second;
    if (script) script(live);
    if (!live.Ended()) dialog.OnCancel();  // the close box
    dialog.Attach(nullptr);
    return live.Result();
}

}  // namespace hvx::test
