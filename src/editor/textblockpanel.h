#pragma once

#include "widgets/blockpanel.h"

class MemoBox;
class QToolButton;

// What the heading and paragraph panels share: a text box whose font is the block's
// font, and the mark that a font was chosen for it (which makes the page write the
// font's face, size and colour).
class FontedTextPanel : public BlockPanel
{
    Q_OBJECT
public:
    using BlockPanel::BlockPanel;

    bool fontChosen() const { return mFontChosen; }
    void setFontChosen(bool chosen)
    {
        mFontChosen = chosen;
        emit edited();
    }

protected:
    // The box's text, font and mark from the block's text, description and mark.
    void fillText(MemoBox &box, const QString &text, const QString &attributes, quint8 applyFont);
    void storeText(const MemoBox &box, QString &text, QString &attributes, quint8 &applyFont) const;

private:
    bool mFontChosen = false;
};

class HeadingPanel : public FontedTextPanel
{
    Q_OBJECT
public:
    explicit HeadingPanel(WhatsThisMenu &whatsThis, QWidget *parent = nullptr);

    void fill(const TPageItem &item) override;
    void store(TPageItem &item) const override;

    MemoBox *txtHeading = nullptr;
    QToolButton *btnHeadingFont = nullptr;
};

class TextPanel : public FontedTextPanel
{
    Q_OBJECT
public:
    explicit TextPanel(WhatsThisMenu &whatsThis, QWidget *parent = nullptr);

    void fill(const TPageItem &item) override;
    void store(TPageItem &item) const override;

    MemoBox *txtText = nullptr;
    QToolButton *btnTextImport = nullptr;
    QToolButton *btnTextFont = nullptr;
};
