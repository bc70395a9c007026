#include "listtexts.h"
#include "mainwindowtest.h"
#include "testregistry.h"
#include "uifakes.h"

#include "editor/bulletpanel.h"
#include "editor/fontconvert.h"
#include "editor/frmmisc.h"
#include "editor/imagepanel.h"
#include "editor/linkpanel.h"
#include "editor/pagepropertiespanel.h"
#include "editor/panelcommands.h"
#include "editor/textblockpanel.h"
#include "mainwindow/frmmain.h"
#include "model/bookmarks.h"
#include "widgets/frmcolor.h"
#include "widgets/listboxhrz.h"
#include "widgets/memobox.h"
#include "widgets/whatsthis.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QToolButton>

namespace {

void select(QListWidget &list, int row)
{
    list.setCurrentRow(row);
    list.item(row)->setSelected(true);
}

// A click on a line, as the user selects it.
void clickLine(QListWidget &list, int row)
{
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, list.visualItemRect(list.item(row)).center());
}

// Drives the small dialog's meta tag task: checks what it opened with, then picks a
// name (-1 for none) and content and presses OK or Cancel.
ScriptedModalRunner::Handler metaHandler(int expectName, const QString &expectContent, int name,
                                         const QString &content, bool ok)
{
    return [=](QDialog &shown) {
        auto &misc = static_cast<TfrmMisc &>(shown);
        [&] {
            QCOMPARE(misc.Mode(), TfrmMisc::mmMetaTag);
            QCOMPARE(misc.cbMetaName->currentIndex(), expectName);
            QCOMPARE(misc.txtMetaContent->text(), expectContent);
        }();
        misc.cbMetaName->setCurrentIndex(name);
        misc.txtMetaContent->setText(content);
        (ok ? misc.btnOK : misc.btnCancel)->click();
        return misc.result();
    };
}

}

class TestPanelCommands : public QObject
{
    Q_OBJECT

private slots:
    void metaTagAddAndRemove();
    void metaTagEdit_data();
    void metaTagEdit();
    void fontCommand();
    void dropBoxAddRemove();
    void dropBoxEdit();
    void dropBoxReorder();
    void dropBoxLineAtScrollBarEdge();
    void addressBrowseAndFavorites();
    void addressBookmarks_data();
    void addressBookmarks();
    void textImportAtCaret_data();
    void textImportAtCaret();
    void pictureCommand_data();
    void pictureCommand();
    void mainWindowButtons();

private:
    struct Panels
    {
        explicit Panels(TestServices &fakes)
            : menu(fakes.help, &host),
              pageProperties(menu, &host),
              heading(menu, &host),
              text(menu, &host),
              bullets(menu, &host),
              links(menu, &host),
              images(fakes.data.folder(), menu, &host),
              commands(fakes.services, {pageProperties, heading, text, bullets, links, images})
        {
        }
        QWidget host;
        WhatsThisMenu menu;
        PagePropertiesPanel pageProperties;
        HeadingPanel heading;
        TextPanel text;
        BulletPanel bullets;
        LinkPanel links;
        ImagePanel images;
        PanelCommands commands;
    };
};

