#include "settings/mdlCommon.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>

#include "model/NumText.h"

namespace mdlCommon {

namespace {

// QLineEdit's own cap, also applied to text set by the program; at its largest it is no cap.
constexpr int kNoOwnLimit = 32767;

void LimitLineEdit(QLineEdit& edit, int maxLength)
{
    edit.setMaxLength(kNoOwnLimit);
    auto* limiter = qobject_cast<LengthLimiter*>(const_cast<QValidator*>(edit.validator()));
    if (maxLength <= 0) {
        if (limiter) {
            edit.setValidator(nullptr);
            delete limiter;
        }
        return;
    }
    if (limiter) {
        limiter->setMaxLength(maxLength);
        return;
    }
    edit.setValidator(new LengthLimiter(edit, maxLength));
}

} // namespace

LengthLimiter::LengthLimiter(QLineEdit& edit, int maxLength)
    : QValidator(&edit), edit_(edit), maxLength_(maxLength), before_(edit.text().size())
{
    // Emitted after a change has been validated and kept, so before_ is the length the next
    // edit starts from.
    connect(&edit, &QLineEdit::textChanged, this, [this](const QString& text) { before_ = text.size(); });
}

QValidator::State LengthLimiter::validate(QString& input, int&) const
{
    if (input.size() <= maxLength_ || input.size() <= before_) return Acceptable;
    // The line edit keeps no undo history across a text set by the program: no history
    // means the text did not come from typing, pasting or dropping.
    if (!edit_.isUndoAvailable()) return Acceptable;
    return Invalid;
}

void LimitInputLength(QWidget* control, int maxLength)
{
    if (control == nullptr) return;
    if (auto* edit = qobject_cast<QLineEdit*>(control)) {
        LimitLineEdit(*edit, maxLength);
        return;
    }
    if (auto* combo = qobject_cast<QComboBox*>(control)) {
        // A combo box without a text field takes no typing.
        if (combo->isEditable() && combo->lineEdit()) LimitLineEdit(*combo->lineEdit(), maxLength);
    }
}

bool IsDialogKey(const QKeyEvent& e)
{
    const int key = e.key();
    return key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape;
}

void FillSettingsBoxes(const SettingsBoxes& boxes, const SystemSettings& s)
{
    const auto listPosition = [](std::int32_t value, int count) {
        return value >= 0 && value < count ? value : 0;
    };
    const auto text = [](const std::string& t) { return QString::fromStdString(t); };
    boxes.temperatureUnit->setCurrentIndex(listPosition(s.temperatureUnit, boxes.temperatureUnit->count()));
    boxes.pressureUnit->setCurrentIndex(listPosition(s.pressureUnit, boxes.pressureUnit->count()));
    boxes.grphWMin->setText(text(numtext::FormatWhole(s.grphWMin)));
    boxes.grphWMax->setText(text(numtext::FormatWhole(s.grphWMax)));
    boxes.grphHMin->setText(text(numtext::FormatGeneral(s.grphHMin)));
    boxes.grphHMax->setText(text(numtext::FormatGeneral(s.grphHMax)));
    boxes.container->setText(text(numtext::FormatGeneral(s.container)));
    boxes.mol->setText(text(numtext::FormatWhole(s.mol)));
}

} // namespace mdlCommon
