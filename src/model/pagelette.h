#pragma once

#include "persistent.h"
#include "webform.h"

#include <memory>

enum TBlockType : quint8 { btPageProperties, btHeading, btImage, btLink, btText, btBullet, btHR, btForms };
enum TBlockAlignment : quint8 { baNone, baLeft, baCenter, baRight };
enum TListStyle : quint8 { lsDisc, lsCircle, lsSquare, lsUpCaseA, lsLoCaseA, lsNum, lsUpCaseRoman, lsLoCaseRoman };

const EnumTypeInfo &blockTypeInfo();
const EnumTypeInfo &blockAlignmentInfo();
const EnumTypeInfo &listStyleInfo();

// "Page Details", "Heading", ... as the palette and the pagelette list show them.
QString BlockTypeCaption(TBlockType kind);

// Colours are 0x00BBGGRR.
class TPagePropertiesBlock : public TPersistent
{
public:
    QString PageTitle;
    QString Background;   // file name in Upload/backgrounds/
    QString MetaText;     // lines of name TAB content, each followed by CR LF
    QString IndentMargin; // decimal text, "0" for none
    QString ThemeName;
    bool Underline = false; // true: links are shown without underline
    qint32 BGColor = 0;
    qint32 TextColor = 0;
    qint32 LinkColor = 0;
    qint32 ALinkColor = 0;
    qint32 VLinkColor = 0;

    static const ClassInfo &staticClassInfo();
    const ClassInfo &classInfo() const override { return staticClassInfo(); }
};

class THeadingBlock : public TPersistent
{
public:
    QString Heading;
    QString Attributes; // font description string
    quint8 ApplyFont = 0;

    static const ClassInfo &staticClassInfo();
    const ClassInfo &classInfo() const override { return staticClassInfo(); }
};

class TLinkBlock : public TPersistent
{
public:
    QString LinkURL;
    QString LinkText;
    QString DropBoxText; // lines of address TAB text, each followed by CR LF
    bool UseDropBox = false;
    QString Align;
    bool Email = false;

    static const ClassInfo &staticClassInfo();
    const ClassInfo &classInfo() const override { return staticClassInfo(); }
};

class TImageBlock : public TPersistent
{
public:
    QString FileName; // file name in Upload/images/
    QString Height;
    QString Width;
    QString Align;
    QString Alt;
    QString ImageLink;
    QString ImagePath;

    static const ClassInfo &staticClassInfo();
    const ClassInfo &classInfo() const override { return staticClassInfo(); }
};

class TTextBlock : public TPersistent
{
public:
    QString Text;
    QString Attributes;
    quint8 ApplyFont = 0;

    static const ClassInfo &staticClassInfo();
    const ClassInfo &classInfo() const override { return staticClassInfo(); }
};

class TBulletBlock : public TPersistent
{
public:
    QString Bullets;
    TListStyle Style = lsDisc;

    static const ClassInfo &staticClassInfo();
    const ClassInfo &classInfo() const override { return staticClassInfo(); }
};

class THRBlock : public TPersistent
{
public:
    qint32 Width = 0; // percent
    qint32 Size = 0;  // thickness index 0..5
    bool NoShade = false;

    static const ClassInfo &staticClassInfo();
    const ClassInfo &classInfo() const override { return staticClassInfo(); }
};

// One pagelette. Each block is created empty the first time it is read, so every
// read yields a block; only the one matching BlockType has meaning.
class TPageItem : public TCollectionItem
{
public:
    TBlockType BlockType = btPageProperties;
    TBlockAlignment BlockAlign = baNone;
    bool BlockOnNewLine = false;

    TPagePropertiesBlock &PagePropertiesBlock() const { return block(mPageProperties); }
    THeadingBlock &HeadingBlock() const { return block(mHeading); }
    TLinkBlock &LinkBlock() const { return block(mLink); }
    TImageBlock &ImageBlock() const { return block(mImage); }
    TTextBlock &TextBlock() const { return block(mText); }
    TBulletBlock &BulletBlock() const { return block(mBullet); }
    THRBlock &HRBlock() const { return block(mHR); }

    static const ClassInfo &staticClassInfo();
    const ClassInfo &classInfo() const override { return staticClassInfo(); }

private:
    // A block comes into being on first use: most items use one block of the seven,
    // and a document lists the others at their defaults, which need no object.
    template <class Block>
    static Block &block(std::unique_ptr<Block> &slot)
    {
        if (!slot)
            slot = std::make_unique<Block>();
        return *slot;
    }

    mutable std::unique_ptr<TPagePropertiesBlock> mPageProperties;
    mutable std::unique_ptr<THeadingBlock> mHeading;
    mutable std::unique_ptr<TLinkBlock> mLink;
    mutable std::unique_ptr<TImageBlock> mImage;
    mutable std::unique_ptr<TTextBlock> mText;
    mutable std::unique_ptr<TBulletBlock> mBullet;
    mutable std::unique_ptr<THRBlock> mHR;
};

class TPagelette;

// The ordered page items; it knows the page that owns it.
class TPageCollection : public TOwnedCollection<TPageItem>
{
public:
    explicit TPageCollection(TPagelette &owner)
        : mOwner(owner)
    {
    }
    TPagelette &Owner() const { return mOwner; }
    void MoveItem(int fromIndex, int toIndex) { move(fromIndex, toIndex); }

private:
    TPagelette &mOwner;
};

// The page: its items, its e-mail form and the form's settings.
class TPagelette : public TComponent
{
public:
    TPagelette();
    ~TPagelette() override;
    TPagelette(const TPagelette &) = delete;
    TPagelette &operator=(const TPagelette &) = delete;

    TPageCollection &Page() const { return *mPage; }
    TWebForm &WebForm() const { return *mWebForm; }

    bool AlphaSort = false;
    bool BlankFields = false;
    bool Border = false;
    bool BrowserUsed = false;
    QString Color;
    bool EmailAddress = false;
    bool EmailSubject = false;
    bool EnvReport = false;
    QString FormTitle;
    bool FormFooter = false;
    bool HostName = false;
    QString Email;
    QString Redirect;
    QString Subject;

    // With clearItems, removes every item; always removes the form's fields and resets
    // the form settings to False and empty text.
    void Clear(bool clearItems);

    // Empties the page and builds the default new one: page details with the default
    // colours and theme, then an image, a link and a paragraph.
    void NewPage();

    // Inserts an item of that kind at index with its creation defaults. Raises
    // ListIndexError for an index outside 0..Count.
    TPageItem &InsertNewItem(int index, TBlockType kind);

    // Index of the e-mail form item, or -1.
    int formsItemIndex() const;

    // Makes this page hold what other holds (items, fields, settings), leaving other
    // empty; this page's own collections stay the same objects.
    void takeContentsFrom(TPagelette &other);

    static const ClassInfo &staticClassInfo();
    const ClassInfo &classInfo() const override { return staticClassInfo(); }

private:
    std::unique_ptr<TPageCollection> mPage;
    std::unique_ptr<TWebForm> mWebForm;
};
