#include "commandline.h"

#include "html/htmlcopies.h"
#include "html/htmltext.h"
#include "model/documents.h"
#include "model/errors.h"
#include "model/pagelette.h"

#include <QCoreApplication>
#include <QTextStream>

namespace CommandLine {

namespace {

struct ExportOptions
{
    QString input;
    QString output;
    QString dataDir;
    THTMLMode mode = hmUploadCopy;
    bool logo = false;
};

bool parseMode(const QString &text, THTMLMode &mode)
{
    if (text == u"preview")
        mode = hmPreview;
    else if (text == u"local")
        mode = hmLocalCopy;
    else if (text == u"upload")
        mode = hmUploadCopy;
    else
        return false;
    return true;
}

bool parseExportOptions(const QStringList &arguments, ExportOptions &options, QTextStream &err)
{
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &a = arguments[i];
        const bool takesValue = a == u"--mode" || a == u"--data-dir" || a == u"-o";
        if (takesValue && i + 1 >= arguments.size()) {
            err << "vendrix: " << a << " needs a value\n";
            return false;
        }
        if (a == u"--mode") {
            if (!parseMode(arguments[++i], options.mode)) {
                err << "vendrix: --mode is preview, local or upload, not " << arguments[i] << "\n";
                return false;
            }
        } else if (a == u"--data-dir") {
            options.dataDir = arguments[++i];
        } else if (a == u"-o") {
            options.output = arguments[++i];
        } else if (a == u"--logo") {
            options.logo = true;
        } else if (a.startsWith(u'-') || !options.input.isEmpty()) {
            err << "vendrix: unexpected argument " << a << "\n";
            return false;
        } else {
            options.input = a;
        }
    }
    if (options.input.isEmpty()) {
        err << "vendrix: --export-html needs a document or template\n";
        return false;
    }
    return true;
}

// Standard output receives the file's bytes (ASCII) unchanged; a stream without
// a device (a test's string) gets one character per byte.
bool writeToStream(QTextStream &out, const QString &text, QString *error)
{
    QIODevice *device = out.device();
    if (!device) {
        out << QString::fromLatin1(HtmlText::toAscii(text));
        return true;
    }
    out.flush();
    return HtmlCopies::writeHtmlText(device, text, error);
}

int exportHtml(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    ExportOptions options;
    if (!parseExportOptions(arguments, options, err))
        return 2;

    TPagelette page;
    QString error;
    if (!Documents::LoadDocument(options.input, page, &error)) {
        err << "vendrix: " << options.input << ": " << Documents::invalidDocumentMessage() << ' ' << error << "\n";
        return 1;
    }

    HtmlBuildOptions build;
    build.programFolder = ProgramFolder::resolve(options.dataDir, QCoreApplication::applicationDirPath());
    build.showLogo = options.logo;
    QString text;
    try {
        text = BuildPageText(options.mode, page, build);
    } catch (const ListIndexError &) {
        err << "vendrix: " << options.input << ": " << errorCreatingWebPageMessage() << "\n";
        return 1;
    } catch (const VendrixError &e) {
        err << "vendrix: " << options.input << ": " << e.message() << "\n";
        return 1;
    }

    const bool written = options.output.isEmpty() ? writeToStream(out, text, &error)
                                                  : HtmlCopies::writeHtmlTextFile(options.output, text, &error, SafeWrite::Owner::User);
    if (!written) {
        err << "vendrix: " << (options.output.isEmpty() ? QStringLiteral("standard output") : options.output) << ": "
            << error << "\n";
        return 1;
    }
    return 0;
}

}

const Command htmlCommands[] = {
    {"--export-html", "--export-html FILE [OPTIONS]",
     "Write the HTML of a document or template; OPTIONS: --mode preview|local|upload\n"
     "                                     (default upload), --logo, --data-dir DIR, -o OUT (else standard output)",
     exportHtml, true},
};
const int htmlCommandCount = int(std::size(htmlCommands));

}
