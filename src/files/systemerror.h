#pragma once

#include <QString>

// What a failed system call's errno means, for the operator: the common causes of a failed save in
// the operator's language, any other as the system words it.
QString systemErrorText(int errorNumber);
