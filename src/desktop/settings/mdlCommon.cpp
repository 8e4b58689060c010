#include "desktop/settings/mdlCommon.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>

#include <algorithm>

#include "core/model/NumText.h"

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
    : QValidator(&edit), edit_(edit), maxLength_(maxLength), before_(edit.text())
{
    // Emitted after a change has been validated and kept, so before_ is the text the next
    // edit starts from.
    connect(&edit, &QLineEdit::textChanged, this, [this](const QString& text) { before_ = text; });
}

QValidator::State LengthLimiter::validate(QString& input, int& pos) const
{
    if (input.size() <= maxLength_ || input.size() <= before_.size()) return Acceptable;
    // The line edit keeps no undo history across a text set by the program: no history
    // means the text did not come from typing, pasting or dropping.
    if (!edit_.isUndoAvailable()) return Acceptable;
    // The edit replaced a stretch of the old text (maybe empty) by what ends at the cursor:
    // old = head + replaced + tail, input = head + inserted + tail.
    if (pos < 0 || pos > input.size()) return Invalid;
    const qsizetype tail = input.size() - pos;
    if (tail > before_.size()) return Invalid;
    qsizetype head = 0;
    const qsizetype headMax = std::min<qsizetype>(pos, before_.size() - tail);
    while (head < headMax && input[head] == before_[head]) ++head;
    const qsizetype room = maxLength_ - head - tail;
    if (room <= 0) return Invalid;
    qsizetype keep = std::min<qsizetype>(room, pos - head);
    // Half a surrogate pair is no character.
    if (keep > 0 && input[head + keep - 1].isHighSurrogate()) --keep;
    if (keep <= 0) return Invalid;
    input = input.left(head + keep) + input.mid(pos);
    pos = static_cast<int>(head + keep);
    return Acceptable;
}

void ShowWarning(QWidget* parent, const QString& title, const QString& text)
{
    QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::Ok, parent);
    box.exec();
}

bool AskYesNo(QWidget* parent, const QString& title, const QString& text)
{
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No, parent);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
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
