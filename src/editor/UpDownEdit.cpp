#include "UpDownEdit.h"

#include "config/ValueCodecs.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QStyleOptionSpinBox>
#include <QTimer>

#include <algorithm>

UpDownEdit::UpDownEdit(QWidget* parent) : QSpinBox(parent)
{
    setRange(0, m_arrowMax);
    setCorrectionMode(QAbstractSpinBox::CorrectToPreviousValue);
    setAccelerated(true);
}

void UpDownEdit::SetArrowRange(int min, int max, int step)
{
    m_arrowMin = min;
    m_arrowMax = max;
    m_step = std::max(1, step);
    if (maximum() < max)
        setMaximum(max);
}

void UpDownEdit::SetArrowMinimum(int min)
{
    SetArrowRange(min, m_arrowMax, m_step);
}

void UpDownEdit::SetArrowMaximum(int max)
{
    SetArrowRange(m_arrowMin, max, m_step);
}

void UpDownEdit::SetTypingMaximum(int max)
{
    setMaximum(std::max(max, m_arrowMax));
}

QString UpDownEdit::Text() const
{
    return lineEdit()->text();
}

void UpDownEdit::SetText(const QString& text)
{
    lineEdit()->setText(text);
}

void UpDownEdit::SetTextLater(const QString& text)
{
    QTimer::singleShot(0, this, [this, text] { SetText(text); });
}

void UpDownEdit::stepBy(int steps)
{
    const int target = std::clamp(value() + steps * m_step, m_arrowMin, m_arrowMax);
    if (target != value())
        setValue(target);
    selectAll();
}

QAbstractSpinBox::StepEnabled UpDownEdit::stepEnabled() const
{
    StepEnabled enabled = StepNone;
    if (value() < m_arrowMax)
        enabled |= StepUpEnabled;
    if (value() > m_arrowMin)
        enabled |= StepDownEnabled;
    return enabled;
}

QValidator::State UpDownEdit::validate(QString& input, int& /*pos*/) const
{
    if (input.isEmpty())
        return QValidator::Intermediate;
    for (QChar c : input)
        if (!c.isDigit() || c.unicode() > '9')
            return QValidator::Invalid;
    bool ok = false;
    const qlonglong number = input.toLongLong(&ok);
    return ok && number <= maximum() ? QValidator::Acceptable : QValidator::Invalid;
}

void UpDownEdit::keyPressEvent(QKeyEvent* event)
{
    // Printable keys go through the numeric key filter; keys without text
    // (arrows, Enter, Escape, Tab ...) keep their usual meaning.
    const QString text = event->text();
    if (!text.isEmpty() && text.at(0).isPrint() && FilterUint(text.at(0).unicode()) == 0) {
        event->accept();
        return;
    }
    QSpinBox::keyPressEvent(event);
}

QSize UpDownEdit::sizeHint() const
{
    ensurePolished();
    const QString widest(QString::number(m_arrowMax).size() + 1, QLatin1Char('0'));
    const QFontMetrics metrics(font());
    QSize contents(metrics.horizontalAdvance(widest) + 4, lineEdit()->sizeHint().height());
    QStyleOptionSpinBox option;
    initStyleOption(&option);
    return style()->sizeFromContents(QStyle::CT_SpinBox, &option, contents, this);
}

QSize UpDownEdit::minimumSizeHint() const
{
    return sizeHint();
}