void TestPanelCommands::metaTagAddAndRemove()
{
    TestServices fakes;
    Panels panels(fakes);
    PagePropertiesPanel &panel = panels.pageProperties;
    QVERIFY(panel.btnMetaAdd->isEnabled());
    QVERIFY(!panel.btnMetaRemove->isEnabled());

    fakes.modal.expect(metaHandler(0, QString(), 1, QStringLiteral("cats, dogs"), true));
    fakes.modal.expect(metaHandler(0, QString(), 0, QStringLiteral("A page"), true));
    fakes.modal.expect(metaHandler(0, QString(), 3, QStringLiteral("never"), false));
    panel.btnMetaAdd->click();
    panel.btnMetaAdd->click();
    panel.btnMetaAdd->click();
    QCOMPARE(listTexts(*panel.lstMeta), (QStringList{"Keywords\tcats, dogs", "Description\tA page"}));
    QCOMPARE(panel.lstMeta->currentRow(), 1);
    QVERIFY(panel.btnMetaRemove->isEnabled());
    QVERIFY(panel.btnMetaEdit->isEnabled());

    // Remove takes the selected line; with none selected it does nothing.
    select(*panel.lstMeta, 0);
    panel.btnMetaRemove->click();
    QCOMPARE(listTexts(*panel.lstMeta), QStringList{"Description\tA page"});
    QVERIFY(!panel.btnMetaRemove->isEnabled());
    QVERIFY(!panel.btnMetaEdit->isEnabled());
    panel.lstMeta->clearSelection();
    panel.btnMetaRemove->click();
    QCOMPARE(panel.lstMeta->count(), 1);

    // A click on a line enables Remove and Edit.
    clickLine(*panel.lstMeta, 0);
    QVERIFY(panel.btnMetaRemove->isEnabled());
    QVERIFY(panel.btnMetaEdit->isEnabled());

    TPageItem item;
    panel.store(item);
    QCOMPARE(item.PagePropertiesBlock().MetaText, QStringLiteral("Description\tA page\r\n"));
    QCOMPARE(fakes.modal.shownClasses.size(), 3);
}

void TestPanelCommands::metaTagEdit_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("openedName");
    QTest::addColumn<QString>("openedContent");
    QTest::addColumn<int>("pickedName");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("result");

    QTest::newRow("known name") << "Keywords\tcats" << 1 << "cats" << 4 << true << "Reply-to\tnew";
    QTest::newRow("name in other case") << "expires\t0" << 3 << "0" << 3 << true << "Expires\tnew";
    QTest::newRow("unknown name, OK without a name") << "Author\tJoe" << -1 << "Joe" << -1 << true << "Author\tJoe";
    QTest::newRow("unknown name, a name picked") << "Author\tJoe" << -1 << "Joe" << 0 << true << "Description\tnew";
    QTest::newRow("cancel") << "Keywords\tcats" << 1 << "cats" << 0 << false << "Keywords\tcats";
    QTest::newRow("tab in the content") << "Keywords\ta\tb" << 1 << "a\tb" << 1 << true << "Keywords\tnew";
}

void TestPanelCommands::metaTagEdit()
{
    QFETCH(QString, line);
    QFETCH(int, openedName);
    QFETCH(QString, openedContent);
    QFETCH(int, pickedName);
    QFETCH(bool, ok);
    QFETCH(QString, result);

    TestServices fakes;
    Panels panels(fakes);
    TListBoxHrz &list = *panels.pageProperties.lstMeta;
    list.addItems({QStringLiteral("Description\tfirst"), line, QStringLiteral("Expires\tlast")});
    clickLine(list, 1);
    fakes.modal.expect(metaHandler(openedName, openedContent, pickedName, QStringLiteral("new"), ok));
    panels.pageProperties.btnMetaEdit->click();
    QCOMPARE(listTexts(list), (QStringList{"Description\tfirst", result, "Expires\tlast"}));
    QCOMPARE(list.currentRow(), 1);

    // A double click edits too.
    fakes.modal.expect(metaHandler(0, QStringLiteral("first"), 1, QStringLiteral("k"), true));
    select(list, 0);
    list.itemDoubleClicked(list.item(0));
    QCOMPARE(list.item(0)->text(), QStringLiteral("Keywords\tk"));
}

void TestPanelCommands::fontCommand()
{
    TestServices fakes;
    Panels panels(fakes);
    HeadingPanel &panel = panels.heading;
    TPageItem item;
    item.HeadingBlock().Attributes = QStringLiteral("\"Times New Roman\", 12, [Italic], [$00050000]");
    panel.fill(item);
    QVERIFY(!panel.fontChosen());

    fakes.modal.expect([](QDialog &shown) {
        auto &misc = static_cast<TfrmMisc &>(shown);
        [&] {
            QCOMPARE(misc.Mode(), TfrmMisc::mmFont);
            QCOMPARE(misc.sampleFont().pointSize(), 12);
            QVERIFY(misc.btnItalic->isChecked());
            QCOMPARE(misc.sampleColor(), QColor(0, 0, 5));
        }();
        misc.btnBold->click();
        misc.cbSize->activated(0);
        return int(QDialog::Rejected);
    });
    panel.btnHeadingFont->click();
    QVERIFY(!panel.fontChosen());
    QCOMPARE(panel.txtHeading->font().pointSize(), 12);

    fakes.modal.expect([](QDialog &shown) {
        auto &misc = static_cast<TfrmMisc &>(shown);
        misc.btnBold->click();
        misc.cbSize->activated(0);
        return int(QDialog::Accepted);
    });
    panel.btnHeadingFont->click();
    QVERIFY(panel.fontChosen());
    panel.store(item);
    QCOMPARE(item.HeadingBlock().ApplyFont, quint8(1));
    QCOMPARE(item.HeadingBlock().Attributes, QStringLiteral("\"Times New Roman\", 20, [Bold|Italic], [$00050000]"));

    QCOMPARE(fakes.modal.shownClasses, (QStringList{"TfrmMisc", "TfrmMisc"}));
}

