#include "model/componentstream.h"
#include "platform/textfile.h"
#include "themes/themestore.h"

#include <QCoreApplication>
#include <QFile>
#include <QTextStream>

// vendrix_mkthemes SOURCE OUT: writes the theme store described by SOURCE.
int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream err(stderr);
    const QStringList args = app.arguments();
    if (args.size() != 3) {
        err << "usage: vendrix_mkthemes SOURCE OUT\n";
        return 2;
    }
    QFile source(args[1]);
    if (!source.open(QIODevice::ReadOnly)) {
        err << args[1] << ": " << source.errorString() << '\n';
        return 1;
    }
    QString error;
    std::unique_ptr<TWebTheme> store = ThemeStore::parseSource(TextFile::decode(source.readAll()), &error);
    if (!store) {
        err << args[1] << ": " << error << '\n';
        return 1;
    }
    if (!ThemeStore::save(args[2], *store, &error)) {
        err << args[2] << ": " << error << '\n';
        return 1;
    }
    return 0;
}
