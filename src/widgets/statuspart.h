#pragma once

#include <QLabel>
#include <QStringList>

// One part of the status bar: its owner gives a full text and shorter forms, the strip around it chooses
// the form that fits (StatusStrip). text() stays the full text; a shorter form shown has the full text as
// its tooltip. Plain text only, GUI thread only.
class StatusPart : public QLabel
{
    Q_OBJECT

public:
    // `givesWay` orders the parts that give way when the bar is short (StatusStrip::Rank); `kept` leading
    // characters of the last form stay whole when it is cut in the middle, -1 when it is never cut.
    explicit StatusPart(int givesWay, int kept = -1, QWidget *parent = nullptr);

    // The full text first, then shorter forms; an empty full text hides the part.
    void setForms(const QString &full, const QStringList &shorter = QStringList());
    void clearForms() { setForms(QString()); }
    QStringList forms() const { return m_forms; }
    int givesWay() const { return m_givesWay; }
    int kept() const { return m_kept; }
    // Before setForms(): the caption kept whole changes with the language.
    void setKept(int kept) { m_kept = kept; }
    // The form the strip chose, and what is shown now.
    void showForm(const QString &shown);
    QString shown() const { return m_shown; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void formsChanged();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QStringList m_forms;
    QString m_shown;
    int m_givesWay;
    int m_kept;
};
