#include "addresses.h"

#include <QRegularExpression>
#include <QUrl>

namespace Addresses {

bool isEmailAddress(QStringView text)
{
    // The name may hold anything but blanks, controls and the characters that end an
    // address in mail headers; the host needs at least one dot.
    static const QRegularExpression pattern(QStringLiteral(
        R"(^[^\s@<>()\[\]\\,;:"]+@(?:[\p{L}\p{N}](?:[\p{L}\p{N}-]*[\p{L}\p{N}])?\.)+[\p{L}\p{N}](?:[\p{L}\p{N}-]*[\p{L}\p{N}])?$)"));
    return pattern.match(text).hasMatch();
}

bool isEmailAddressList(QStringView text)
{
    const QList<QStringView> parts = text.split(u',');
    for (QStringView part : parts) {
        if (!isEmailAddress(part.trimmed()))
            return false;
    }
    return true;
}

LinkProblem linkProblem(const QString &address)
{
    const QString trimmed = address.trimmed();
    if (trimmed.isEmpty())
        return LinkProblem::Empty;
    if (trimmed.startsWith(u"mailto:", Qt::CaseInsensitive)) {
        QStringView recipients = QStringView(trimmed).mid(7);
        const qsizetype query = recipients.indexOf(u'?');
        if (query >= 0)
            recipients = recipients.left(query);
        const QString decoded = QUrl::fromPercentEncoding(recipients.toUtf8());
        return isEmailAddressList(decoded) ? LinkProblem::None : LinkProblem::NoMailAddress;
    }
    if (trimmed.startsWith(u"http:", Qt::CaseInsensitive) || trimmed.startsWith(u"https:", Qt::CaseInsensitive)) {
        const QUrl url(trimmed);
        return url.isValid() && !url.host().isEmpty() ? LinkProblem::None : LinkProblem::NoHost;
    }
    if (trimmed.startsWith(u"www.", Qt::CaseInsensitive))
        return LinkProblem::NoScheme;
    return LinkProblem::None;
}

}
