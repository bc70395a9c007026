#include "localrequests.h"

#include <QUrl>

bool LocalRequestsOnly::isLocal(const QUrl &url)
{
    // data: carries the page the viewer hands over; file: its pictures and background.
    const QString scheme = url.scheme();
    return scheme == u"file" || scheme == u"data";
}

void LocalRequestsOnly::interceptRequest(QWebEngineUrlRequestInfo &info)
{
    if (!isLocal(info.requestUrl()))
        info.block(true);
}
