#include "browserengine.h"

#include "platform/programfolder.h"

#include <QCoreApplication>
#include <QPluginLoader>
#include <QString>

#include <cstdio>

namespace {

// The engine started late on purpose warns that it was not started before the
// application object, and that it found no shared OpenGL context or graphics backend to
// draw with: all by design (it draws in software). Every other message passes on.
class QuietEngineStart
{
public:
    QuietEngineStart() { sPrevious = qInstallMessageHandler(filter); }
    ~QuietEngineStart() { qInstallMessageHandler(sPrevious); }
    QuietEngineStart(const QuietEngineStart &) = delete;
    QuietEngineStart &operator=(const QuietEngineStart &) = delete;

private:
    static void filter(QtMsgType type, const QMessageLogContext &context, const QString &message)
    {
        if (message.startsWith(u"Qt WebEngine seems to be initialized from a plugin")
            || message.startsWith(u"WebEngineContext used before QtWebEngineCore::initialize()")
            || message.startsWith(u"No suitable graphics backend found"))
            return;
        if (sPrevious)
            sPrevious(type, context, message);
        else
            std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
    }

    static inline QtMessageHandler sPrevious = nullptr;
};

PageViewFactory *loadFactory()
{
    QPluginLoader loader(ProgramFolder::privateLibrary(QCoreApplication::applicationDirPath(),
                                                       QStringLiteral("vendrix_webview")));
    auto *factory = qobject_cast<PageViewFactory *>(loader.instance());
    const QString reason = factory ? factory->unavailableReason() : loader.errorString();
    if (!reason.isEmpty()) {
        qWarning("Page previews use the simple viewer: %s", qPrintable(reason));
        return nullptr;
    }
    return factory;
}

} // namespace

PageView *BrowserEngine::createView(QWidget *parent, PageViewEvents events)
{
    QuietEngineStart quiet;
    static PageViewFactory *const factory = loadFactory();
    return factory ? factory->create(parent, std::move(events)) : nullptr;
}
