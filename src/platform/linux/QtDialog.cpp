#include "platform/linux/QtDialog.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScopedValueRollback>
#include <QSlider>
#include <algorithm>

#include "resources/Resource.h"

namespace hvx::linux_platform {

namespace {

QString Utf8(std::string_view text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

bool HasFrame(const ControlTemplate& c) {
    return (c.style & style::Border) != 0 || (c.exStyle & style::ExClientEdge) != 0;
}

}  // namespace

QValidator::State EditTextRule::validate(QString& input, int& /*pos*/) const {
    if (upperCase) input = input.toUpper();
    if (programmatic || limit <= 0) return Acceptable;
    if (input.size() > limit && input.size() > committedLength) return Invalid;
    return Acceptable;
}

QtDialog::QtDialog(CDialog& dialog) : QDialog(nullptr), m_dialog(dialog) {
    Build();
}

QtDialog::~QtDialog() = default;

void QtDialog::Build() {
    const DialogTemplate& t = m_dialog.Template();
    setWindowTitle(QString::fromUtf8(t.caption));
    Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                            Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    // System-modal templates (the confirmation and the alarm) come up above everything.
    if (t.style & style::DsSysModal) flags |= Qt::WindowStaysOnTopHint;
    setWindowFlags(flags);
    // Other windows of the program stay usable, as they do with the classic dialog manager:
    // the tray icon above all, whose double click mutes while any dialog shows.
    setWindowModality(Qt::NonModal);

    QFont dialogFont(QString::fromUtf8(t.fontFace));
    dialogFont.setPixelSize(FontPixelHeight(t.fontPoints, logicalDpiY()));
    setFont(dialogFont);
    const QFontMetrics metrics(dialogFont);
    m_units = BaseUnitsFromFont(metrics.horizontalAdvance(QString::fromLatin1(
                                    kBaseUnitAlphabet.data(), qsizetype(kBaseUnitAlphabet.size()))),
                                metrics.height());
    const PixelRect client = MapDialogRect(0, 0, t.cx, t.cy, m_units);
    setFixedSize(client.width, client.height);

    int group = 0;
    m_controls.reserve(t.controls.size());
    for (const ControlTemplate& c : t.controls) {
        if (c.style & style::Group) ++group;
        m_controls.push_back(Control{&c, nullptr, group, nullptr});
    }
    for (size_t i = 0; i < m_controls.size(); ++i) {
        const ControlTemplate& c = *m_controls[i].tpl;
        QWidget* widget = MakeControl(i);
        m_controls[i].widget = widget;
        PixelRect r = MapDialogRect(c.x, c.y, c.cx, c.cy, m_units);
        // A drop-down combo's template height is that of its open list.
        if (c.cls == ControlClass::ComboBox) r.height = widget->sizeHint().height();
        widget->setGeometry(r.x, r.y, r.width, r.height);
        if (!(c.style & style::TabStop) && widget->focusPolicy() != Qt::NoFocus)
            widget->setFocusPolicy(Qt::ClickFocus);
    }
}

QWidget* QtDialog::MakeControl(size_t index) {
    Control& control = m_controls[index];
    const ControlTemplate& c = *control.tpl;
    const QString text = QString::fromUtf8(c.text);
    switch (c.cls) {
        case ControlClass::Button: {
            QAbstractButton* button = nullptr;
            switch (ButtonKind(c)) {
                case style::BsGroupBox:
                    return new QGroupBox(text, this);
                case style::BsAutoCheckBox:
                    button = new QCheckBox(text, this);
                    break;
                case style::BsAutoRadioButton: {
                    // Grouping is ours: the classic radio group lets the program check two
                    // or none, and only the user's choice unchecks the others.
                    auto* radio = new QRadioButton(text, this);
                    radio->setAutoExclusive(false);
                    QObject::connect(radio, &QAbstractButton::toggled, this,
                                     [this, index](bool on) { OnRadioToggled(index, on); });
                    button = radio;
                    break;
                }
                default: {
                    auto* push = new QPushButton(text, this);
                    push->setAutoDefault(true);
                    if (ButtonKind(c) == style::BsDefPushButton) push->setDefault(true);
                    button = push;
                    break;
                }
            }
            QObject::connect(button, &QAbstractButton::clicked, this,
                             [this, index] { OnButtonClicked(index); });
            return button;
        }
        case ControlClass::Static: {
            auto* label = new QLabel(text, this);
            label->setTextFormat(Qt::PlainText);
            label->setWordWrap(true);
            label->setAlignment(((c.style & style::SsCenter) ? Qt::AlignHCenter : Qt::AlignLeft) |
                                Qt::AlignTop);
            if (HasFrame(c)) {
                label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
                label->setMargin(1);
            }
            return label;
        }
        case ControlClass::Edit: {
            auto* edit = new QLineEdit(this);
            control.rule = new EditTextRule(edit);
            control.rule->upperCase = (c.style & style::EsUpperCase) != 0;
            edit->setValidator(control.rule);
            EditTextRule* rule = control.rule;
            QObject::connect(edit, &QLineEdit::textChanged, edit, [rule](const QString& now) {
                rule->committedLength = int(now.size());
            });
            SetEditText(edit, rule, text);
            if (c.style & style::EsRight)
                edit->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
            else if (c.style & style::EsCenter)
                edit->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
            if (c.style & style::EsReadOnly) {
                // A read-only box shows on the dialog's own background.
                edit->setReadOnly(true);
                QPalette palette = edit->palette();
                palette.setColor(QPalette::Base, Qt::transparent);
                edit->setPalette(palette);
            }
            edit->setFrame(HasFrame(c));
            return edit;
        }
        case ControlClass::ComboBox: {
            auto* combo = new QComboBox(this);
            combo->setEditable((c.style & 0x3) == style::CbsDropDown);
            combo->setInsertPolicy(QComboBox::NoInsert);
            combo->setCompleter(nullptr);  // the classic drop-down completes nothing
            if (QLineEdit* edit = combo->lineEdit()) {
                control.rule = new EditTextRule(edit);
                control.rule->upperCase = (c.style & style::CbsUpperCase) != 0;
                edit->setValidator(control.rule);
                EditTextRule* rule = control.rule;
                QObject::connect(edit, &QLineEdit::textChanged, edit, [rule](const QString& now) {
                    rule->committedLength = int(now.size());
                });
            }
            return combo;
        }
        case ControlClass::Trackbar: {
            auto* slider = new QSlider(Qt::Horizontal, this);
            slider->setRange(0, 100);  // the trackbar's own default range
            slider->setSingleStep(1);
            slider->setPageStep(20);
            slider->setTickPosition((c.style & style::TbsNoTicks) ? QSlider::NoTicks
                                                                  : QSlider::TicksBelow);
            const int id = c.id;
            // Only the user's moves notify, never a position set by the program; the key,
            // page, wheel and drag moves all come as actions, and the release ends a drag.
            QObject::connect(slider, &QAbstractSlider::actionTriggered, this,
                             [this, id](int) { m_dialog.OnHScroll(id); });
            QObject::connect(slider, &QAbstractSlider::sliderReleased, this,
                             [this, id] { m_dialog.OnHScroll(id); });
            return slider;
        }
    }
    return new QWidget(this);
}

void QtDialog::OnButtonClicked(size_t index) {
    Dispatch(m_controls[index].tpl->id);
}

void QtDialog::OnRadioToggled(size_t index, bool on) {
    // Every way the user has of choosing a radio button (a click, the space key, an assistive
    // tool's toggle action, which never clicks) ends with it the one checked in its group;
    // choosing the checked one again leaves it checked.
    if (m_programChecks) return;
    const QScopedValueRollback<bool> ours(m_programChecks, true);
    const Control& chosen = m_controls[index];
    if (!on) static_cast<QAbstractButton*>(chosen.widget)->setChecked(true);
    for (const Control& other : m_controls) {
        if (&other == &chosen || other.group != chosen.group ||
            other.tpl->cls != ControlClass::Button ||
            ButtonKind(*other.tpl) != style::BsAutoRadioButton)
            continue;
        static_cast<QAbstractButton*>(other.widget)->setChecked(false);
    }
}

void QtDialog::Dispatch(int id) {
    if (m_ended) return;
    if (id == IDOK)
        m_dialog.OnOK();
    else if (id == IDCANCEL)
        m_dialog.OnCancel();
    else if (id != IDC_STATIC)
        m_dialog.OnCommand(id);
}

int QtDialog::Run() {
    m_dialog.Attach(this);
    m_dialog.OnInitDialog();
    if (!m_ended) {
        show();
        raise();
        activateWindow();
        QEventLoop loop;
        m_loop = &loop;
        if (!m_ended) loop.exec(QEventLoop::DialogExec);
        m_loop = nullptr;
        hide();
    }
    m_dialog.Attach(nullptr);
    // A loop ended from outside (the program is quitting) counts as a cancel.
    return m_ended ? m_result : IDCANCEL;
}

void QtDialog::EndDialog(int result) {
    m_result = result;
    m_ended = true;
    hide();
    if (m_loop) m_loop->exit(0);
}

void QtDialog::reject() {
    // Escape: the dialog's own OnCancel decides whether it ends.
    if (!m_ended) m_dialog.OnCancel();
}

void QtDialog::accept() {
    if (!m_ended) m_dialog.OnOK();
}

void QtDialog::closeEvent(QCloseEvent* event) {
    // The close box is a cancel; the dialog stays unless OnCancel ends it.
    event->ignore();
    if (!m_ended) m_dialog.OnCancel();
}

const QtDialog::Control* QtDialog::Find(int id) const {
    if (id == IDC_STATIC) return nullptr;
    for (const Control& c : m_controls)
        if (c.tpl->id == id) return &c;
    return nullptr;
}

QWidget* QtDialog::ControlWidget(int id) const {
    const Control* c = Find(id);
    return c ? c->widget : nullptr;
}

template <typename T>
T* QtDialog::WidgetOf(int id) const {
    const Control* c = Find(id);
    return c ? qobject_cast<T*>(c->widget) : nullptr;
}

void QtDialog::CheckButton(int id, int state) {
    const QScopedValueRollback<bool> program(m_programChecks, true);
    if (auto* button = WidgetOf<QAbstractButton>(id); button && button->isCheckable())
        button->setChecked(state != BST_UNCHECKED);
}

int QtDialog::IsButtonChecked(int id) {
    auto* button = WidgetOf<QAbstractButton>(id);
    return button && button->isCheckable() && button->isChecked() ? BST_CHECKED : BST_UNCHECKED;
}

std::string QtDialog::GetItemText(int id) {
    const Control* c = Find(id);
    if (c == nullptr) return {};
    QString text;
    if (auto* edit = qobject_cast<QLineEdit*>(c->widget))
        text = edit->text();
    else if (auto* combo = qobject_cast<QComboBox*>(c->widget))
        text = combo->currentText();
    else if (auto* button = qobject_cast<QAbstractButton*>(c->widget))
        text = button->text();
    else if (auto* label = qobject_cast<QLabel*>(c->widget))
        text = label->text();
    else if (auto* box = qobject_cast<QGroupBox*>(c->widget))
        text = box->title();
    return text.toStdString();
}

void QtDialog::SetEditText(QLineEdit* edit, EditTextRule* rule, const QString& text) {
    if (rule) rule->programmatic = true;
    edit->setText(rule && rule->upperCase ? text.toUpper() : text);
    if (rule) rule->programmatic = false;
}

void QtDialog::SetItemText(int id, std::string_view text) {
    const Control* c = Find(id);
    if (c == nullptr) return;
    const QString value = Utf8(text);
    if (auto* edit = qobject_cast<QLineEdit*>(c->widget)) {
        SetEditText(edit, c->rule, value);
    } else if (auto* combo = qobject_cast<QComboBox*>(c->widget)) {
        if (QLineEdit* comboEdit = combo->lineEdit()) SetEditText(comboEdit, c->rule, value);
    } else if (auto* button = qobject_cast<QAbstractButton*>(c->widget)) {
        button->setText(value);
    } else if (auto* label = qobject_cast<QLabel*>(c->widget)) {
        label->setText(value);
    } else if (auto* box = qobject_cast<QGroupBox*>(c->widget)) {
        box->setTitle(value);
    }
}

void QtDialog::LimitText(int id, int maxChars) {
    const Control* c = Find(id);
    // A limit of 0 lifts the limit, as it does for the classic edit control.
    if (c && c->rule) c->rule->limit = maxChars > 0 ? maxChars : 0;
}

void QtDialog::SetSliderRange(int id, int minimum, int maximum, bool /*redraw*/) {
    auto* slider = WidgetOf<QSlider>(id);
    if (slider == nullptr) return;
    slider->setRange(minimum, maximum);
    // Page Up and Page Down move by a fifth of the range, as on a trackbar.
    slider->setPageStep(std::max(1, int((int64_t(maximum) - minimum) / 5)));
}

void QtDialog::SetSliderPos(int id, int pos, bool /*redraw*/) {
    if (auto* slider = WidgetOf<QSlider>(id)) slider->setValue(pos);  // clamped to the range
}

int QtDialog::GetSliderPos(int id) {
    // The thumb's position: while an action is being reported the value has not caught up yet.
    auto* slider = WidgetOf<QSlider>(id);
    return slider ? slider->sliderPosition() : 0;
}

void QtDialog::ComboAddString(int id, std::string_view text) {
    const Control* c = Find(id);
    auto* combo = c ? qobject_cast<QComboBox*>(c->widget) : nullptr;
    if (combo == nullptr) return;
    QString item = Utf8(text);
    if (c->tpl->style & style::CbsUpperCase) item = item.toUpper();
    // Adding to an empty list must not select the first item, nor touch the edit field.
    const int selected = combo->currentIndex();
    const QString shown = combo->currentText();
    combo->addItem(item);
    if (selected == -1 && combo->currentIndex() != -1) {
        combo->setCurrentIndex(-1);
        if (QLineEdit* edit = combo->lineEdit()) SetEditText(edit, c->rule, shown);
    }
}

int QtDialog::ComboGetCurSel(int id) {
    auto* combo = WidgetOf<QComboBox>(id);
    return combo ? combo->currentIndex() : -1;
}

void QtDialog::ComboSetCurSel(int id, int index) {
    auto* combo = WidgetOf<QComboBox>(id);
    if (combo == nullptr) return;
    // An index outside the list clears the selection and the edit field.
    combo->setCurrentIndex(index >= 0 && index < combo->count() ? index : -1);
}

}  // namespace hvx::linux_platform
