#pragma once

#include <QtPlugin>

#include <functional>

class QString;
class QUrl;
class QWidget;

// What a page viewer reports to the widget that holds it.
struct PageViewEvents
{
    // The user clicked a link (or a page's drop box went to its address). The view
    // never goes there itself.
    std::function<void(const QUrl &link)> linkClicked;
    // A page handed to load() is shown (ok), or could not be.
    std::function<void(bool ok)> loadFinished;
};

// One way of drawing a page: the browser engine, or the simple rich-text viewer.
// The object is its widget, owned by the widget's parent.
class PageView
{
public:
    virtual ~PageView() = default;

    virtual QWidget *widget() = 0;
    // Shows an empty page.
    virtual void clear() = 0;
    // Shows the document; relative references resolve against baseUrl (a folder's
    // file URL ending in '/', or empty). Returns false, showing nothing new, when this
    // view cannot take a document of that size.
    virtual bool load(const QString &html, const QUrl &baseUrl) = 0;
};

// The browser engine's side of the viewer, in a library of its own that the program
// loads at the first preview, so that a start-up never pays for the engine.
class PageViewFactory
{
public:
    virtual ~PageViewFactory() = default;

    // Why the engine cannot run in this process (empty when it can).
    virtual QString unavailableReason() const = 0;
    // A new view as a child of parent; null when the engine cannot run.
    virtual PageView *create(QWidget *parent, PageViewEvents events) = 0;
};

#define PageViewFactory_iid "com.zandorell.Vendrix.PageViewFactory/1"
Q_DECLARE_INTERFACE(PageViewFactory, PageViewFactory_iid)
