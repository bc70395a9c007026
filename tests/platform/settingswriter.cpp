// Writes server profiles into a settings file as that many runs of --set-profile would:
// each with a settings store of its own, read, changed and written. Two of these run at
// once in the settings test. Usage: settingswriter FILE PREFIX COUNT
#include "platform/settings.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    const QString file = arguments.value(1);
    const QString prefix = arguments.value(2);
    const int count = arguments.value(3).toInt();
    for (int i = 0; i < count; ++i) {
        Settings settings(file);
        settings.writeString(QStringLiteral("Profiles/%1 %2/Host").arg(prefix).arg(i), QStringLiteral("ftp.example.com"));
        if (!settings.sync()) {
            std::fprintf(stderr, "%s\n", qPrintable(settings.errorString()));
            return 1;
        }
    }
    return 0;
}
