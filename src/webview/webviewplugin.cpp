#include "webviewplugin.h"

#include "webpageview.h"

#include <QLoggingCategory>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace {

void prepareEngine()
{
    static bool prepared = false;
    if (prepared)
        return;
    prepared = true;
    // Started after the application object, the engine finds no shared OpenGL context
    // and draws in software, which serves a page preview well and keeps the program's
    // start free of OpenGL. Qt 6.4's engine still reads that missing context for its
    // start-up report, so the report stays off.
    QLoggingCategory::setFilterRules(QStringLiteral("qt.webenginecontext.info=false"));
}

} // namespace

QString WebViewPlugin::unavailableReason() const
{
#ifdef Q_OS_UNIX
    // Run as root with its sandbox on, the engine ends the whole process at its start.
    // Turning the sandbox off is the user's decision, never the program's.
    const bool sandboxOff = qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX")
                            || qEnvironmentVariable("QTWEBENGINE_CHROMIUM_FLAGS").contains(u"--no-sandbox");
    if ((::getuid() == 0 || ::geteuid() == 0) && !sandboxOff)
        return QStringLiteral("the browser engine cannot run as root with its sandbox "
                              "(QTWEBENGINE_DISABLE_SANDBOX=1 turns the sandbox off)");
#endif
    return QString();
}

PageView *WebViewPlugin::create(QWidget *parent, PageViewEvents events)
{
    if (!unavailableReason().isEmpty())
        return nullptr;
    prepareEngine();
    return new WebPageView(std::move(events), parent);
}