void TestPanelCommands::dropBoxAddRemove()
{
    TestServices fakes;
    Panels panels(fakes);
    LinkPanel &panel = panels.links;
    TListBoxHrz &list = *panel.lstLinks;
    auto type = [&](const QString &address, const QString &text, bool email) {
        panel.txtLinkAddress->setText(address);
        panel.txtLinkText->setText(text);
        panel.chkEmail->setChecked(email);
    };
    QVERIFY(!panel.btnLinkAdd->isEnabled());
    panel.chkLink->setChecked(true);
    QVERIFY(panel.btnLinkAdd->isEnabled());
    QVERIFY(!panel.btnLinkRemove->isEnabled());

    type(QStringLiteral("http://a/"), QStringLiteral("A"), false);
    panel.btnLinkAdd->click();
    QCOMPARE(listTexts(list), QStringList{"http://a/\tA"});
    QCOMPARE(panel.txtLinkAddress->text(), QString());
    QCOMPARE(panel.txtLinkText->text(), QString());
    QVERIFY(panel.btnLinkRemove->isEnabled());

    type(QStringLiteral("me@b"), QStringLiteral("B"), true);
    panel.btnLinkAdd->click();
    QVERIFY(!panel.chkEmail->isChecked());
    select(list, 0);
    type(QStringLiteral("http://c/"), QStringLiteral("C"), false);
    panel.btnLinkAdd->click();
    QCOMPARE(listTexts(list), (QStringList{"http://a/\tA", "http://c/\tC", "mailto:me@b\tB"}));
    QCOMPARE(list.currentRow(), 1);

    // Without a selection the entry goes to the top; without both texts nothing happens.
    list.clearSelection();
    type(QStringLiteral("http://d/"), QStringLiteral("D"), false);
    panel.btnLinkAdd->click();
    type(QStringLiteral("http://e/"), QString(), false);
    panel.btnLinkAdd->click();
    type(QString(), QStringLiteral("E"), false);
    panel.btnLinkAdd->click();
    QCOMPARE(listTexts(list), (QStringList{"http://d/\tD", "http://a/\tA", "http://c/\tC", "mailto:me@b\tB"}));
    QCOMPARE(panel.txtLinkText->text(), QStringLiteral("E"));

    // Remove takes the selected entry; with none selected, the last one.
    select(list, 1);
    panel.btnLinkRemove->click();
    QCOMPARE(listTexts(list), (QStringList{"http://d/\tD", "http://c/\tC", "mailto:me@b\tB"}));
    list.clearSelection();
    panel.btnLinkRemove->click();
    QCOMPARE(listTexts(list), (QStringList{"http://d/\tD", "http://c/\tC"}));
    panel.btnLinkRemove->click();
    QVERIFY(panel.chkLink->isChecked());
    QVERIFY(panel.btnLinkRemove->isEnabled());
    panel.btnLinkRemove->click();
    QCOMPARE(list.count(), 0);
    QVERIFY(!panel.chkLink->isChecked());
    QVERIFY(!list.isEnabled());
    QVERIFY(!panel.btnLinkAdd->isEnabled());
    QVERIFY(!panel.btnLinkRemove->isEnabled());
    QVERIFY(!panel.btnLinkEdit->isEnabled());

    // Adding turns the drop box on again.
    panel.chkLink->setChecked(true);
    type(QStringLiteral("http://f/"), QStringLiteral("F"), false);
    panel.chkLink->setChecked(false);
    panels.commands.findChild<LinkDropBox *>()->add();
    QVERIFY(panel.chkLink->isChecked());
    QVERIFY(list.isEnabled());
    TPageItem item;
    panel.store(item);
    QCOMPARE(item.LinkBlock().DropBoxText, QStringLiteral("http://f/\tF\r\n"));
    QVERIFY(item.LinkBlock().UseDropBox);
}

