#pragma once

#include <QWebEngineUrlRequestInterceptor>

// Lets through only what lies on this machine: the page itself and its local files.
// Anything else (web addresses, the form's mail service) is refused before it is sent,
// so a preview never calls out.
class LocalRequestsOnly : public QWebEngineUrlRequestInterceptor
{
    Q_OBJECT
public:
    using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;

    static bool isLocal(const QUrl &url);
    void interceptRequest(QWebEngineUrlRequestInfo &info) override;
};
