#pragma once

#include <QDoubleSpinBox>

// The set-point box. A number typed outside the range stays as typed, marked, rather than being cut to
// fit (999 must not become 99): the operator corrects it. Enter sends a value in range, like the set
// button. The tooltip names the range in force.
class SetPointSpinBox : public QDoubleSpinBox
{
    Q_OBJECT

public:
    explicit SetPointSpinBox(QWidget *parent = nullptr);

    // The text is a number outside the range.
    bool isOutOfRange() const;
    // The range in force, in the operator's language.
    QString rangeText() const;
    // Says the range beside the box, for a value out of it.
    void showRange();
    QValidator::State validate(QString &input, int &pos) const override;

signals:
    // Enter with a value in range.
    void submitted();

protected:
    bool event(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    // The number the text reads as, when it is one with no more decimals than the box shows.
    bool readNumber(const QString &text, double *value) const;
    void markRange();

    bool m_marked = false;
};
