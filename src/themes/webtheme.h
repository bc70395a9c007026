#pragma once

#include "model/persistent.h"

// One theme: a background picture, a left margin and five colours (0x00BBGGRR).
class TThemeItem : public TCollectionItem
{
public:
    QString ThemeName;
    QString BGImage;    // file name in Upload/backgrounds/
    QString LeftMargin; // decimal text
    qint32 BGColor = 0;
    qint32 TextColor = 0;
    qint32 LinkColor = 0;
    qint32 ALinkColor = 0;
    qint32 VLinkColor = 0;

    // Copies all eight properties of another theme.
    void Assign(const TThemeItem &other);

    static const ClassInfo &staticClassInfo();
    const ClassInfo &classInfo() const override { return staticClassInfo(); }
};

class TWebTheme;

// The ordered themes; it knows the store that owns it.
class TThemeCollection : public TOwnedCollection<TThemeItem>
{
public:
    explicit TThemeCollection(TWebTheme &owner)
        : mOwner(owner)
    {
    }
    TWebTheme &Owner() const { return mOwner; }

private:
    TWebTheme &mOwner;
};

// The theme store, kept in "Themes.dat".
class TWebTheme : public TComponent
{
public:
    TWebTheme();
    ~TWebTheme() override;

    TThemeCollection &Items() const { return *mItems; }
    // Replaces the themes with copies of the given collection's themes.
    void setItems(const TThemeCollection &items);

    static const ClassInfo &staticClassInfo();
    const ClassInfo &classInfo() const override { return staticClassInfo(); }

private:
    std::unique_ptr<TThemeCollection> mItems;
};
