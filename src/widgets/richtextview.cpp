#include "richtextview.h"

#include <QTextDocument>

RichTextView::RichTextView(PageViewEvents events, QWidget *parent)
    : QTextBrowser(parent), mEvents(std::move(events))
{
    setOpenLinks(false);
    setOpenExternalLinks(false);
    setFrameStyle(QFrame::NoFrame);
    setTextInteractionFlags(Qt::TextBrowserInteraction | Qt::TextSelectableByKeyboard);
    setUpDocument();
    connect(this, &QTextBrowser::anchorClicked, this, [this](const QUrl &link) {
        if (mEvents.linkClicked)
            mEvents.linkClicked(link);
    });
}

void RichTextView::setUpDocument()
{
    // The page's own fonts where the system has them, else its serif and fixed families.
    QFont font(QStringLiteral("Times New Roman"));
    font.setStyleHint(QFont::Serif);
    document()->setDefaultFont(font);
    document()->setDefaultStyleSheet(QStringLiteral("pre, tt, code, kbd, samp { font-family: \"Courier New\", monospace; }"));
}

void RichTextView::clear()
{
    // A new document drops the pictures the old one had loaded.
    QTextBrowser::clear();
    document()->clear();
    setUpDocument();
}

bool RichTextView::load(const QString &html, const QUrl &baseUrl)
{
    clear();
    setSearchPaths(baseUrl.isLocalFile() ? QStringList{baseUrl.toLocalFile()} : QStringList());
    document()->setBaseUrl(baseUrl);
    setHtml(html);
    // As the engine does, after the call that loaded the page.
    QMetaObject::invokeMethod(this, [this] {
        if (mEvents.loadFinished)
            mEvents.loadFinished(true);
    }, Qt::QueuedConnection);
    return true;
}
