#pragma once

#include <QStringList>

class QWidget;

// The window's title, then the caption of every button it shows with one, each as "name<TAB>text": what a
// check from outside reads to tell which language the interface came up in. GUI thread only.
QStringList windowTexts(const QWidget *window);
