#pragma once

// Include QCustomPlot through this header. Two of its templates still use Qt's foreach, which this project
// switches off (QT_NO_FOREACH); a range-for does the same read-only walk there.
#ifndef foreach
#define BB_QCP_OWN_FOREACH
#define foreach(variable, container) for (variable : container)
#endif
#include <qcustomplot.h>
#ifdef BB_QCP_OWN_FOREACH
#undef foreach
#undef BB_QCP_OWN_FOREACH
#endif
