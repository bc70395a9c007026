#include "filetypes.h"

#include "appinfo.h"
#include "safewrite.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace {

// The Exec key quotes the program path and escapes what the desktop entry format reserves.
QString quotedExec(const QString &path)
{
    QString escaped;
    for (const QChar c : path) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            escaped += u'\\';
        escaped += c;
    }
    return u'"' + escaped + u'"';
}

// Rewrites the file only when its content differs, so a start with nothing to change
// touches nothing and runs no desktop database update.
bool writeIfChanged(const QString &path, const QByteArray &content, bool *changed, QString *error)
{
    QFile existing(path);
    if (existing.open(QIODevice::ReadOnly) && existing.readAll() == content)
        return true;
    existing.close();
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
        *error = QStringLiteral("Cannot create the folder %1.").arg(QFileInfo(path).absolutePath());
        return false;
    }
    QString reason;
    if (SafeWrite::replaceFile(path, content, &reason) != SafeWrite::Result::Written) {
        *error = QStringLiteral("Cannot write %1: %2").arg(path, reason);
        return false;
    }
    *changed = true;
    return true;
}

// The desktop's caches are rebuilt only after a change, and only where the tools
// are installed; a missing or failing tool leaves the registration files in place.
void runIfPresent(const QString &program, const QString &folder)
{
    const QString executable = QStandardPaths::findExecutable(program);
    if (executable.isEmpty())
        return;
    QProcess process;
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start(executable, {folder});
    if (process.waitForStarted() && !process.waitForFinished(5000))
        process.kill();
}

}

namespace FileTypes {

QString userDataFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
}

QByteArray mimePackage()
{
    return QByteArrayLiteral(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
        "  <mime-type type=\"application/x-vendrix-page\">\n"
        "    <comment>Zandorell HTML Vendrix File</comment>\n"
        "    <glob pattern=\"*.vxf\"/>\n"
        "  </mime-type>\n"
        "  <mime-type type=\"application/x-vendrix-template\">\n"
        "    <comment>Zandorell HTML Vendrix Template</comment>\n"
        "    <glob pattern=\"*.vxt\"/>\n"
        "  </mime-type>\n"
        "</mime-info>\n");
}

QByteArray desktopEntry(const QString &executablePath)
{
    const QString entry = QStringLiteral("[Desktop Entry]\n"
                                         "Type=Application\n"
                                         "Name=%1\n"
                                         "GenericName=Web Page Builder\n"
                                         "Comment=Build web pages from ready-made blocks\n"
                                         "Exec=%2 %f\n"
                                         "Terminal=false\n"
                                         "Categories=Development;WebDevelopment;\n"
                                         "MimeType=application/x-vendrix-page;application/x-vendrix-template;\n")
                              .arg(AppInfo::applicationTitle(), quotedExec(QFileInfo(executablePath).absoluteFilePath()));
    return entry.toUtf8();
}

}

bool RegisterFileTypes(const QString &executablePath, QString *error)
{
    QString reason;
    const QString dataHome = FileTypes::userDataFolder();
    if (dataHome.isEmpty())
        reason = QStringLiteral("The user's data folder is unknown.");
    const QString mimeFolder = dataHome + QStringLiteral("/mime");
    const QString applicationsFolder = dataHome + QStringLiteral("/applications");
    bool mimeChanged = false;
    bool desktopChanged = false;
    const bool ok = reason.isEmpty()
        && writeIfChanged(mimeFolder + QStringLiteral("/packages/vendrix.xml"), FileTypes::mimePackage(), &mimeChanged, &reason)
        && writeIfChanged(applicationsFolder + QStringLiteral("/vendrix.desktop"), FileTypes::desktopEntry(executablePath),
                          &desktopChanged, &reason);
    if (mimeChanged)
        runIfPresent(QStringLiteral("update-mime-database"), mimeFolder);
    if (desktopChanged)
        runIfPresent(QStringLiteral("update-desktop-database"), applicationsFolder);
    if (!ok && error)
        *error = reason;
    return ok;
}
