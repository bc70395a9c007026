#pragma once

#include "widgets/blockpanel.h"

class QCheckBox;
class QLineEdit;
class QPushButton;
class QToolButton;
class TListBoxHrz;

// The page details: title, link underline, meta tags, the logo option and the theme.
class PagePropertiesPanel : public BlockPanel
{
    Q_OBJECT
public:
    explicit PagePropertiesPanel(WhatsThisMenu &whatsThis, QWidget *parent = nullptr);

    void fill(const TPageItem &item) override;
    void store(TPageItem &item) const override;

    QLineEdit *txtPageTitle = nullptr;
    QCheckBox *chkLinkUnderline = nullptr;
    TListBoxHrz *lstMeta = nullptr;
    QToolButton *btnMetaAdd = nullptr;
    QToolButton *btnMetaRemove = nullptr;
    QToolButton *btnMetaEdit = nullptr;
    // Not part of the page: the page builder reads it when it builds.
    QCheckBox *chkZandorellLogo = nullptr;
    QPushButton *btnTheme = nullptr;
};
