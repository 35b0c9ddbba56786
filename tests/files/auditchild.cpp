// Appends lines to an audit trail the way the program does and exits; the crash test kills it midway.
//   bb_auditchild <folder> <count>   appends <count> acts to <folder>/audit.log under <folder>'s counter lock
#include "files/audittrail.h"

#include <QString>

#include <cstdio>
#include <cstdlib>

int main(int argc, char *argv[])
{
    if (argc != 3)
        return 2;
    const QString folder = QString::fromLocal8Bit(argv[1]);
    AuditTrail trail(AuditTrail::filePath(folder), folder + QStringLiteral("/certificate-counter"));
    const int count = std::atoi(argv[2]);
    for (int i = 0; i < count; ++i) {
        QString error;
        const QJsonObject details {{QStringLiteral("celsius"), QString::number(100 + i)},
            {QStringLiteral("requester"), QStringLiteral("remote")}};
        if (trail.append(QStringLiteral("setPoint"), details, QStringLiteral("child"), &error).isEmpty()) {
            std::fprintf(stderr, "%s\n", error.toLocal8Bit().constData());
            return 1;
        }
    }
    return 0;
}
