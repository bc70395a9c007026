#include "webpageview.h"

#include "localrequests.h"

#include <QWebEngineHistory>
#include <QWebEngineLoadingInfo>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineSettings>

namespace {

// The engine hands a page over as a data: address, which it refuses beyond 2 MiB of
// percent-encoded text; this leaves room for the address's own prefix.
constexpr qsizetype kMaxEncodedPage = 2 * 1024 * 1024 - 1024;

void setUpSettings(QWebEngineSettings &settings)
{
    settings.setFontFamily(QWebEngineSettings::StandardFont, QStringLiteral("Times New Roman"));
    settings.setFontFamily(QWebEngineSettings::SerifFont, QStringLiteral("Times New Roman"));
    settings.setFontFamily(QWebEngineSettings::FixedFont, QStringLiteral("Courier New"));
    // The page's own scripts write its drop boxes.
    settings.setAttribute(QWebEngineSettings::JavascriptEnabled, true);
    settings.setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
    settings.setAttribute(QWebEngineSettings::JavascriptCanAccessClipboard, false);
    settings.setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, true);
    settings.setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
    settings.setAttribute(QWebEngineSettings::LocalStorageEnabled, false);
    settings.setAttribute(QWebEngineSettings::PluginsEnabled, false);
    settings.setAttribute(QWebEngineSettings::PdfViewerEnabled, false);
    // Looking up the hosts of a page's links would already call out.
    settings.setAttribute(QWebEngineSettings::DnsPrefetchEnabled, false);
    settings.setAttribute(QWebEngineSettings::AutoLoadIconsForPage, false);
    settings.setAttribute(QWebEngineSettings::TouchIconsEnabled, false);
    settings.setAttribute(QWebEngineSettings::ErrorPageEnabled, false);
    settings.setAttribute(QWebEngineSettings::NavigateOnDropEnabled, false);
    settings.setAttribute(QWebEngineSettings::FullScreenSupportEnabled, false);
    settings.setAttribute(QWebEngineSettings::ScreenCaptureEnabled, false);
    settings.setAttribute(QWebEngineSettings::WebGLEnabled, false);
    // Trying themes from the keyboard rebuilds the preview; the keys stay in the list.
    settings.setAttribute(QWebEngineSettings::FocusOnNavigationEnabled, false);
}

} // namespace

// Lets through only the documents the view itself hands over.
class WebPageView::Page : public QWebEnginePage
{
public:
    Page(QWebEngineProfile &profile, std::function<void(const QUrl &)> linkClicked, QObject *parent)
        : QWebEnginePage(&profile, parent), mLinkClicked(std::move(linkClicked))
    {
    }

protected:
    bool acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame) override
    {
        // A page the view loads comes as a data: address typed in; a page's script or a
        // user cannot produce that kind of move.
        if (type == NavigationTypeTyped && url.scheme() == u"data")
            return true;
        if (type == NavigationTypeLinkClicked || (type == NavigationTypeOther && isMainFrame)) {
            if (mLinkClicked)
                mLinkClicked(url);
            return false;
        }
        // Frames of the page may fill themselves from local files; forms, reloads and
        // history moves go nowhere.
        return !isMainFrame && type == NavigationTypeOther && LocalRequestsOnly::isLocal(url);
    }

    // A page's script errors are the page's business; the program's log is not the place.
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString &, int, const QString &) override {}

private:
    std::function<void(const QUrl &)> mLinkClicked;
};

WebPageView::WebPageView(PageViewEvents events, QWidget *parent)
    : QWebEngineView(parent), mEvents(std::move(events))
{
    // A profile of its own that keeps nothing on disk and caches nothing, so every page
    // reads its pictures afresh.
    mProfile = new QWebEngineProfile(this);
    mProfile->setHttpCacheType(QWebEngineProfile::NoCache);
    mProfile->setPersistentCookiesPolicy(QWebEngineProfile::NoPersistentCookies);
    mProfile->setSpellCheckEnabled(false);
    mProfile->setUrlRequestInterceptor(new LocalRequestsOnly(mProfile));
    mPage = new Page(*mProfile, mEvents.linkClicked, this);
    setUpSettings(*mPage->settings());
    setPage(mPage);
    connect(mPage, &QWebEnginePage::loadingChanged, this, [this](const QWebEngineLoadingInfo &info) {
        // Moves the page refused end as stopped; a page the view loaded ends as
        // succeeded or failed (or stopped, when the next page took its place).
        const bool succeeded = info.status() == QWebEngineLoadingInfo::LoadSucceededStatus;
        if (!succeeded && info.status() != QWebEngineLoadingInfo::LoadFailedStatus)
            return;
        mPage->history()->clear();
        if (mEvents.loadFinished)
            mEvents.loadFinished(succeeded);
    });
}

WebPageView::~WebPageView()
{
    // The engine wants a page gone before its profile.
    delete mPage;
}

void WebPageView::clear()
{
    // Emptied before a new page is loaded, the view would draw twice: an empty page
    // waits for the event loop, and a page loaded meanwhile takes its place.
    mClearPending = true;
    QMetaObject::invokeMethod(this, [this] {
        if (!mClearPending)
            return;
        mClearPending = false;
        mPage->setHtml(QString());
    }, Qt::QueuedConnection);
}

bool WebPageView::load(const QString &html, const QUrl &baseUrl)
{
    if (html.toUtf8().toPercentEncoding().size() > kMaxEncodedPage)
        return false;
    mClearPending = false;
    mPage->setHtml(html, baseUrl);
    return true;
}
