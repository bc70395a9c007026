#include "pagelette.h"

#include "fontdescription.h"

using namespace Qt::StringLiterals;

namespace {
const QLatin1StringView kBlockTypeIds[] = {"btPageProperties"_L1, "btHeading"_L1, "btImage"_L1, "btLink"_L1,
                                           "btText"_L1, "btBullet"_L1, "btHR"_L1, "btForms"_L1};
const QLatin1StringView kAlignmentIds[] = {"baNone"_L1, "baLeft"_L1, "baCenter"_L1, "baRight"_L1};
const QLatin1StringView kListStyleIds[] = {"lsDisc"_L1, "lsCircle"_L1, "lsSquare"_L1, "lsUpCaseA"_L1,
                                           "lsLoCaseA"_L1, "lsNum"_L1, "lsUpCaseRoman"_L1, "lsLoCaseRoman"_L1};
const char *const kCaptions[] = {"Page Details", "Heading", "Image", "Link", "Paragraph", "Bullet List", "Line", "Forms"};
}

const EnumTypeInfo &blockTypeInfo()
{
    static const EnumTypeInfo info{"TBlockType"_L1, kBlockTypeIds};
    return info;
}

const EnumTypeInfo &blockAlignmentInfo()
{
    static const EnumTypeInfo info{"TBlockAlignment"_L1, kAlignmentIds};
    return info;
}

const EnumTypeInfo &listStyleInfo()
{
    static const EnumTypeInfo info{"TListStyle"_L1, kListStyleIds};
    return info;
}

QString BlockTypeCaption(TBlockType kind)
{
    return QString::fromLatin1(kCaptions[kind]);
}

const ClassInfo &TPagePropertiesBlock::staticClassInfo()
{
    using B = TPagePropertiesBlock;
    static const PropertyInfo properties[] = {
        Props::string<&B::PageTitle>("PageTitle"_L1),
        Props::string<&B::Background>("Background"_L1),
        Props::string<&B::MetaText>("MetaText"_L1),
        Props::string<&B::IndentMargin>("IndentMargin"_L1),
        Props::string<&B::ThemeName>("ThemeName"_L1),
        Props::boolean<&B::Underline>("Underline"_L1),
        Props::integer<&B::BGColor>("BGColor"_L1),
        Props::integer<&B::TextColor>("TextColor"_L1),
        Props::integer<&B::LinkColor>("LinkColor"_L1),
        Props::integer<&B::ALinkColor>("ALinkColor"_L1),
        Props::integer<&B::VLinkColor>("VLinkColor"_L1),
    };
    static const ClassInfo info{"TPagePropertiesBlock"_L1, properties};
    return info;
}

const ClassInfo &THeadingBlock::staticClassInfo()
{
    using B = THeadingBlock;
    static const PropertyInfo properties[] = {
        Props::string<&B::Heading>("Heading"_L1),
        Props::string<&B::Attributes>("Attributes"_L1),
        Props::byte<&B::ApplyFont>("ApplyFont"_L1),
    };
    static const ClassInfo info{"THeadingBlock"_L1, properties};
    return info;
}

const ClassInfo &TLinkBlock::staticClassInfo()
{
    using B = TLinkBlock;
    static const PropertyInfo properties[] = {
        Props::string<&B::LinkURL>("LinkURL"_L1),
        Props::string<&B::LinkText>("LinkText"_L1),
        Props::string<&B::DropBoxText>("DropBoxText"_L1),
        Props::boolean<&B::UseDropBox>("UseDropBox"_L1),
        Props::string<&B::Align>("Align"_L1),
        Props::boolean<&B::Email>("Email"_L1),
    };
    static const ClassInfo info{"TLinkBlock"_L1, properties};
    return info;
}

const ClassInfo &TImageBlock::staticClassInfo()
{
    using B = TImageBlock;
    static const PropertyInfo properties[] = {
        Props::string<&B::FileName>("FileName"_L1),
        Props::string<&B::Height>("Height"_L1),
        Props::string<&B::Width>("Width"_L1),
        Props::string<&B::Align>("Align"_L1),
        Props::string<&B::Alt>("Alt"_L1),
        Props::string<&B::ImageLink>("ImageLink"_L1),
        Props::string<&B::ImagePath>("ImagePath"_L1),
    };
    static const ClassInfo info{"TImageBlock"_L1, properties};
    return info;
}

const ClassInfo &TTextBlock::staticClassInfo()
{
    using B = TTextBlock;
    static const PropertyInfo properties[] = {
        Props::string<&B::Text>("Text"_L1),
        Props::string<&B::Attributes>("Attributes"_L1),
        Props::byte<&B::ApplyFont>("ApplyFont"_L1),
    };
    static const ClassInfo info{"TTextBlock"_L1, properties};
    return info;
}

const ClassInfo &TBulletBlock::staticClassInfo()
{
    using B = TBulletBlock;
    static const PropertyInfo properties[] = {
        Props::string<&B::Bullets>("Bullets"_L1),
        Props::enumeration<&B::Style>("Style"_L1, listStyleInfo()),
    };
    static const ClassInfo info{"TBulletBlock"_L1, properties};
    return info;
}

const ClassInfo &THRBlock::staticClassInfo()
{
    using B = THRBlock;
    static const PropertyInfo properties[] = {
        Props::integer<&B::Width>("Width"_L1),
        Props::integer<&B::Size>("Size"_L1),
        Props::boolean<&B::NoShade>("NoShade"_L1),
    };
    static const ClassInfo info{"THRBlock"_L1, properties};
    return info;
}

