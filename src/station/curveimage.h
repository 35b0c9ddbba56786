#pragma once

#include <QPixmap>
#include <QSize>

class CurveRecorder;

// The recording as a certificate shows it: the whole curve with its ambient companion, its set-point
// trace and its marks, labelled in the language in force, drawn offscreen at `size`. A null pixmap
// without a curve. GUI thread (it paints with the widget toolkit's plot, which needs the application).
QPixmap curveImage(const CurveRecorder &recorder, const QSize &size);
