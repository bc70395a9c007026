#pragma once

#include "widgets/blockpanel.h"

class QCheckBox;
class QLineEdit;
class QToolButton;
class TListBoxHrz;

// A link, or a drop box of links. The drop box list and its buttons are enabled only
// while "Use Drop Box" is checked.
class LinkPanel : public BlockPanel
{
    Q_OBJECT
public:
    explicit LinkPanel(WhatsThisMenu &whatsThis, QWidget *parent = nullptr);

    void fill(const TPageItem &item) override;
    void store(TPageItem &item) const override;

    // Add follows "Use Drop Box"; Remove (and Apply Edit with it) also needs entries;
    // the list is usable only while the box is checked.
    void updateDropBoxControls();

    QLineEdit *txtLinkAddress = nullptr;
    QLineEdit *txtLinkText = nullptr;
    QCheckBox *chkEmail = nullptr;
    QCheckBox *chkLink = nullptr;
    TListBoxHrz *lstLinks = nullptr;
    QToolButton *btnLinkAdd = nullptr;
    QToolButton *btnLinkRemove = nullptr;
    QToolButton *btnLinkEdit = nullptr;
    QToolButton *btnLinkBrowse = nullptr;
    QToolButton *btnLinkIE = nullptr;
    QToolButton *btnLinkNetscape = nullptr;

private:
    void listClicked();
};
