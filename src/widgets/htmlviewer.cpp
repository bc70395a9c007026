#include "htmlviewer.h"

#include "browserengine.h"
#include "richtextview.h"

#include <QUrl>
#include <QVBoxLayout>

HtmlViewer::HtmlViewer(PreviewRenderer renderer, QWidget *parent)
    : QFrame(parent), mRenderer(renderer)
{
    setFrameStyle(QFrame::Panel | QFrame::Plain);
    setLineWidth(1);
    // Until the first page, an empty page.
    setBackgroundRole(QPalette::Base);
    setAutoFillBackground(true);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
}

PageViewEvents HtmlViewer::events()
{
    return {[this](const QUrl &link) { emit linkClicked(link); }, [this](bool ok) { emit loadFinished(ok); }};
}

void HtmlViewer::clearPage()
{
    if (mShown)
        mShown->clear();
}

void HtmlViewer::setBaseFolder(const QString &folder)
{
    mBaseFolder = folder;
    if (mBaseFolder.endsWith(u'/') || mBaseFolder.endsWith(u'\\'))
        mBaseFolder.chop(1);
}

void HtmlViewer::loadLines(const QStringList &lines)
{
    const QString html = lines.join(QStringLiteral("\r\n"));
    const QUrl base = mBaseFolder.isEmpty() ? QUrl() : QUrl::fromLocalFile(mBaseFolder + u'/');
    PageView *view = preferredView();
    if (!view->load(html, base)) {
        view = &richTextView();
        view->load(html, base);
    }
    bringToFront(*view);
}

PageView *HtmlViewer::preferredView()
{
    if (mRenderer == PreviewRenderer::BrowserEngine && !mEngineTried) {
        mEngineTried = true;
        mEngine = BrowserEngine::createView(this, events());
        if (mEngine)
            adopt(*mEngine);
    }
    return mEngine ? mEngine : &richTextView();
}

PageView &HtmlViewer::richTextView()
{
    if (!mRichText) {
        mRichText = new RichTextView(events(), this);
        adopt(*mRichText);
    }
    return *mRichText;
}

void HtmlViewer::adopt(PageView &view)
{
    QWidget *widget = view.widget();
    widget->setObjectName(QStringLiteral("pageView"));
    // A screen reader meets the page itself under the viewer's name.
    widget->setAccessibleName(accessibleName());
    widget->hide();
    layout()->addWidget(widget);
    // The viewer's own context menu (its "What's This?") stands for the page's: the
    // engine's would offer to go back, reload or save the page.
    widget->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(widget, &QWidget::customContextMenuRequested, this, [this, widget](const QPoint &pos) {
        if (contextMenuPolicy() == Qt::CustomContextMenu)
            emit customContextMenuRequested(widget->mapTo(this, pos));
    });
}

void HtmlViewer::bringToFront(PageView &view)
{
    if (mShown == &view)
        return;
    if (mShown)
        mShown->widget()->hide();
    mShown = &view;
    view.widget()->show();
    setFocusProxy(view.widget());
}