void TestPanelCommands::dropBoxEdit()
{
    TestServices fakes;
    Panels panels(fakes);
    LinkPanel &panel = panels.links;
    TListBoxHrz &list = *panel.lstLinks;
    TPageItem item;
    item.LinkBlock().UseDropBox = true;
    item.LinkBlock().DropBoxText = QStringLiteral("http://a/\tA\r\nmailto:me@b\tB and C\r\nno-tab\r\n");
    panel.fill(item);

    list.itemDoubleClicked(list.item(1));
    QCOMPARE(panel.txtLinkAddress->text(), QStringLiteral("me@b"));
    QCOMPARE(panel.txtLinkText->text(), QStringLiteral("B and C"));
    QVERIFY(panel.chkEmail->isChecked());

    // Apply Edit needs a selected entry.
    panel.btnLinkEdit->setEnabled(true);
    list.clearSelection();
    panel.btnLinkEdit->click();
    QCOMPARE(list.item(1)->text(), QStringLiteral("mailto:me@b\tB and C"));
    QCOMPARE(panel.txtLinkText->text(), QStringLiteral("B and C"));

    // A click on an entry enables Remove and Apply Edit.
    panel.btnLinkRemove->setEnabled(false);
    panel.btnLinkEdit->setEnabled(false);
    clickLine(list, 1);
    QCOMPARE(list.currentRow(), 1);
    QVERIFY(panel.btnLinkRemove->isEnabled());
    QVERIFY(panel.btnLinkEdit->isEnabled());
    panel.txtLinkText->setText(QStringLiteral("Write to me"));
    panel.btnLinkEdit->click();
    QCOMPARE(listTexts(list), (QStringList{"http://a/\tA", "mailto:me@b\tWrite to me", "no-tab"}));
    QCOMPARE(list.currentRow(), 1);
    QCOMPARE(panel.txtLinkAddress->text(), QString());
    QVERIFY(!panel.chkEmail->isChecked());

    // Loading a plain entry clears the e-mail mark; an entry without a tab is all address.
    panel.chkEmail->setChecked(true);
    list.itemDoubleClicked(list.item(2));
    QCOMPARE(panel.txtLinkAddress->text(), QStringLiteral("no-tab"));
    QCOMPARE(panel.txtLinkText->text(), QString());
    QVERIFY(!panel.chkEmail->isChecked());

    // With the drop box off, Apply Edit does nothing.
    list.itemDoubleClicked(list.item(0));
    panel.txtLinkText->setText(QStringLiteral("changed"));
    select(list, 0);
    panel.chkLink->setChecked(false);
    panels.commands.findChild<LinkDropBox *>()->applyEdit();
    QCOMPARE(list.item(0)->text(), QStringLiteral("http://a/\tA"));
}

void TestPanelCommands::dropBoxReorder()
{
    TestServices fakes;
    Panels panels(fakes);
    LinkPanel &panel = panels.links;
    TListBoxHrz &list = *panel.lstLinks;
    list.addItems({QStringLiteral("a\tA"), QStringLiteral("b\tB"), QStringLiteral("c\tC"), QStringLiteral("d\tD")});
    LinkDropBox &dropBox = *panels.commands.findChild<LinkDropBox *>();

    select(list, 0);
    dropBox.dropOn(2);
    QCOMPARE(listTexts(list), (QStringList{"c\tC", "b\tB", "a\tA", "d\tD"}));
    QCOMPARE(list.currentRow(), 2);
    dropBox.dropOn(-1);
    dropBox.dropOn(4);
    QCOMPARE(listTexts(list), (QStringList{"c\tC", "b\tB", "a\tA", "d\tD"}));
}

