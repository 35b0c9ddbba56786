#include "setpointspinbox.h"

#include <QCoreApplication>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QToolTip>

SetPointSpinBox::SetPointSpinBox(QWidget *parent)
    : QDoubleSpinBox(parent)
{
    connect(lineEdit(), &QLineEdit::textChanged, this, &SetPointSpinBox::markRange);
}

bool SetPointSpinBox::readNumber(const QString &text, double *value) const
{
    QString number = text.trimmed();
    if (!prefix().isEmpty() && number.startsWith(prefix()))
        number.remove(0, prefix().size());
    if (!suffix().isEmpty() && number.endsWith(suffix()))
        number.chop(suffix().size());
    bool ok = false;
    *value = locale().toDouble(number, &ok);
    if (!ok)
        return false;
    const int point = number.indexOf(locale().decimalPoint());
    return point < 0 || number.size() - point - 1 <= decimals();
}

bool SetPointSpinBox::isOutOfRange() const
{
    double value = 0;
    return readNumber(text(), &value) && (value < minimum() || value > maximum());
}

QString SetPointSpinBox::rangeText() const
{
    return tr("设定范围：%1 至 %2 ℃")
        .arg(locale().toString(minimum(), 'f', decimals()), locale().toString(maximum(), 'f', decimals()));
}

void SetPointSpinBox::showRange()
{
    QToolTip::showText(mapToGlobal(QPoint(0, height())), rangeText(), this);
}

QValidator::State SetPointSpinBox::validate(QString &input, int &pos) const
{
    const QValidator::State state = QDoubleSpinBox::validate(input, pos);
    double value = 0;
    if (state == QValidator::Invalid && readNumber(input, &value) && (value < minimum() || value > maximum()))
        return QValidator::Intermediate;
    return state;
}

bool SetPointSpinBox::event(QEvent *event)
{
    if (event->type() == QEvent::ToolTip) {
        QToolTip::showText(static_cast<QHelpEvent *>(event)->globalPos(), rangeText(), this);
        return true;
    }
    return QDoubleSpinBox::event(event);
}

void SetPointSpinBox::keyPressEvent(QKeyEvent *event)
{
    if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter)
        return QDoubleSpinBox::keyPressEvent(event);
    QString typed = text();
    int pos = lineEdit()->cursorPosition();
    if (isOutOfRange()) {
        showRange();
        event->accept();
        return;
    }
    const bool acceptable = validate(typed, pos) == QValidator::Acceptable;
    QDoubleSpinBox::keyPressEvent(event);
    if (acceptable)
        emit submitted();
}

void SetPointSpinBox::focusOutEvent(QFocusEvent *event)
{
    // The spin box would put its last value back; the operator's number stays until corrected.
    if (isOutOfRange()) {
        QCoreApplication::sendEvent(lineEdit(), event);
        QWidget::focusOutEvent(event);
        return;
    }
    QDoubleSpinBox::focusOutEvent(event);
}

void SetPointSpinBox::changeEvent(QEvent *event)
{
    // Another window taking over would put the last value back too.
    if (event->type() == QEvent::ActivationChange && isOutOfRange())
        return QWidget::changeEvent(event);
    QDoubleSpinBox::changeEvent(event);
}

void SetPointSpinBox::markRange()
{
    const bool out = isOutOfRange();
    if (out == m_marked)
        return;
    m_marked = out;
    setStyleSheet(out ? QStringLiteral("QDoubleSpinBox{color:#c00000;}") : QString());
}
