#include "persistent.h"

#include <algorithm>
#include <cstring>

using namespace Qt::StringLiterals;

namespace {
char asciiLower(char c)
{
    return (c >= 'A' && c <= 'Z') ? char(c + ('a' - 'A')) : c;
}
}

bool sameAsciiNameIgnoringCase(QLatin1StringView a, QLatin1StringView b)
{
    if (a.size() != b.size())
        return false;
    if (memcmp(a.data(), b.data(), size_t(a.size())) == 0)
        return true;
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (asciiLower(a[i].toLatin1()) != asciiLower(b[i].toLatin1()))
            return false;
    }
    return true;
}

QLatin1StringView EnumTypeInfo::identifier(qint64 ordinal) const
{
    if (ordinal < 0 || ordinal >= qint64(identifiers.size()))
        return {};
    return identifiers[size_t(ordinal)];
}

int EnumTypeInfo::ordinalOf(QLatin1StringView name) const
{
    for (size_t i = 0; i < identifiers.size(); ++i) {
        if (sameAsciiNameIgnoringCase(identifiers[i], name))
            return int(i);
    }
    return -1;
}

const EnumTypeInfo &booleanTypeInfo()
{
    static const QLatin1StringView names[] = {"False"_L1, "True"_L1};
    static const EnumTypeInfo info{"Boolean"_L1, names};
    return info;
}

const PropertyInfo *ClassInfo::find(QLatin1StringView name, size_t startIndex) const
{
    const size_t count = properties.size();
    for (size_t k = 0; k < count; ++k) {
        const PropertyInfo &p = properties[(startIndex + k) % count];
        if (p.name.size() == name.size() && sameAsciiNameIgnoringCase(p.name, name))
            return &p;
    }
    return nullptr;
}

const ClassInfo &TComponent::inheritedClassInfo()
{
    using C = TComponent;
    static const PropertyInfo properties[] = {
        Props::string<&C::Name>("Name"_L1),
        Props::integer<&C::Tag>("Tag"_L1),
    };
    static const ClassInfo info{"TComponent"_L1, properties};
    return info;
}

int TCollectionItem::Index() const
{
    return mCollection ? mCollection->indexOf(this) : -1;
}

TCollection::~TCollection() = default;

const ClassInfo &TCollection::classInfo() const
{
    static const ClassInfo info{"TCollection"_L1, {}};
    return info;
}

void TCollection::checkIndex(qsizetype index, qsizetype count) const
{
    if (index < 0 || index >= count)
        throw ListIndexError(index);
}

TCollectionItem &TCollection::item(int index) const
{
    checkIndex(index, Count());
    return *mItems[size_t(index)];
}

TCollectionItem &TCollection::addItem()
{
    std::unique_ptr<TCollectionItem> item = createItem();
    item->mCollection = this;
    mItems.push_back(std::move(item));
    return *mItems.back();
}

TCollectionItem &TCollection::insertItem(int index)
{
    checkIndex(index, Count() + 1);
    std::unique_ptr<TCollectionItem> item = createItem();
    item->mCollection = this;
    return **mItems.insert(mItems.begin() + index, std::move(item));
}

void TCollection::move(int fromIndex, int toIndex)
{
    checkIndex(fromIndex, Count());
    checkIndex(toIndex, Count());
    const auto from = mItems.begin() + fromIndex;
    const auto to = mItems.begin() + toIndex;
    if (fromIndex < toIndex)
        std::rotate(from, from + 1, to + 1);
    else if (fromIndex > toIndex)
        std::rotate(to, from, from + 1);
}

void TCollection::remove(int index)
{
    checkIndex(index, Count());
    mItems.erase(mItems.begin() + index);
}

void TCollection::clear()
{
    mItems.clear();
}

int TCollection::indexOf(const TCollectionItem *item) const
{
    for (size_t i = 0; i < mItems.size(); ++i) {
        if (mItems[i].get() == item)
            return int(i);
    }
    return -1;
}

void TCollection::takeItemsFrom(TCollection &other)
{
    Q_ASSERT(&itemClassInfo() == &other.itemClassInfo());
    mItems = std::move(other.mItems);
    other.mItems.clear();
    for (const auto &item : mItems)
        item->mCollection = this;
}
