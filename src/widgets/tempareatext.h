#pragma once

#include <QString>

class QColor;
class QFont;

// What a read-out tile shows, kept apart from the widget so it can be checked without one.

// "℉" for unit code 1, "℃" for every other code.
QString unitSuffix(int unit);

// The reading as fixed-point text with its unit, or "---" when there is no valid reading.
// Decimals outside 0..6 are clamped, so a bad count never produces exponent notation or garbage.
QString readingText(float t, int unit, bool valid, int decimal);

// A reading from a controller that may not be the one the link was opened to: the reading with "?"
// after its unit.
QString unconfirmedReadingText(float t, int unit, int decimal);

// Style sheet of a tile whose reading is not to be trusted: the warning colour.
QString warningTileStyleSheet();

// Style sheet of the whole tile for a colour code: red gives black text, blue blue, green the curve's
// orange, anything else white.
QString tileStyleSheet(const QColor &color);

// Tries pixel sizes 10 to 39 in turn and returns the first whose text is wider than availableWidth, or 39
// when none is. Needs a QGuiApplication for font metrics.
int fitFontPixelSize(QFont font, const QString &text, int availableWidth);
