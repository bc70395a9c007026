#pragma once

#include "widgets/blockpanel.h"

class MemoBox;
class QComboBox;
class QToolButton;

class BulletPanel : public BlockPanel
{
    Q_OBJECT
public:
    explicit BulletPanel(WhatsThisMenu &whatsThis, QWidget *parent = nullptr);

    void fill(const TPageItem &item) override;
    void store(TPageItem &item) const override;

    MemoBox *txtBullets = nullptr;
    // Entry n is the list style of ordinal n.
    QComboBox *cbBullets = nullptr;
    QToolButton *btnBulletImport = nullptr;
};
