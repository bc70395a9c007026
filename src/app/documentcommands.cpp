#include "commandline.h"

#include "model/componentstream.h"
#include "model/documents.h"
#include "model/pagelette.h"
#include "themes/streamclasses.h"

#include <QCommandLineParser>
#include <QTextStream>

namespace CommandLine {

namespace {

// The command's own option with one value, or a usage error on err.
bool singleValue(const QStringList &arguments, QString &value, QTextStream &err)
{
    if (arguments.size() != 2 || arguments[1].isEmpty()) {
        err << "vendrix: " << arguments.first() << " takes exactly one file name\n";
        return false;
    }
    value = arguments[1];
    return true;
}

int newDocument(const QStringList &arguments, QTextStream &, QTextStream &err)
{
    QString path;
    if (!singleValue(arguments, path, err))
        return 2;
    TPagelette page;
    page.NewPage();
    QString error;
    if (Documents::SaveDocument(path, page, &error) != Documents::SaveResult::Saved) {
        err << "vendrix: " << Documents::unableToCreateMessage() << ' ' << path << ": " << error << "\n";
        return 1;
    }
    return 0;
}

int dump(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    QString path;
    if (!singleValue(arguments, path, err))
        return 2;
    ComponentReader reader(StreamClasses::standard());
    std::unique_ptr<TComponent> root = reader.read(path);
    if (!root) {
        err << "vendrix: " << path << ": " << reader.errorString() << "\n";
        return 1;
    }
    const QStringList lines = dumpProperties(*root);
    for (const QString &line : lines)
        out << line << '\n';
    return 0;
}

}

const Command documentCommands[] = {
    {"--new-document", "--new-document OUT", "Write the default new page as a page document", newDocument},
    {"--dump", "--dump FILE", "Print every property of a document, template or themes file", dump},
};
const int documentCommandCount = int(std::size(documentCommands));

}
