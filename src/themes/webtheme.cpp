#include "webtheme.h"

using namespace Qt::StringLiterals;

void TThemeItem::Assign(const TThemeItem &other)
{
    ThemeName = other.ThemeName;
    BGImage = other.BGImage;
    LeftMargin = other.LeftMargin;
    BGColor = other.BGColor;
    TextColor = other.TextColor;
    LinkColor = other.LinkColor;
    ALinkColor = other.ALinkColor;
    VLinkColor = other.VLinkColor;
}

const ClassInfo &TThemeItem::staticClassInfo()
{
    using T = TThemeItem;
    static const PropertyInfo properties[] = {
        Props::string<&T::ThemeName>("ThemeName"_L1),
        Props::string<&T::BGImage>("BGImage"_L1),
        Props::string<&T::LeftMargin>("LeftMargin"_L1),
        Props::integer<&T::BGColor>("BGColor"_L1),
        Props::integer<&T::TextColor>("TextColor"_L1),
        Props::integer<&T::LinkColor>("LinkColor"_L1),
        Props::integer<&T::ALinkColor>("ALinkColor"_L1),
        Props::integer<&T::VLinkColor>("VLinkColor"_L1),
    };
    static const ClassInfo info{"TThemeItem"_L1, properties};
    return info;
}

TWebTheme::TWebTheme()
    : mItems(std::make_unique<TThemeCollection>(*this))
{
}

TWebTheme::~TWebTheme() = default;

void TWebTheme::setItems(const TThemeCollection &items)
{
    if (&items == mItems.get())
        return;
    mItems->clear();
    for (int i = 0; i < items.Count(); ++i)
        mItems->Add().Assign(items.Items(i));
}

const ClassInfo &TWebTheme::staticClassInfo()
{
    static const PropertyInfo properties[] = {
        Props::collection<&TWebTheme::Items>("Items"_L1),
    };
    static const ClassInfo info{"TWebTheme"_L1, properties};
    return info;
}