void TestPanelCommands::dropBoxLineAtScrollBarEdge()
{
    // A line that fits the box but not with the tab width added: the list's own
    // sizing hides the scroll bar, the extent shows it again.
    TestServices fakes;
    Panels panels(fakes);
    TListBoxHrz &list = *panels.links.lstLinks;
    QVERIFY(list.tabWidth() > 0);
    panels.host.show();
    const QString entry = LinkDropBox::makeEntry(QStringLiteral("http://three.example/"), QStringLiteral("Site three"), false);
    const int frame = list.width() - list.viewport()->width();
    list.setFixedWidth(list.lineWidth(entry) + list.tabWidth() / 2 + frame);
    panels.links.chkLink->setChecked(true);
    panels.links.txtLinkAddress->setText(QStringLiteral("http://three.example/"));
    panels.links.txtLinkText->setText(QStringLiteral("Site three"));
    panels.links.btnLinkAdd->click();
    QCoreApplication::processEvents();
    QCOMPARE(listTexts(list), QStringList{entry});
    QCOMPARE(list.CurrentWidth(), list.lineWidth(entry) + list.tabWidth());
    QVERIFY(list.horizontalScrollBar()->maximum() > 0);
    QVERIFY(list.horizontalScrollBar()->isVisible());
}

void TestPanelCommands::addressBrowseAndFavorites()
{
    TestServices fakes;
    Panels panels(fakes);
    QLineEdit &address = *panels.links.txtLinkAddress;
    QLineEdit &imageLink = *panels.images.txtImageLink;
    address.setText(QStringLiteral("old"));

    fakes.openDialog.setFilter(QStringLiteral("Text Files|*.txt"));
    fakes.openDialog.cancel();
    fakes.openDialog.choose(QStringLiteral("/srv/pages/index.html"));
    panels.links.btnLinkBrowse->click();
    QCOMPARE(address.text(), QStringLiteral("old"));
    panels.images.btnImageLink->click();
    QCOMPARE(imageLink.text(), QStringLiteral("/srv/pages/index.html"));
    QCOMPARE(fakes.openDialog.runs.at(1).filter, QStringLiteral("Text Files|*.txt"));

    fakes.shell.favorites = fakes.data.path() + QStringLiteral("Favorites");
    const QString shortcut = fakes.data.writeFile(QStringLiteral("Favorites/Site.url"),
                                                  "[InternetShortcut]\r\nURL=http://site.example/\r\n");
    const QString empty = fakes.data.writeFile(QStringLiteral("Favorites/Empty.url"), "[InternetShortcut]\r\n");
    fakes.openDialog.choose(shortcut);
    fakes.openDialog.choose(empty);
    panels.links.btnLinkIE->click();
    QCOMPARE(address.text(), QStringLiteral("http://site.example/"));
    panels.images.btnImageIE->click();
    QCOMPARE(imageLink.text(), QStringLiteral("/srv/pages/index.html"));
    const FakeFileDialog::Run run = fakes.openDialog.runs.at(2);
    QCOMPARE(run.filter, QStringLiteral("Internet Shortcuts|*.url"));
    QCOMPARE(run.initialDir, fakes.shell.favorites);
    QCOMPARE(run.fileName, QString());
}

void TestPanelCommands::addressBookmarks_data()
{
    QTest::addColumn<bool>("found");
    QTest::addColumn<int>("row");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("address");

    QTest::newRow("picked") << true << 3 << true << "http://cooking.example.net/soup/";
    QTest::newRow("cancelled") << true << 3 << false << "before";
    QTest::newRow("no selection") << true << -1 << true << "before";
    QTest::newRow("file without addresses") << false << 0 << true << "No Bookmarks found.";
}

