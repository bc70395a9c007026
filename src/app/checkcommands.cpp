#include "commandline.h"

#include "checks/imagereaderinspector.h"
#include "checks/pagechecker.h"
#include "model/documents.h"
#include "model/pagelette.h"
#include "platform/programfolder.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>

namespace CommandLine {

void printFindings(QTextStream &out, const QString &file, const QList<PageCheck::Finding> &findings)
{
    for (const PageCheck::Finding &f : findings)
        out << file << ": " << PageCheck::severityName(f.severity) << ": " << f.row << ": " << f.message << " [" << f.code
            << "]\n";
}

namespace {

QByteArray findingsJson(const QList<PageCheck::Finding> &findings)
{
    QJsonArray array;
    for (const PageCheck::Finding &f : findings) {
        array.append(QJsonObject{
            {QStringLiteral("row"), f.row},
            {QStringLiteral("block"), BlockTypeCaption(f.block)},
            {QStringLiteral("severity"), PageCheck::severityName(f.severity)},
            {QStringLiteral("code"), f.code},
            {QStringLiteral("message"), f.message},
        });
    }
    return QJsonDocument(array).toJson(QJsonDocument::Indented);
}

int check(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    QString document;
    QString dataDir;
    bool json = false;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &a = arguments[i];
        if (a == u"--data-dir") {
            if (i + 1 >= arguments.size()) {
                err << "vendrix: --data-dir needs a value\n";
                return 2;
            }
            dataDir = arguments[++i];
        } else if (a == u"--json") {
            json = true;
        } else if (a.startsWith(u'-') || !document.isEmpty()) {
            err << "vendrix: unexpected argument " << a << "\n";
            return 2;
        } else {
            document = a;
        }
    }
    if (document.isEmpty()) {
        err << "vendrix: --check needs a document or template\n";
        return 2;
    }

    TPagelette page;
    QString error;
    if (!Documents::LoadDocument(document, page, &error)) {
        err << "vendrix: " << document << ": " << Documents::invalidDocumentMessage() << ' ' << error << "\n";
        return 1;
    }
    const ProgramFolder folder = ProgramFolder::resolve(dataDir, QCoreApplication::applicationDirPath());
    const QList<PageCheck::Finding> findings = PageCheck::check(page, folder, ImageReaderInspector());
    if (json)
        out << QString::fromUtf8(findingsJson(findings));
    else
        printFindings(out, document, findings);
    return PageCheck::hasErrors(findings) ? 1 : 0;
}

}

const Command checkCommands[] = {
    {"--check", "--check FILE [--json] [--data-dir DIR]",
     "Check a document or template before publishing: one line per problem found\n"
     "                                     (FILE: error|warning: ROW: message [code]), or a JSON array\n"
     "                                     with --json; exits with 1 when there is an error",
     check, true},
};
const int checkCommandCount = int(std::size(checkCommands));

}
