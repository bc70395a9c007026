#pragma once

#include "errors.h"

#include <QLatin1StringView>
#include <QString>
#include <QStringList>

#include <memory>
#include <span>
#include <vector>

class TPersistent;
class TCollection;

// What a published property holds; the component stream picks its tags from this.
enum class PropertyType { Integer, Byte, Boolean, Enumeration, String, Object, Collection, StringList };

// An enumeration as documents store it: by identifier, the ordinal being the position.
struct EnumTypeInfo
{
    QLatin1StringView typeName;
    std::span<const QLatin1StringView> identifiers;

    // The identifier of an ordinal; empty for an ordinal outside the type.
    QLatin1StringView identifier(qint64 ordinal) const;
    // The ordinal of an identifier, letters A to Z compared without case; -1 when absent.
    int ordinalOf(QLatin1StringView identifier) const;
};

// The enumeration behind every Boolean property: False, True.
const EnumTypeInfo &booleanTypeInfo();

// One entry of a class's published property table. Only the accessors of the
// property's type are set.
struct PropertyInfo
{
    QLatin1StringView name;
    PropertyType type;
    const EnumTypeInfo *enumType = nullptr;
    qint64 (*ordinal)(const TPersistent &) = nullptr;          // Integer, Byte, Boolean, Enumeration
    void (*setOrdinal)(TPersistent &, qint64) = nullptr;
    QString (*string)(const TPersistent &) = nullptr;          // String
    void (*setString)(TPersistent &, const QString &) = nullptr;
    TPersistent &(*object)(TPersistent &) = nullptr;           // Object (created on first read)
    // Objects that come into being on first use: the object, or nullptr while it has
    // none; and an object as a new one is, which stands in for an absent one when
    // properties are visited (visitors only read it).
    TPersistent *(*existingObject)(const TPersistent &) = nullptr;
    TPersistent &(*defaultObject)() = nullptr;
    TCollection &(*collection)(TPersistent &) = nullptr;       // Collection
    QStringList &(*stringList)(TPersistent &) = nullptr;       // StringList
};

// A class's name and its published properties in streaming order.
struct ClassInfo
{
    QLatin1StringView className;
    std::span<const PropertyInfo> properties;

    // The property of that name, letters A to Z compared without case; nullptr when absent.
    const PropertyInfo *find(QLatin1StringView name) const { return find(name, 0); }
    // As find(name), searching from the index onward (and then from the start):
    // streams name properties in table order, so a reader that starts at the last one
    // it found meets the next one at once.
    const PropertyInfo *find(QLatin1StringView name, size_t startIndex) const;
};

// True when the two names are equal ignoring the case of the letters A to Z only.
bool sameAsciiNameIgnoringCase(QLatin1StringView a, QLatin1StringView b);

// A plain object with a published property table.
class TPersistent
{
public:
    virtual ~TPersistent() = default;
    virtual const ClassInfo &classInfo() const = 0;

protected:
    TPersistent() = default;
    TPersistent(const TPersistent &) = default;
    TPersistent &operator=(const TPersistent &) = default;
};

// A named object that may be the root of a component stream.
class TComponent : public TPersistent
{
public:
    QString Name;
    qint32 Tag = 0;
    // Whether a stream set the inherited properties: only then, and only when not at
    // their default, are they written back, so a file that carries them keeps them.
    bool NameStreamed = false;
    bool TagStreamed = false;

    // The published properties every component inherits, ahead of its own: Name, Tag.
    static const ClassInfo &inheritedClassInfo();
};

// An item that knows the collection that owns it.
class TCollectionItem : public TPersistent
{
public:
    TCollection *Collection() const { return mCollection; }
    // Position of the item in its collection; -1 when it has none.
    int Index() const;

private:
    friend class TCollection;
    TCollection *mCollection = nullptr;
};

// An ordered list that owns its items. Every access by index outside 0..Count()-1
// raises ListIndexError.
class TCollection : public TPersistent
{
public:
    ~TCollection() override;
    TCollection(const TCollection &) = delete;
    TCollection &operator=(const TCollection &) = delete;

    const ClassInfo &classInfo() const override;

    int Count() const { return int(mItems.size()); }
    TCollectionItem &item(int index) const;
    TCollectionItem &addItem();
    // Adds a new item and moves it to index (0..Count()); the items from there shift up.
    TCollectionItem &insertItem(int index);
    // Moves one item; the others shift by one.
    void move(int fromIndex, int toIndex);
    // Frees the item at index; the later items move up.
    void remove(int index);
    void clear();
    int indexOf(const TCollectionItem *item) const;
    // Replaces this collection's items by those of other, which is left empty. Both
    // collections must hold items of the same class.
    void takeItemsFrom(TCollection &other);