void TestPanelCommands::addressBookmarks()
{
    QFETCH(bool, found);
    QFETCH(int, row);
    QFETCH(bool, ok);
    QFETCH(QString, address);

    TestServices fakes;
    Panels panels(fakes);
    const QString file = found ? QStringLiteral(VENDRIX_TEST_DATA "/bookmarks/export.html")
                               : fakes.data.writeFile(QStringLiteral("bookmark.htm"), "<DL></DL>\n");
    fakes.settings.writeString(Bookmarks::Location::fileLocationKey(), file);
    QLineEdit &target = *panels.images.txtImageLink;
    target.setText(QStringLiteral("before"));
    fakes.modal.expect([=](QDialog &shown) {
        auto &misc = static_cast<TfrmMisc &>(shown);
        if (row < 0)
            misc.lstBookmarks->clearSelection();
        else
            select(*misc.lstBookmarks, row);
        (ok ? misc.btnOK : misc.btnCancel)->click();
        return misc.result();
    });
    panels.images.btnImageNetscape->click();
    QCOMPARE(target.text(), address);
    QCOMPARE(panels.links.txtLinkAddress->text(), QString());
}

void TestPanelCommands::textImportAtCaret_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("caret");
    QTest::addColumn<int>("selected");
    QTest::addColumn<QString>("result");

    QTest::newRow("middle") << QByteArray("one\ntwo") << 6 << 0 << "Hello one\r\ntwo\r\nworld";
    QTest::newRow("start") << QByteArray("one\r\n") << 0 << 0 << "one\r\nHello world";
    QTest::newRow("end") << QByteArray("one") << 11 << 0 << "Hello worldone\r\n";
    QTest::newRow("selection replaced") << QByteArray("big\r\n") << 0 << 5 << "big\r\n world";
    QTest::newRow("empty file") << QByteArray() << 6 << 0 << "Hello world";
}

void TestPanelCommands::textImportAtCaret()
{
    QFETCH(QByteArray, file);
    QFETCH(int, caret);
    QFETCH(int, selected);
    QFETCH(QString, result);

    TestServices fakes;
    Panels panels(fakes);
    MemoBox &box = *panels.text.txtText;
    box.setText(QStringLiteral("Hello world"));
    QTextCursor cursor = box.textCursor();
    cursor.setPosition(caret);
    cursor.setPosition(caret + selected, QTextCursor::KeepAnchor);
    box.setTextCursor(cursor);

    fakes.openDialog.setInitialDir(QStringLiteral("/last/used"));
    fakes.openDialog.setFileName(QStringLiteral("old.txt"));
    fakes.openDialog.choose(fakes.data.writeFile(QStringLiteral("import.txt"), file));
    panels.text.btnTextImport->click();
    QCOMPARE(box.text(), result);
    QCOMPARE(fakes.openDialog.runs.at(0).filter, QStringLiteral("Text Files|*.txt"));
    QCOMPARE(fakes.openDialog.runs.at(0).fileName, QString());
    QCOMPARE(fakes.openDialog.runs.at(0).initialDir, QStringLiteral("/last/used"));

    // An unreadable file leaves the bullet box as it was.
    panels.bullets.txtBullets->setText(QStringLiteral("keep"));
    fakes.openDialog.choose(fakes.data.path() + QStringLiteral("missing.txt"));
    panels.bullets.btnBulletImport->click();
    QCOMPARE(panels.bullets.txtBullets->text(), QStringLiteral("keep"));
}

void TestPanelCommands::pictureCommand_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("alreadyThere"); // "same", "other" or empty
    QTest::addColumn<QString>("storedName");
    QTest::addColumn<int>("imagesAfter");

    QTest::newRow("new picture") << "cat.bmp" << "" << "cat.bmp" << 1;
    QTest::newRow("same picture there") << "cat.bmp" << "same" << "cat.bmp" << 1;
    QTest::newRow("other picture there") << "cat.bmp" << "other" << "cat-2.bmp" << 2;
    QTest::newRow("comma in the path") << "cat, black.bmp" << "" << "cat, black.bmp" << 1;
}

