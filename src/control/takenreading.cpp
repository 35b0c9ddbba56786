#include "takenreading.h"

namespace {

const char *const kWords[] = {"typed", "driver", "remote"};

} // namespace

QString TakenReading::sourceWord(Source source)
{
    return QString::fromLatin1(kWords[int(source)]);
}

TakenReading::Source TakenReading::sourceFromWord(const QString &word, bool *ok)
{
    for (int i = 0; i < 3; ++i) {
        if (word == QLatin1String(kWords[i])) {
            *ok = true;
            return Source(i);
        }
    }
    *ok = false;
    return Source::Typed;
}
