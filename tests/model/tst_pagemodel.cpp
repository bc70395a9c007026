#include "testregistry.h"

#include "model/fontdescription.h"
#include "model/pagelette.h"

#include <QTest>

class TestPageModel : public QObject
{
    Q_OBJECT

private slots:
    void newPageEmptiesWhatWasThere()
    {
        TPagelette page;
        page.NewPage();
        page.InsertNewItem(4, btForms);
        page.WebForm().AddElement().Name = QStringLiteral("Field");
        page.Email = QStringLiteral("me@example.com");
        page.AlphaSort = true;
        page.NewPage();
        QCOMPARE(page.Page().Count(), 4);
        QCOMPARE(page.WebForm().Count(), 0);
        QVERIFY(page.Email.isEmpty());
        QVERIFY(!page.AlphaSort);
    }

    void insertNewItemDefaultsByKind_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("align");
        QTest::newRow("heading") << int(btHeading) << int(baCenter);
        QTest::newRow("image") << int(btImage) << int(baLeft);
        QTest::newRow("link") << int(btLink) << int(baLeft);
        QTest::newRow("paragraph") << int(btText) << int(baLeft);
        QTest::newRow("bullets") << int(btBullet) << int(baLeft);
        QTest::newRow("line") << int(btHR) << int(baLeft);
        QTest::newRow("forms") << int(btForms) << int(baLeft);
        QTest::newRow("page details") << int(btPageProperties) << int(baNone);
    }
    void insertNewItemDefaultsByKind()
    {
        QFETCH(int, kind);
        QFETCH(int, align);
        TPagelette page;
        TPageItem &item = page.InsertNewItem(0, TBlockType(kind));
        QCOMPARE(int(item.BlockType), kind);
        QCOMPARE(int(item.BlockAlign), align);
        QVERIFY(item.BlockOnNewLine);
        const QString expectedFont = kind == btHeading || kind == btText ? defaultFontDescription() : QString();
        QCOMPARE(item.HeadingBlock().Attributes, kind == btHeading ? expectedFont : QString());
        QCOMPARE(item.TextBlock().Attributes, kind == btText ? expectedFont : QString());
        QCOMPARE(item.HRBlock().Width, kind == btHR ? 100 : 0);
        QCOMPARE(item.HRBlock().Size, 0);
        QCOMPARE(item.BulletBlock().Style, lsDisc);
    }

    void insertShiftsTheLaterItems()
    {
        TPagelette page;
        page.NewPage();
        TPageItem *oldLink = &page.Page().Items(2);
        TPageItem *oldText = &page.Page().Items(3);
        TPageItem &inserted = page.Page().Insert(2);
        QCOMPARE(page.Page().Count(), 5);
        QCOMPARE(&page.Page().Items(2), &inserted);
        QCOMPARE(&page.Page().Items(3), oldLink);
        QCOMPARE(&page.Page().Items(4), oldText);
        QCOMPARE(inserted.BlockType, btPageProperties);
        QCOMPARE(inserted.BlockAlign, baNone);
        QVERIFY(!inserted.BlockOnNewLine);
        QCOMPARE(inserted.Index(), 2);
        QCOMPARE(oldText->Index(), 4);
        QCOMPARE(page.Page().Insert(5).Index(), 5);
    }

    void moveItemShiftsTheOthers_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<QString>("order");
        QTest::newRow("down") << 1 << 3 << "02314";
        QTest::newRow("up") << 4 << 1 << "04123";
        QTest::newRow("to the end") << 0 << 4 << "12340";
        QTest::newRow("same place") << 2 << 2 << "01234";
    }
    void moveItemShiftsTheOthers()
    {
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(QString, order);
        TPagelette page;
        for (int i = 0; i < 5; ++i)
            page.Page().Add().HeadingBlock().Heading = QString::number(i);
        page.Page().MoveItem(from, to);
        QString actual;
        for (int i = 0; i < 5; ++i)
            actual += page.Page().Items(i).HeadingBlock().Heading;
        QCOMPARE(actual, order);
    }

    void indexesOutsideTheCollectionRaiseTheListIndexError()
    {
        TPagelette page;
        page.NewPage();
        QVERIFY_THROWS_EXCEPTION(ListIndexError, page.Page().Items(4));
        QVERIFY_THROWS_EXCEPTION(ListIndexError, page.Page().Items(-1));
        QVERIFY_THROWS_EXCEPTION(ListIndexError, page.Page().MoveItem(0, 4));
        QVERIFY_THROWS_EXCEPTION(ListIndexError, page.Page().Insert(6));
        QVERIFY_THROWS_EXCEPTION(ListIndexError, page.InsertNewItem(-1, btHR));
        QVERIFY_THROWS_EXCEPTION(ListIndexError, page.WebForm().Items(0));
        QVERIFY_THROWS_EXCEPTION(ListIndexError, page.WebForm().DeleteElement(0));
        QCOMPARE(page.Page().Count(), 4);
    }

    void clearWithoutItemsKeepsThemButResetsTheForm()
    {
        TPagelette page;
        page.NewPage();
        page.InsertNewItem(4, btForms);
        page.WebForm().AddElement();
        page.WebForm().AddElement();
        page.AlphaSort = page.BlankFields = page.Border = page.BrowserUsed = true;
        page.EmailAddress = page.EmailSubject = page.EnvReport = page.FormFooter = page.HostName = true;
        page.Color = page.FormTitle = page.Email = page.Redirect = page.Subject = QStringLiteral("x");

        page.Clear(false);
        QCOMPARE(page.Page().Count(), 5);
        QCOMPARE(page.formsItemIndex(), 4);
        QCOMPARE(page.WebForm().Count(), 0);
        QVERIFY(!page.AlphaSort && !page.BlankFields && !page.Border && !page.BrowserUsed);
        QVERIFY(!page.EmailAddress && !page.EmailSubject && !page.EnvReport && !page.FormFooter && !page.HostName);
        QVERIFY(page.Color.isEmpty() && page.FormTitle.isEmpty() && page.Email.isEmpty());
        QVERIFY(page.Redirect.isEmpty() && page.Subject.isEmpty());

        page.Clear(true);
        QCOMPARE(page.Page().Count(), 0);
        QCOMPARE(page.formsItemIndex(), -1);
    }

    void formElements()
    {
        TWebForm form;
        TFormElement &first = form.AddElement();
        QCOMPARE(first.FieldKind, fkText);
        QVERIFY(first.Name.isEmpty() && first.Strings.isEmpty() && first.Text.isEmpty() && first.Value.isEmpty());
        form.AddElement().Name = QStringLiteral("b");
        form.AddElement().Name = QStringLiteral("c");
        first.Name = QStringLiteral("a");
        form.MoveElement(0, 2);
        QCOMPARE(form.Items(0).Name + form.Items(1).Name + form.Items(2).Name, QStringLiteral("bca"));
        form.DeleteElement(1);
        QCOMPARE(form.Count(), 2);
        QCOMPARE(form.Items(1).Name, QStringLiteral("a"));
    }

    void stringsAreLookedUpByNameWithoutCase()
    {
        TFormElement field;
        field.Strings = {QStringLiteral("Cols=40"), QStringLiteral("ROWS=7"), QStringLiteral("Rows=9"), QStringLiteral("odd line")};
        QCOMPARE(field.StringsValue(u"cols"), QStringLiteral("40"));
        QCOMPARE(field.StringsValue(u"Rows"), QStringLiteral("7"));
        QCOMPARE(field.StringsValue(u"Size"), QString());
        QCOMPARE(field.StringsValue(u"odd line"), QString());
    }

    // Field bank, field editor and page HTML all read option lines through FieldOption.
    void optionLines_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<bool>("marked");
        QTest::addColumn<bool>("read");
        QTest::addColumn<QStringList>("parts"); // value, text, mark
        QTest::addColumn<bool>("selected");
        QTest::newRow("marked") << "v|Shown|Yes" << true << true << QStringList{"v", "Shown", "Yes"} << true;
        QTest::newRow("any case") << "v|t|yEs" << true << true << QStringList{"v", "t", "yEs"} << true;
        QTest::newRow("not ascii") << QStringLiteral("v|t|ye\u017F") << true << true
                                   << QStringList{"v", "t", QStringLiteral("ye\u017F")} << false;
        QTest::newRow("bar in mark") << "v|t|No|x" << true << true << QStringList{"v", "t", "No|x"} << false;
        QTest::newRow("one bar") << "v|Yes" << true << true << QStringList{"v", "", "Yes"} << true;
        QTest::newRow("no bar") << "lonely" << true << false << QStringList() << false;
        QTest::newRow("drop-down") << "v|Shown|x" << false << true << QStringList{"v", "Shown|x", ""} << false;
        QTest::newRow("drop-down without bar") << "Shown" << false << true << QStringList{"", "Shown", ""} << false;
    }

    void optionLines()
    {
        QFETCH(QString, line);
        QFETCH(bool, marked);
        QFETCH(bool, read);
        QFETCH(QStringList, parts);
        QFETCH(bool, selected);
        const std::optional<FieldOption> option = FieldOption::parse(line, marked);
        QCOMPARE(option.has_value(), read);
        if (!option)
            return;
        QCOMPARE((QStringList{option->value, option->text, option->mark}), parts);
        QCOMPARE(option->selected(), selected);
        if (line.count(u'|') == (marked ? 2 : 1))
            QCOMPARE(option->line(marked), line);
    }
};

VENDRIX_TEST(TestPageModel)
#include "tst_pagemodel.moc"
