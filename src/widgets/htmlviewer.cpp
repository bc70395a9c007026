#include "htmlviewer.h"

#include <QTextDocument>

namespace {

// The page's own fonts where the system has them, else its serif and fixed families.
QFont proportionalFont()
{
    QFont font(QStringLiteral("Times New Roman"));
    font.setStyleHint(QFont::Serif);
    return font;
}

} // namespace

HtmlViewer::HtmlViewer(QWidget *parent)
    : QTextBrowser(parent)
{
    setOpenLinks(false);
    setOpenExternalLinks(false);
    setFrameStyle(QFrame::Panel | QFrame::Plain);
    setLineWidth(1);
    setTextInteractionFlags(Qt::TextBrowserInteraction | Qt::TextSelectableByKeyboard);
    setupDocument();
    connect(this, &QTextBrowser::anchorClicked, this, &HtmlViewer::followLink);
}

void HtmlViewer::clearPage()
{
    // A new document drops the pictures the old one had loaded.
    QTextBrowser::clear();
    document()->clear();
    setupDocument();
}

void HtmlViewer::setupDocument()
{
    document()->setDefaultFont(proportionalFont());
    document()->setDefaultStyleSheet(QStringLiteral("pre, tt, code, kbd, samp { font-family: \"Courier New\", monospace; }"));
}

void HtmlViewer::setBaseFolder(const QString &folder)
{
    mBaseFolder = folder;
    if (mBaseFolder.endsWith(u'/') || mBaseFolder.endsWith(u'\\'))
        mBaseFolder.chop(1);
    setSearchPaths(mBaseFolder.isEmpty() ? QStringList() : QStringList{mBaseFolder});
    document()->setBaseUrl(mBaseFolder.isEmpty() ? QUrl() : QUrl::fromLocalFile(mBaseFolder + u'/'));
}

void HtmlViewer::loadLines(const QStringList &lines)
{
    setHtml(lines.join(QStringLiteral("\r\n")));
}

void HtmlViewer::followLink(const QUrl &link)
{
    bool handled = false;
    emit linkClicked(link, handled);
    if (handled)
        return;
    const QUrl target = link.isRelative() && !mBaseFolder.isEmpty()
                            ? QUrl::fromLocalFile(mBaseFolder + u'/').resolved(link)
                            : link;
    if (target.isLocalFile()) {
        setSource(target);
        clearHistory();
    }
}
