#include "textblockpanel.h"

#include "fontconvert.h"

#include "widgets/memobox.h"
#include "widgets/pictures.h"

#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

QLabel *sampleCaption(QWidget *parent, const QString &text, const QString &face, const QColor &color, bool bold)
{
    auto *label = new QLabel(text, parent);
    QFont font(face);
    font.setPixelSize(19);
    font.setBold(bold);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, color);
    label->setPalette(palette);
    return label;
}

MemoBox *makeTextBox(QWidget *parent, bool wantReturns)
{
    auto *box = new MemoBox(parent);
    box->setWantReturns(wantReturns);
    FontConvert::setBoxFontDescription(*box, defaultFontDescription());
    return box;
}

}

void FontedTextPanel::fillText(MemoBox &box, const QString &text, const QString &attributes, quint8 applyFont)
{
    box.setText(text);
    FontConvert::setBoxFontDescription(box, attributes);
    mFontChosen = applyFont != 0;
}

void FontedTextPanel::storeText(const MemoBox &box, QString &text, QString &attributes, quint8 &applyFont) const
{
    text = box.text();
    attributes = FontConvert::boxFontDescription(box);
    applyFont = mFontChosen ? 1 : 0;
}

HeadingPanel::HeadingPanel(WhatsThisMenu &whatsThis, QWidget *parent)
    : FontedTextPanel(btHeading, QStringLiteral("pnlHeading"), tr("Heading"),
                      tr("Headings are a good way to mark the beginning of a section in your web page. "
                         "This helps separate parts of the page text."),
                      whatsThis, parent)
{
    QVBoxLayout &layout = *body();
    txtHeading = named(makeTextBox(this, false), QStringLiteral("txtHeading"), 26);
    txtHeading->setFixedHeight(64);

    auto *captionRow = new QHBoxLayout;
    addLabel(*captionRow, tr("&Heading Caption eg. My Web Page"), txtHeading, 26);
    captionRow->addStretch(1);
    btnHeadingFont = makeToolButton(QStringLiteral("btnHeadingFont"), tr("Heading Font"), Pictures::button(Pictures::Button::Font));
    captionRow->addWidget(btnHeadingFont);
    layout.addLayout(captionRow);
    layout.addWidget(txtHeading);

    layout.addSpacing(12);
    layout.addWidget(new QLabel(tr("Some examples of a page heading."), this));
    layout.addWidget(sampleCaption(this, tr("Welcome to my page!"), QStringLiteral("Arial"), QColor(0, 0, 0x80), false));
    layout.addWidget(sampleCaption(this, tr("The Music Section!"), QStringLiteral("Times New Roman"), QColor(0xFF, 0, 0), false));
    layout.addWidget(sampleCaption(this, tr("Cats and Dogs"), QStringLiteral("Courier New"), QColor(0, 0xFF, 0), true));
    layout.addStretch(1);
}

void HeadingPanel::fill(const TPageItem &item)
{
    const THeadingBlock &block = item.HeadingBlock();
    fillText(*txtHeading, block.Heading, block.Attributes, block.ApplyFont);
}

void HeadingPanel::store(TPageItem &item) const
{
    THeadingBlock &block = item.HeadingBlock();
    storeText(*txtHeading, block.Heading, block.Attributes, block.ApplyFont);
}

TextPanel::TextPanel(WhatsThisMenu &whatsThis, QWidget *parent)
    : FontedTextPanel(btText, QStringLiteral("pnlText"), tr("Text Paragraph"),
                      tr("Your web page would not be complete with something to say. Why not include a paragraph of text."),
                      whatsThis, parent)
{
    QVBoxLayout &layout = *body();
    auto *buttons = new QHBoxLayout;
    btnTextImport = makeToolButton(QStringLiteral("btnTextImport"), tr("Import Text File"), Pictures::button(Pictures::Button::Import));
    btnTextFont = makeToolButton(QStringLiteral("btnTextFont"), tr("Paragraph Font"), Pictures::button(Pictures::Button::Font));
    buttons->addWidget(btnTextImport);
    buttons->addWidget(btnTextFont);
    buttons->addStretch(1);
    layout.addLayout(buttons);
    txtText = named(makeTextBox(this, true), QStringLiteral("txtText"), 35);
    txtText->setAccessibleName(tr("Paragraph"));
    layout.addWidget(txtText, 1);
}

void TextPanel::fill(const TPageItem &item)
{
    const TTextBlock &block = item.TextBlock();
    fillText(*txtText, block.Text, block.Attributes, block.ApplyFont);
}

void TextPanel::store(TPageItem &item) const
{
    TTextBlock &block = item.TextBlock();
    storeText(*txtText, block.Text, block.Attributes, block.ApplyFont);
}
