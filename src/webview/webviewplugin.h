#pragma once

#include "pageview.h"

#include <QObject>

// Makes the browser engine's page views; the program loads this library at its first
// preview.
class WebViewPlugin : public QObject, public PageViewFactory
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID PageViewFactory_iid)
    Q_INTERFACES(PageViewFactory)
public:
    QString unavailableReason() const override;
    PageView *create(QWidget *parent, PageViewEvents events) override;
};