const ClassInfo &TPageItem::staticClassInfo()
{
    using I = TPageItem;
    static const PropertyInfo properties[] = {
        Props::enumeration<&I::BlockType>("BlockType"_L1, blockTypeInfo()),
        Props::enumeration<&I::BlockAlign>("BlockAlign"_L1, blockAlignmentInfo()),
        Props::boolean<&I::BlockOnNewLine>("BlockOnNewLine"_L1),
        Props::lazyObject<&I::PagePropertiesBlock, &I::mPageProperties>("PagePropertiesBlock"_L1),
        Props::lazyObject<&I::HeadingBlock, &I::mHeading>("HeadingBlock"_L1),
        Props::lazyObject<&I::LinkBlock, &I::mLink>("LinkBlock"_L1),
        Props::lazyObject<&I::ImageBlock, &I::mImage>("ImageBlock"_L1),
        Props::lazyObject<&I::TextBlock, &I::mText>("TextBlock"_L1),
        Props::lazyObject<&I::BulletBlock, &I::mBullet>("BulletBlock"_L1),
        Props::lazyObject<&I::HRBlock, &I::mHR>("HRBlock"_L1),
    };
    static const ClassInfo info{"TPageItem"_L1, properties};
    return info;
}

TPagelette::TPagelette()
    : mPage(std::make_unique<TPageCollection>(*this)), mWebForm(std::make_unique<TWebForm>())
{
}

TPagelette::~TPagelette() = default;

const ClassInfo &TPagelette::staticClassInfo()
{
    using P = TPagelette;
    static const PropertyInfo properties[] = {
        Props::collection<&P::Page>("Page"_L1),
        Props::collection<&P::WebForm>("WebForm"_L1),
        Props::boolean<&P::AlphaSort>("AlphaSort"_L1),
        Props::boolean<&P::BlankFields>("BlankFields"_L1),
        Props::boolean<&P::Border>("Border"_L1),
        Props::boolean<&P::BrowserUsed>("BrowserUsed"_L1),
        Props::string<&P::Color>("Color"_L1),
        Props::boolean<&P::EmailAddress>("EmailAddress"_L1),
        Props::boolean<&P::EmailSubject>("EmailSubject"_L1),
        Props::boolean<&P::EnvReport>("EnvReport"_L1),
        Props::string<&P::FormTitle>("FormTitle"_L1),
        Props::boolean<&P::FormFooter>("FormFooter"_L1),
        Props::boolean<&P::HostName>("HostName"_L1),
        Props::string<&P::Email>("Email"_L1),
        Props::string<&P::Redirect>("Redirect"_L1),
        Props::string<&P::Subject>("Subject"_L1),
    };
    static const ClassInfo info{"TPagelette"_L1, properties};
    return info;
}

void TPagelette::Clear(bool clearItems)
{
    if (clearItems)
        mPage->clear();
    mWebForm->clear();
    AlphaSort = BlankFields = Border = BrowserUsed = false;
    EmailAddress = EmailSubject = EnvReport = FormFooter = HostName = false;
    Color.clear();
    FormTitle.clear();
    Email.clear();
    Redirect.clear();
    Subject.clear();
}

void TPagelette::NewPage()
{
    Clear(true);
    Name.clear();
    Tag = 0;
    NameStreamed = TagStreamed = false;
    TPageItem &details = mPage->Insert(0);
    details.BlockType = btPageProperties;
    TPagePropertiesBlock &block = details.PagePropertiesBlock();
    block.ThemeName = QStringLiteral("Default");
    block.IndentMargin = QStringLiteral("0");
    block.BGColor = 0xFFFFFF;
    block.TextColor = 0x000000;
    block.LinkColor = 0xFF0000;
    block.ALinkColor = 0x0000FF;
    block.VLinkColor = 0x990099;
    InsertNewItem(1, btImage);
    InsertNewItem(2, btLink);
    InsertNewItem(3, btText);
}

TPageItem &TPagelette::InsertNewItem(int index, TBlockType kind)
{
    TPageItem &item = mPage->Insert(index);
    item.BlockType = kind;
    item.BlockOnNewLine = true;
    item.BlockAlign = kind == btPageProperties ? baNone : kind == btHeading ? baCenter : baLeft;
    switch (kind) {
    case btHeading:
        item.HeadingBlock().Attributes = defaultFontDescription();
        break;
    case btText:
        item.TextBlock().Attributes = defaultFontDescription();
        break;
    case btHR:
        item.HRBlock().Width = 100;
        item.HRBlock().Size = 0;
        break;
    default:
        break;
    }
    return item;
}

int TPagelette::formsItemIndex() const
{
    for (int i = 0; i < mPage->Count(); ++i) {
        if (mPage->Items(i).BlockType == btForms)
            return i;
    }
    return -1;
}

void TPagelette::takeContentsFrom(TPagelette &other)
{
    mPage->takeItemsFrom(*other.mPage);
    mWebForm->takeItemsFrom(*other.mWebForm);
    AlphaSort = other.AlphaSort;
    BlankFields = other.BlankFields;
    Border = other.Border;
    BrowserUsed = other.BrowserUsed;
    Color = other.Color;
    EmailAddress = other.EmailAddress;
    EmailSubject = other.EmailSubject;
    EnvReport = other.EnvReport;
    FormTitle = other.FormTitle;
    FormFooter = other.FormFooter;
    HostName = other.HostName;
    Email = other.Email;
    Redirect = other.Redirect;
    Subject = other.Subject;
    Name = other.Name;
    Tag = other.Tag;
    NameStreamed = other.NameStreamed;
    TagStreamed = other.TagStreamed;
    other.Clear(true);
}
