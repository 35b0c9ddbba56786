#include "tempareaitem.h"

#include "tempareatext.h"
#include "ui_tempareaitem.h"

namespace {
// Room left free inside the label so the text never touches its edges.
const int kTextMargin = 10;
} // namespace

TempAreaItem::TempAreaItem(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::TempAreaItem)
{
    ui->setupUi(this);
}

TempAreaItem::~TempAreaItem()
{
    delete ui;
}

void TempAreaItem::setCaption(const QString &caption)
{
    ui->label->setText(caption);
}

QString TempAreaItem::text() const
{
    return ui->label_temp->text();
}

QString TempAreaItem::caption() const
{
    return ui->label->text();
}

int TempAreaItem::textPixelSize() const
{
    return ui->label_temp->font().pixelSize();
}

void TempAreaItem::UpdateTemp(float t, int unit, QColor color, bool valid, const int decimal)
{
    const QString shown = readingText(t, unit, valid, decimal);
    if (valid) {
        showText(shown, tileStyleSheet(color));
        return;
    }
    ui->label_temp->setText(shown);
    setStyleSheetIfNew(tileStyleSheet(color));
}

void TempAreaItem::showUnconfirmed(float t, int unit, int decimal)
{
    showText(unconfirmedReadingText(t, unit, decimal), warningTileStyleSheet());
}

void TempAreaItem::showText(const QString &text, const QString &sheet)
{
    ui->label_temp->setText(text);
    QFont font = ui->label_temp->font();
    font.setPixelSize(fitFontPixelSize(font, text, ui->label_temp->width() - kTextMargin));
    ui->label_temp->setFont(font);
    setStyleSheetIfNew(sheet);
}

void TempAreaItem::setStyleSheetIfNew(const QString &sheet)
{
    // Re-polishing is not free and the tiles update twice a second, so only a new colour restyles.
    if (styleSheet() != sheet)
        setStyleSheet(sheet);
}

void TempAreaItem::paintEvent(QPaintEvent *event)
{
    Q_UNUSED(event)
}
