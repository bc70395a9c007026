#pragma once

#include "pageview.h"

#include <QWebEngineView>

class QWebEngineProfile;

// A page drawn by the browser engine as a visitor's browser draws it: colours,
// background pictures, fonts, tables, forms with their controls and the drop boxes'
// scripts. It only shows: links are reported and never followed, a form's submit goes
// nowhere, nothing is kept between pages and nothing is fetched from the network.
class WebPageView : public QWebEngineView, public PageView
{
    Q_OBJECT
public:
    WebPageView(PageViewEvents events, QWidget *parent);
    ~WebPageView() override;

    QWidget *widget() override { return this; }
    void clear() override;
    bool load(const QString &html, const QUrl &baseUrl) override;

private:
    class Page;

    PageViewEvents mEvents;
    QWebEngineProfile *mProfile;
    Page *mPage;
    bool mClearPending = false;
};
