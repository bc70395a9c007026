#pragma once

#include "platform/appservices.h"

#include <QFrame>

class PageView;
struct PageViewEvents;

// Shows a page given as HTML lines, with its pictures, as a visitor's browser would,
// and reports link clicks. It never follows a link, submits a form, keeps a history or
// caches a picture, and never reaches the network. The browser engine is loaded at the
// first page shown; without it (or for a page too large for it) the simple rich-text
// viewer shows the page.
class HtmlViewer : public QFrame
{
    Q_OBJECT
public:
    explicit HtmlViewer(PreviewRenderer renderer, QWidget *parent = nullptr);

    // Empties the viewer.
    void clearPage();
    // The folder against which relative picture and background references are
    // resolved. One trailing separator ('/' or '\') is dropped.
    void setBaseFolder(const QString &folder);
    QString baseFolder() const { return mBaseFolder; }
    // Shows an HTML document given as lines; loadFinished follows when it is drawn.
    void loadLines(const QStringList &lines);
    // Whether the browser engine draws the page in view (false before the first page).
    bool showsWithBrowserEngine() const { return mShown && mShown == mEngine; }

signals:
    void linkClicked(const QUrl &link);
    void loadFinished(bool ok);

private:
    PageViewEvents events();
    PageView *preferredView();
    PageView &richTextView();
    void adopt(PageView &view);
    void bringToFront(PageView &view);

    PreviewRenderer mRenderer;
    bool mEngineTried = false;
    PageView *mEngine = nullptr;
    PageView *mRichText = nullptr;
    PageView *mShown = nullptr;
    QString mBaseFolder;
};
