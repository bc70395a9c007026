#pragma once

#include "webview/pageview.h"

#include <QTextBrowser>

// The simple viewer: Qt's rich text, without scripts or style sheets. It shows pages
// when the browser engine is not there or cannot run, and pages too large for the engine.
// Every load reads the pictures again from the base folder.
class RichTextView : public QTextBrowser, public PageView
{
    Q_OBJECT
public:
    RichTextView(PageViewEvents events, QWidget *parent);

    QWidget *widget() override { return this; }
    void clear() override;
    bool load(const QString &html, const QUrl &baseUrl) override;

private:
    void setUpDocument();

    PageViewEvents mEvents;
};
