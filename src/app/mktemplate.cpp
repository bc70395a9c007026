#include "html/htmlcopies.h"
#include "model/documents.h"
#include "model/pagelette.h"
#include "model/routines.h"
#include "platform/textfile.h"
#include "templates/templatesource.h"
#include "themes/themestore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

namespace {

bool readText(const QString &path, QString &text, QTextStream &err)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        err << path << ": " << file.errorString() << '\n';
        return false;
    }
    text = TextFile::decode(file.readAll());
    return true;
}

}

// vendrix_mktemplate THEMES SOURCE FOLDER: builds the page that SOURCE describes and
// writes it as FOLDER/Templates/<name>.vxt with its preview <name>.html, where name
// is SOURCE's file name without its last extension and FOLDER a program folder.
int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream err(stderr);
    const QStringList args = app.arguments();
    if (args.size() != 4) {
        err << "usage: vendrix_mktemplate THEMES SOURCE FOLDER\n";
        return 2;
    }
    QString themesText;
    QString source;
    if (!readText(args[1], themesText, err) || !readText(args[2], source, err))
        return 1;
    QString error;
    const std::unique_ptr<TWebTheme> themes = ThemeStore::parseSource(themesText, &error);
    if (!themes) {
        err << args[1] << ": " << error << '\n';
        return 1;
    }
    TPagelette page;
    if (!TemplateSource::build(source, *themes, page, &error)) {
        err << args[2] << ": " << error << '\n';
        return 1;
    }

    const HtmlBuildOptions options{ProgramFolder(args[3])};
    const QString name = Routines::StripExtension(QFileInfo(args[2]).fileName());
    const QString document = options.programFolder.templatesFolder() + name + u'.' + Documents::templateExtension();
    if (!QDir().mkpath(options.programFolder.templatesFolder())
        || Documents::SaveDocument(document, page, &error) != Documents::SaveResult::Saved) {
        err << document << ": " << error << '\n';
        return 1;
    }
    try {
        if (!HtmlCopies::writeTemplatePreview(page, options, document, &error)) {
            err << document << ": " << error << '\n';
            return 1;
        }
    } catch (const VendrixError &failure) {
        err << args[2] << ": " << failure.message() << '\n';
        return 1;
    }
    return 0;
}