    // The class of the items, for readers that create items by table.
    virtual const ClassInfo &itemClassInfo() const = 0;

protected:
    TCollection() = default;
    virtual std::unique_ptr<TCollectionItem> createItem() const = 0;

private:
    void checkIndex(qsizetype index, qsizetype count) const;
    std::vector<std::unique_ptr<TCollectionItem>> mItems;
};

// A collection of items of one class, with typed access.
template <class Item>
class TOwnedCollection : public TCollection
{
public:
    Item &Items(int index) const { return static_cast<Item &>(item(index)); }
    Item &Add() { return static_cast<Item &>(addItem()); }
    Item &Insert(int index) { return static_cast<Item &>(insertItem(index)); }
    const ClassInfo &itemClassInfo() const override { return Item::staticClassInfo(); }

protected:
    std::unique_ptr<TCollectionItem> createItem() const override { return std::make_unique<Item>(); }
};

// Building blocks of the property tables: Props::integer<&TClass::Member>("Member"_L1).
namespace Props {

template <class T>
struct MemberOf;
template <class C, class M>
struct MemberOf<M C::*>
{
    using Class = C;
    using Type = M;
};
template <class C, class R>
struct MemberOf<R (C::*)() const>
{
    using Class = C;
    using Type = R;
};
template <class C, class R>
struct MemberOf<R (C::*)()>
{
    using Class = C;
    using Type = R;
};

template <auto Member>
PropertyInfo ordinalProperty(QLatin1StringView name, PropertyType type, const EnumTypeInfo *enumType)
{
    using C = typename MemberOf<decltype(Member)>::Class;
    using T = typename MemberOf<decltype(Member)>::Type;
    PropertyInfo p{name, type, enumType};
    p.ordinal = [](const TPersistent &o) -> qint64 { return static_cast<qint64>(static_cast<const C &>(o).*Member); };
    p.setOrdinal = [](TPersistent &o, qint64 v) { static_cast<C &>(o).*Member = static_cast<T>(v); };
    return p;
}

template <auto Member>
PropertyInfo integer(QLatin1StringView name)
{
    return ordinalProperty<Member>(name, PropertyType::Integer, nullptr);
}

template <auto Member>
PropertyInfo byte(QLatin1StringView name)
{
    return ordinalProperty<Member>(name, PropertyType::Byte, nullptr);
}

template <auto Member>
PropertyInfo boolean(QLatin1StringView name)
{
    return ordinalProperty<Member>(name, PropertyType::Boolean, &booleanTypeInfo());
}

template <auto Member>
PropertyInfo enumeration(QLatin1StringView name, const EnumTypeInfo &type)
{
    return ordinalProperty<Member>(name, PropertyType::Enumeration, &type);
}

template <auto Member>
PropertyInfo string(QLatin1StringView name)
{
    using C = typename MemberOf<decltype(Member)>::Class;
    PropertyInfo p{name, PropertyType::String};
    p.string = [](const TPersistent &o) { return static_cast<const C &>(o).*Member; };
    p.setString = [](TPersistent &o, const QString &v) { static_cast<C &>(o).*Member = v; };
    return p;
}

template <auto Getter>
PropertyInfo object(QLatin1StringView name)
{
    using C = typename MemberOf<decltype(Getter)>::Class;
    PropertyInfo p{name, PropertyType::Object};
    p.object = [](TPersistent &o) -> TPersistent & { return (static_cast<C &>(o).*Getter)(); };
    return p;
}

// An object held in a std::unique_ptr member (Slot) that Getter creates on first use.
template <auto Getter, auto Slot>
PropertyInfo lazyObject(QLatin1StringView name)
{
    using C = typename MemberOf<decltype(Slot)>::Class;
    using Object = typename MemberOf<decltype(Slot)>::Type::element_type;
    PropertyInfo p = object<Getter>(name);
    p.existingObject = [](const TPersistent &o) -> TPersistent * { return (static_cast<const C &>(o).*Slot).get(); };
    p.defaultObject = []() -> TPersistent & {
        static Object defaults;
        return defaults;
    };
    return p;
}

template <auto Getter>
PropertyInfo collection(QLatin1StringView name)
{
    using C = typename MemberOf<decltype(Getter)>::Class;
    PropertyInfo p{name, PropertyType::Collection};
    p.collection = [](TPersistent &o) -> TCollection & { return (static_cast<C &>(o).*Getter)(); };
    return p;
}

template <auto Member>
PropertyInfo stringList(QLatin1StringView name)
{
    using C = typename MemberOf<decltype(Member)>::Class;
    PropertyInfo p{name, PropertyType::StringList};
    p.stringList = [](TPersistent &o) -> QStringList & { return static_cast<C &>(o).*Member; };
    return p;
}

}