void TestPanelCommands::pictureCommand()
{
    QFETCH(QString, name);
    QFETCH(QString, alreadyThere);
    QFETCH(QString, storedName);
    QFETCH(int, imagesAfter);

    TestServices fakes;
    Panels panels(fakes);
    ImagePanel &panel = panels.images;
    const QString images = fakes.data.folder().imagesFolder();
    const qsizetype shipped = QDir(images).entryList(QDir::Files).size(); // the shipped templates' pictures
    const QString chosen = fakes.data.path() + QStringLiteral("My, Pictures/") + name;
    MainWindowTest::savePicture(chosen, QSize(30, 20), Qt::red, "BMP");
    if (alreadyThere == QStringLiteral("same"))
        QVERIFY(QFile::copy(chosen, images + name));
    if (alreadyThere == QStringLiteral("other"))
        MainWindowTest::savePicture(images + name, QSize(30, 20), Qt::blue, "BMP");

    fakes.pictureDialog.setFileName(QStringLiteral("previous.gif"));
    fakes.pictureDialog.choose(chosen);
    panel.btnImagePic->click();
    const FakeFileDialog::Run run = fakes.pictureDialog.runs.at(0);
    QCOMPARE(run.fileName, QString());
    QCOMPARE(run.initialDir, images);
    // PNG is today's usual picture; any file can still be chosen.
    QVERIFY2(run.filter.startsWith(QStringLiteral("Image Files|*.png;*.jpg;*.jpeg;*.gif;*.bmp")), qPrintable(run.filter));
    QVERIFY2(run.filter.endsWith(QStringLiteral("|All Files|*")), qPrintable(run.filter));

    QCOMPARE(panel.txtImageH->text(), QStringLiteral("20"));
    QCOMPARE(panel.txtImageW->text(), QStringLiteral("30"));
    QVERIFY(!panel.lblNoImage->isVisibleTo(&panel));
    QCOMPARE(panel.txtImageFile->text(), storedName);
    QCOMPARE(panel.picturePath(), images + storedName);
    QCOMPARE(QDir(images).entryList(QDir::Files).size(), shipped + imagesAfter);
    QVERIFY(QFileInfo::exists(chosen));
    QImage placed(images + storedName);
    QCOMPARE(placed.pixelColor(0, 0), QColor(Qt::red));

    TPageItem item;
    panel.store(item);
    QCOMPARE(item.ImageBlock().FileName, storedName);

    // A file that is no picture keeps the sizes but is still taken; cancelling changes nothing.
    const QString broken = fakes.data.writeFile(QStringLiteral("broken.jpg"), "not a picture");
    fakes.pictureDialog.choose(broken);
    fakes.pictureDialog.cancel();
    panel.btnImagePic->click();
    panel.btnImagePic->click();
    QCOMPARE(panel.txtImageH->text(), QStringLiteral("20"));
    QCOMPARE(panel.txtImageFile->text(), QStringLiteral("broken.jpg"));
    QCOMPARE(panel.picturePath(), images + QStringLiteral("broken.jpg"));
    QVERIFY(fakes.prompter.boxes.isEmpty());
}

void TestPanelCommands::mainWindowButtons()
{
    TestServices fakes;
    TfrmMain window(fakes.services);
    fakes.modal.expect(metaHandler(0, QString(), 2, QStringLiteral("rating"), true));
    fakes.modal.expect([](QDialog &shown) {
        auto &misc = static_cast<TfrmMisc &>(shown);
        misc.btnItalic->click();
        return int(QDialog::Accepted);
    });
    window.pnlPageProp->btnMetaAdd->click();
    window.pnlText->btnTextFont->click();
    QCOMPARE(listTexts(*window.pnlPageProp->lstMeta), QStringList{"Pics-Label\trating"});
    QVERIFY(window.pnlText->fontChosen());
    QVERIFY(window.pnlText->txtText->font().italic() != window.pnlHeading->txtHeading->font().italic());

    fakes.pictureDialog.cancel();
    fakes.openDialog.cancel();
    fakes.openDialog.cancel();
    window.pnlImages->btnImagePic->click();
    window.pnlLinks->btnLinkIE->click();
    window.pnlBullets->btnBulletImport->click();
    QCOMPARE(fakes.pictureDialog.runs.size(), 1);
    QCOMPARE(fakes.openDialog.runs.size(), 2);
    QCOMPARE(fakes.openDialog.runs.at(1).filter, QStringLiteral("Text Files|*.txt"));

    // The colour pickers share the window's palette table.
    TfrmColor picker(fakes.services, window.palette());
    QVERIFY(window.palette().isLoaded());
}

VENDRIX_TEST(TestPanelCommands)
#include "tst_panelcommands.moc"
