#include "shellopen.h"

#include "makerconfig.h"
#include "prompter.h"
#include "shell.h"

#include <QDir>
#include <QRegularExpression>

QUrl urlForShell(const QString &fileOrAddress)
{
    const QString text = fileOrAddress.trimmed();
    if (text.isEmpty())
        return QUrl();
    // A drive letter ("C:/...") looks like a scheme but is a path.
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]+:"));
    if (scheme.match(text).hasMatch())
        return QUrl(text);
    if (text.startsWith(QLatin1StringView("www."), Qt::CaseInsensitive))
        return QUrl(QStringLiteral("http://") + text);
    return QUrl::fromLocalFile(QDir::fromNativeSeparators(text));
}

QString defaultClientFailureText(const MakerConfig &maker)
{
    return QStringLiteral("Could not load the default client.\r\n\r\n"
                          "Please make sure a web browser and an e-mail program are installed and set as "
                          "your defaults. For more help visit %1 or write to %2.")
        .arg(maker.homePage, maker.supportEmail);
}

bool openWithDefaultClient(Shell &shell, Prompter &prompter, const MakerConfig &maker, const QString &fileOrAddress)
{
    if (shell.open(fileOrAddress))
        return true;
    prompter.information(defaultClientFailureText(maker));
    return false;
}
