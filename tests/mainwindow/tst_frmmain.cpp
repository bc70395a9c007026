#include "accessibility.h"
#include "filesizelimit.h"
#include "listtexts.h"
#include "mainwindowtest.h"
#include "testfiles.h"
#include "testregistry.h"
#include "uifakes.h"

#include "editor/alignstrip.h"
#include "editor/bulletpanel.h"
#include "editor/hrpanel.h"
#include "editor/imagepanel.h"
#include "editor/linkpanel.h"
#include "editor/pagepropertiespanel.h"
#include "editor/textblockpanel.h"
#include "forms/formspanel.h"
#include "mainwindow/blockdrag.h"
#include "mainwindow/blocklists.h"
#include "mainwindow/buttonbar.h"
#include "mainwindow/frmmain.h"
#include "model/documents.h"
#include "platform/appinfo.h"
#include "widgets/listboxhrz.h"
#include "widgets/memobox.h"
#include "widgets/updown.h"
#include "widgets/whatsthis.h"

#include <QAction>
#include <QCheckBox>
#include <QDialog>
#include <QDir>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QStackedWidget>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>

#include <sys/stat.h>

using namespace MainWindowTest;

namespace {

QString title(const QString &name)
{
    return name + QStringLiteral(" - ") + AppInfo::applicationTitle();
}

QStringList itemCaptions(const TPagelette &page)
{
    QStringList captions;
    for (int i = 0; i < page.Page().Count(); ++i)
        captions.append(BlockTypeCaption(page.Page().Items(i).BlockType));
    return captions;
}

using Edit = std::function<void(TfrmMain &, TestServices &)>;

// A drag entering the target at the point, then its drop when asked: whether the target took the drag.
bool dragOnto(QWidget *target, QPoint at, const QMimeData *data, bool drop = true, Qt::DropAction action = Qt::MoveAction)
{
    QDragEnterEvent enter(at, action, data, Qt::LeftButton, {});
    QCoreApplication::sendEvent(target, &enter);
    if (drop) {
        QDropEvent dropped(at, action, data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(target, &dropped);
    }
    return enter.isAccepted();
}

}

Q_DECLARE_METATYPE(Edit)

// The main window driven through its controls, with every seam faked.
class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void startsUntitledWithDefaultPage();
    void controlsByName_data();
    void controlsByName();
    void startUpTipOfTheDay_data();
    void startUpTipOfTheDay();
    void commandLineDocument_data();
    void commandLineDocument();
    void themesFileIsAPipe();

    void paletteDrops_data();
    void paletteDrops();
    void secondFormRefused();
    void rowMoves_data();
    void rowMoves();
    void dropThroughDropEvent();
    void markerFollowsDrag();

    void deleteRules();
    void deletingFormsResetsTheForm();
    void trashPictures();
    void blocksMenuOffersDeleteOnlyOnTheList();
    void rightClickSelectsTheRowFirst();
    void keyboardMovesBlocks_data();
    void keyboardMovesBlocks();
    void keyboardOpensMenusAtTheRow();
    void helpKeyOpensTheFocusedControlsTopic_data();
    void helpKeyOpensTheFocusedControlsTopic();

    void valuesSurviveSwitchingRows();
    void editsCountAtOnce_data();
    void editsCountAtOnce();
    void typedTextIsNeverDropped_data();
    void typedTextIsNeverDropped();

    void saveWritesDocumentAndCopies();
    void saveUnableToCreateKeepsPageUnsaved();
    void saveOffersTheDocumentsNameNotTheTemplates();
    void saveOnAFullDisk_data();
    void saveOnAFullDisk();

    void unsavedChangesQuestion_data();
    void unsavedChangesQuestion();
    void sendToWebSavesFirst_data();
    void sendToWebSavesFirst();
    void settingsWrittenOnClose_data();
    void settingsWrittenOnClose();
    void settingsReadAtStartUp();

    void webCommands();

private:
    DataHomeSandbox mSandbox;
};

void TestMainWindow::startsUntitledWithDefaultPage()
{
    TestServices fakes;
    auto window = startWindow(fakes);
    QCOMPARE(shownTitle(*window), title("Untitled"));
    QCOMPARE(listTexts(*window->lstBlocks), (QStringList{"Page Details", "Image", "Link", "Paragraph"}));
    QCOMPARE(itemCaptions(window->page()), listTexts(*window->lstBlocks));
    QCOMPARE(listTexts(*window->lstPalette),
             (QStringList{"Heading", "Image", "Link", "Paragraph", "Bullet List", "Line", "Forms"}));
    QCOMPARE(window->lstBlocks->currentRow(), 0);
    QCOMPARE(window->currentItemIndex(), 0);
    QVERIFY(!window->changed());
    QVERIFY(window->findChild<QToolButton *>("btnCreate")->isChecked());
    QCOMPARE(window->pnlWork->currentWidget(), window->pnlCreate);
    QVERIFY(window->lstThemes->count() > 0);
    QVERIFY(window->lstThemes->currentItem());
    QCOMPARE(window->lstThemes->currentItem()->text(), QStringLiteral("Default"));
    QVERIFY(!window->pnlPageProp->chkZandorellLogo->isChecked());
    // Each panel in front in turn: the window's Alt keys are those of the one shown.
    for (int kind = btPageProperties; kind <= btForms; ++kind) {
        window->pnlPanels->setCurrentWidget(&window->panelFor(TBlockType(kind)));
        window->pnlAlign->setVisible(kind != btPageProperties);
        VERIFY_CONTROLS_NAMED(*window);
    }
}

void TestMainWindow::controlsByName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");  // caption, else hint; empty: not checked
    QTest::addColumn<int>("topic");

    QTest::newRow("btnCreate") << "btnCreate" << "Create Page" << 0;
    QTest::newRow("btnPreview") << "btnPreview" << "View Page" << 0;
    QTest::newRow("btnSave") << "btnSave" << "Save Page" << 0;
    QTest::newRow("btnUpload") << "btnUpload" << "Send to web" << 0;
    QTest::newRow("btnAdRemove") << "btnAdRemove" << "Remove Ads" << 0;
    QTest::newRow("btnHelp") << "btnHelp" << "Help          " << 0;
    QTest::newRow("btnHosting") << "btnHosting" << "Web Hosting" << 0;
    QTest::newRow("btnCustom") << "btnCustom" << "Power Tools" << 0;
    QTest::newRow("btnNew") << "btnNew" << "New" << 0;
    QTest::newRow("btnChooseTemplate") << "btnChooseTemplate" << "Open" << 0;
    QTest::newRow("btnTemplate") << "btnTemplate" << "Save As Template" << 0;
    QTest::newRow("lstBlocks") << "lstBlocks" << "Right-Click on me!" << 54;
    QTest::newRow("lstPalette") << "lstPalette" << "" << 55;
    QTest::newRow("imgTrash") << "imgTrash" << "" << 15;
    QTest::newRow("btnLeft") << "btnLeft" << "Left Align" << 103;
    QTest::newRow("btnCenter") << "btnCenter" << "Center Align" << 104;
    QTest::newRow("btnRight") << "btnRight" << "Right Align" << 105;
    QTest::newRow("btnParagraph") << "btnParagraph" << "New Line (Paragraph)" << 22;
    QTest::newRow("txtPageTitle") << "txtPageTitle" << "" << 10;
    QTest::newRow("chkLinkUnderline") << "chkLinkUnderline" << "Do not &Underline Links" << 11;
    QTest::newRow("lstMeta") << "lstMeta" << "" << 12;
    QTest::newRow("chkZandorellLogo") << "chkZandorellLogo" << "&Show Zandorell Logo on page" << 0;
    QTest::newRow("btnTheme") << "btnTheme" << "Choose Page Theme (Colors, etc..)" << 0;
    QTest::newRow("txtHeading") << "txtHeading" << "" << 26;
    QTest::newRow("btnTextImport") << "btnTextImport" << "Import Text File" << 0;
    QTest::newRow("btnTextFont") << "btnTextFont" << "Paragraph Font" << 0;
    QTest::newRow("txtText") << "txtText" << "" << 35;
    QTest::newRow("cbBullets") << "cbBullets" << "" << 48;
    QTest::newRow("btnBulletImport") << "btnBulletImport" << "Import Text File" << 0;
    QTest::newRow("cbHR") << "cbHR" << "" << 50;
    QTest::newRow("updnHRWidth") << "updnHRWidth" << "" << 51;
    QTest::newRow("chkNoShade") << "chkNoShade" << "&Yes, make line noshade" << 190;
    QTest::newRow("txtLinkAddress") << "txtLinkAddress" << "" << 29;
    QTest::newRow("txtLinkText") << "txtLinkText" << "" << 28;
    QTest::newRow("chkEmail") << "chkEmail" << "Make link an &email address" << 27;
    QTest::newRow("chkLink") << "chkLink" << "Use Drop &Box" << 33;
    QTest::newRow("lstLinks") << "lstLinks" << "Double Click Item to Edit, then press the Apply Edit button." << 34;
    QTest::newRow("btnLinkAdd") << "btnLinkAdd" << "Add" << 0;
    QTest::newRow("btnLinkRemove") << "btnLinkRemove" << "Remove" << 0;
    QTest::newRow("btnLinkEdit") << "btnLinkEdit" << "Apply Edit" << 0;
    QTest::newRow("btnLinkBrowse") << "btnLinkBrowse" << "Browse" << 0;
    QTest::newRow("btnLinkIE") << "btnLinkIE" << "Favorites" << 0;
    QTest::newRow("btnLinkNetscape") << "btnLinkNetscape" << "Netscape Bookmarks" << 0;
    QTest::newRow("txtImageFile") << "txtImageFile" << "" << 19;
    QTest::newRow("txtImageH") << "txtImageH" << "" << 18;
    QTest::newRow("txtImageW") << "txtImageW" << "" << 17;
    QTest::newRow("cbImageAlign") << "cbImageAlign" << "" << 16;
    QTest::newRow("txtImageAlt") << "txtImageAlt" << "" << 21;
    QTest::newRow("txtImageLink") << "txtImageLink" << "" << 31;
    QTest::newRow("sboxImages") << "sboxImages" << "" << 20;
    QTest::newRow("btnImagePic") << "btnImagePic" << "Browse" << 0;
    QTest::newRow("btnImageNetscape") << "btnImageNetscape" << "Netscape Bookmarks" << 0;
    QTest::newRow("txtFormAddress") << "txtFormAddress" << "" << 200;
    QTest::newRow("txtFormSubject") << "txtFormSubject" << "" << 200;
    QTest::newRow("txtFormURL") << "txtFormURL" << "" << 200;
    QTest::newRow("lvForms") << "lvForms" << "" << 200;
    QTest::newRow("btnFormOptions") << "btnFormOptions" << "A&dvanced Options" << 202;
    QTest::newRow("btnFormBasic") << "btnFormBasic" << "Load &Basic Fields" << 203;
    QTest::newRow("lstThemes") << "lstThemes" << "Page Themes" << 66;
}

void TestMainWindow::controlsByName()
{
    QFETCH(QString, name);
    QFETCH(QString, text);
    QFETCH(int, topic);
    TestServices fakes;
    auto window = startWindow(fakes);
    const QList<QWidget *> found = window->findChildren<QWidget *>(name);
    QCOMPARE(found.size(), 1);
    QWidget *control = found.first();
    if (!text.isEmpty()) {
        const QVariant caption = control->property("text");
        const QString shown = caption.isValid() && !caption.toString().isEmpty() ? caption.toString() : control->toolTip();
        QCOMPARE(shown, text);
    }
    QCOMPARE(HelpContext::of(*control), topic);
}

void TestMainWindow::startUpTipOfTheDay_data()
{
    QTest::addColumn<QString>("tipDay");
    QTest::addColumn<bool>("shown");
    QTest::newRow("first start") << QString() << true;
    QTest::newRow("on") << QStringLiteral("1") << true;
    QTest::newRow("off") << QStringLiteral("0") << false;
}

void TestMainWindow::startUpTipOfTheDay()
{
    QFETCH(QString, tipDay);
    QFETCH(bool, shown);
    TestServices fakes;
    if (!tipDay.isNull())
        fakes.settings.writeString(SettingsKeys::tipDay(), tipDay);
    bool windowVisibleUnderTips = false;
    fakes.modal.expect([&](QDialog &dialog) {
        windowVisibleUnderTips = dialog.parentWidget() && dialog.parentWidget()->isVisible();
        return int(QDialog::Rejected);
    });
    TfrmMain window(fakes.services);
    window.startUp(QString());
    QCOMPARE(fakes.modal.shownClasses.contains(QStringLiteral("TfrmTips")), shown);
    QCOMPARE(windowVisibleUnderTips, shown);
    // Without any stored placement the window opens maximised.
    QVERIFY(window.windowState().testFlag(Qt::WindowMaximized));
}

// A pipe with no writer at the themes file's place once kept the window from ever
// appearing.
void TestMainWindow::themesFileIsAPipe()
{
    TestServices fakes;
    const QString themes = fakes.data.folder().themesFile();
    QFile::remove(themes);
    QCOMPARE(::mkfifo(QFile::encodeName(themes).constData(), 0600), 0);
    auto window = startWindow(fakes);
    QCOMPARE(listTexts(*window->lstBlocks), (QStringList{"Page Details", "Image", "Link", "Paragraph"}));
    const QStringList texts = fakes.prompter.texts();
    QVERIFY2(texts.filter(QStringLiteral("It is a pipe, a socket or a device, not a file.")).size() == 1, qPrintable(texts.join(u'|')));
}

void TestMainWindow::commandLineDocument_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<QString>("caption");

    QTest::newRow("page document") << "My Page.vxf" << true << title("My Page.vxf");
    QTest::newRow("template") << "Shop.vxt" << true << title("Untitled");
    QTest::newRow("template in capitals counts as document") << "Shop.VXT" << true << title("Shop.VXT");
    QTest::newRow("unreadable") << "broken.vxf" << false << title("Untitled");
    QTest::newRow("named pipe") << "pipe.vxf" << false << title("Untitled");
}

void TestMainWindow::commandLineDocument()
{
    QFETCH(QString, fileName);
    QFETCH(bool, valid);
    QFETCH(QString, caption);

    TestServices fakes;
    const QString path = fakes.data.path() + fileName;
    if (valid) {
        TPagelette page;
        page.NewPage();
        page.InsertNewItem(1, btHeading).HeadingBlock().Heading = QStringLiteral("From the file");
        QCOMPARE(Documents::SaveDocument(path, page), Documents::SaveResult::Saved);
    } else if (fileName == u"pipe.vxf") {
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    } else {
        fakes.data.writeFile(fileName, "TPF0 this is not a page");
    }

    auto window = startWindow(fakes, path);
    QCOMPARE(shownTitle(*window), caption);
    QCOMPARE(window->pnlWork->currentWidget(), window->pnlCreate);
    QVERIFY(!window->changed());
    if (valid) {
        QCOMPARE(listTexts(*window->lstBlocks), (QStringList{"Page Details", "Heading", "Image", "Link", "Paragraph"}));
        QCOMPARE(window->page().Page().Items(1).HeadingBlock().Heading, QStringLiteral("From the file"));
        QVERIFY(!fakes.prompter.texts().contains(Documents::invalidDocumentMessage()));
    } else {
        QVERIFY(fakes.prompter.texts().contains(Documents::invalidDocumentMessage()));
        QCOMPARE(listTexts(*window->lstBlocks), (QStringList{"Page Details", "Image", "Link", "Paragraph"}));
        QVERIFY(window->document().isUntitled());
    }
    QCOMPARE(window->pnlPanels->currentWidget(), window->pnlPageProp);
}

void TestMainWindow::paletteDrops_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("target");
    QTest::addColumn<int>("insertedAt");
    QTest::addColumn<int>("key"); // pressed on the palette with the target row selected; 0: dragged

    QTest::newRow("on row 0 goes to 1") << int(btHeading) << 0 << 1 << 0;
    QTest::newRow("on a row goes before it") << int(btBullet) << 2 << 2 << 0;
    QTest::newRow("on the last row") << int(btHR) << 3 << 3 << 0;
    QTest::newRow("below the last row appends") << int(btForms) << 4 << 4 << 0;
    QTest::newRow("Return adds after the selection") << int(btHeading) << 1 << 2 << int(Qt::Key_Return);
    QTest::newRow("Insert adds after the selection") << int(btHR) << 2 << 3 << int(Qt::Key_Insert);
}

void TestMainWindow::paletteDrops()
{
    QFETCH(int, kind);
    QFETCH(int, target);
    QFETCH(int, insertedAt);
    QFETCH(int, key);

    TestServices fakes;
    auto window = startWindow(fakes);
    window->pnlPageProp->txtPageTitle->setText(QStringLiteral("Kept"));
    if (key) {
        clickRow(*window, target);
        window->lstPalette->setCurrentRow(kind - 1);
        QTest::keyClick(window->lstPalette, Qt::Key(key));
    } else {
        dropFromPalette(*window, TBlockType(kind), target);
    }

    QCOMPARE(window->lstBlocks->count(), 5);
    QCOMPARE(window->lstBlocks->item(insertedAt)->text(), BlockTypeCaption(TBlockType(kind)));
    QCOMPARE(itemCaptions(window->page()), listTexts(*window->lstBlocks));
    QCOMPARE(int(window->page().Page().Items(insertedAt).BlockType), kind);
    QCOMPARE(window->lstBlocks->currentRow(), insertedAt);
    QCOMPARE(window->currentItemIndex(), insertedAt);
    QCOMPARE(window->pnlPanels->currentWidget(), &window->panelFor(TBlockType(kind)));
    // The panel that was open was stored first.
    QCOMPARE(window->page().Page().Items(0).PagePropertiesBlock().PageTitle, QStringLiteral("Kept"));
    QVERIFY(window->changed());
    QVERIFY(window->pnlAlign->isVisible());
    QVERIFY(!window->imgMarker->isVisible());
}

void TestMainWindow::secondFormRefused()
{
    TestServices fakes;
    auto window = startWindow(fakes);
    dropFromPalette(*window, btForms, 4);
    QCOMPARE(window->lstBlocks->count(), 5);
    clickRow(*window, 2);
    window->pnlLinks->txtLinkText->setText(QStringLiteral("typed before the drop"));
    const QStringList before = listTexts(*window->lstBlocks);

    dropFromPalette(*window, btForms, 1);
    QCOMPARE(fakes.prompter.texts().last(), QStringLiteral("Sorry, only one E-mail form per page is allowed."));
    QCOMPARE(fakes.prompter.boxes.last().kind, Prompter::Kind::Information);
    QCOMPARE(listTexts(*window->lstBlocks), before);
    QCOMPARE(itemCaptions(window->page()), before);
    // Nothing moved, so what was being typed is still there to be stored.
    QCOMPARE(window->currentItemIndex(), 2);
    clickRow(*window, 0);
    QCOMPARE(window->page().Page().Items(2).LinkBlock().LinkText, QStringLiteral("typed before the drop"));
}

void TestMainWindow::rowMoves_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("target");
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<int>("selected");

    const QStringList start{"Page Details", "Image", "Link", "Paragraph"};
    QTest::newRow("down onto a row") << 1 << 3 << QStringList{"Page Details", "Link", "Paragraph", "Image"} << 3;
    QTest::newRow("up onto a row") << 3 << 1 << QStringList{"Page Details", "Paragraph", "Image", "Link"} << 1;
    QTest::newRow("onto row 0 stays") << 2 << 0 << start << 0;
    QTest::newRow("onto itself stays") << 2 << 2 << start << 2;
    QTest::newRow("below the end stays") << 1 << 4 << start << -1;
}

void TestMainWindow::rowMoves()
{
    QFETCH(int, from);
    QFETCH(int, target);
    QFETCH(QStringList, rows);
    QFETCH(int, selected);

    TestServices fakes;
    auto window = startWindow(fakes);
    window->page().Page().Items(2).LinkBlock().LinkText = QStringLiteral("the link");
    clickRow(*window, from);
    window->dropOnPageletteList(BlockDrag::Source::Pagelettes, from, target);
    QCOMPARE(listTexts(*window->lstBlocks), rows);
    QCOMPARE(itemCaptions(window->page()), rows);
    QCOMPARE(window->lstBlocks->currentRow(), selected);
    QCOMPARE(window->page().Page().Items(0).BlockType, btPageProperties);
    // The link item travels with its row.
    const int link = rows.indexOf(QStringLiteral("Link"));
    QCOMPARE(window->page().Page().Items(link).LinkBlock().LinkText, QStringLiteral("the link"));
    if (selected >= 0)
        QCOMPARE(window->currentItemIndex(), selected);
}

void TestMainWindow::dropThroughDropEvent()
{
    TestServices fakes;
    auto window = startWindow(fakes);
    QListWidget *list = window->lstBlocks;
    std::unique_ptr<QMimeData> data(BlockDrag{BlockDrag::Source::Palette, int(btHeading) - 1}.toMimeData(*window));

    // A drop on the middle of row 2 inserts before it.
    const QPoint onRow2 = list->visualItemRect(list->item(2)).center();
    QVERIFY(dragOnto(list->viewport(), onRow2, data.get()));
    QCOMPARE(listTexts(*list), (QStringList{"Page Details", "Image", "Heading", "Link", "Paragraph"}));

    // Below the last row: appended.
    const QPoint below(5, list->visualItemRect(list->item(list->count() - 1)).bottom() + 10);
    QVERIFY(list->viewport()->rect().contains(below));
    QVERIFY(dragOnto(list->viewport(), below, data.get()));
    QCOMPARE(list->item(list->count() - 1)->text(), QStringLiteral("Heading"));
    QCOMPARE(itemCaptions(window->page()), listTexts(*list));

    // A drag that is not a block is refused.
    QMimeData text;
    text.setText(QStringLiteral("hello"));
    QVERIFY(!dragOnto(list->viewport(), onRow2, &text, false, Qt::CopyAction));

    // So is a block drag that started in another window, as one from a second running
    // instance would be: the list and the trash stay as they are.
    QWidget elsewhere;
    std::unique_ptr<QMimeData> stranger(BlockDrag{BlockDrag::Source::Pagelettes, 1}.toMimeData(elsewhere));
    const QStringList before = listTexts(*list);
    for (QWidget *target : {static_cast<QWidget *>(list->viewport()), static_cast<QWidget *>(window->imgTrash)})
        QVERIFY(!dragOnto(target, onRow2, stranger.get()));
    QCOMPARE(listTexts(*list), before);
    QVERIFY(fakes.prompter.boxes.isEmpty());

    // The trash takes rows of the list, nothing from the palette.
    QVERIFY(!dragOnto(window->imgTrash, QPoint(5, 5), data.get(), false));
    clickRow(*window, 2);
    std::unique_ptr<QMimeData> row(BlockDrag{BlockDrag::Source::Pagelettes, 2}.toMimeData(*window));
    fakes.prompter.answer(Prompter::Yes);
    QVERIFY(dragOnto(window->imgTrash, QPoint(5, 5), row.get()));
    QCOMPARE(listTexts(*list), (QStringList{"Page Details", "Image", "Link", "Paragraph", "Heading"}));
}

void TestMainWindow::markerFollowsDrag()
{
    TestServices fakes;
    auto window = startWindow(fakes);
    QListWidget *list = window->lstBlocks;
    std::unique_ptr<QMimeData> data(BlockDrag{BlockDrag::Source::Palette, 0}.toMimeData(*window));
    const QRect row2 = list->visualItemRect(list->item(2));
    QVERIFY(dragOnto(list->viewport(), row2.center(), data.get(), false));
    QDragMoveEvent move(row2.center(), Qt::MoveAction, data.get(), Qt::LeftButton, {});
    QCoreApplication::sendEvent(list->viewport(), &move);
    QVERIFY(window->imgMarker->isVisible());
    QCOMPARE(window->imgMarker->y(), list->y() + row2.top() + 10);
    QVERIFY(window->imgMarker->x() + window->imgMarker->width() <= list->x());

    QDragMoveEvent overRow0(list->visualItemRect(list->item(0)).center(), Qt::MoveAction, data.get(), Qt::LeftButton, {});
    QCoreApplication::sendEvent(list->viewport(), &overRow0);
    QVERIFY(!window->imgMarker->isVisible());
    // Every drag ends with a leave or a drop, which releases the application's drop target.
    QDragLeaveEvent leave;
    QCoreApplication::sendEvent(list->viewport(), &leave);
}

void TestMainWindow::deleteRules()
{
    TestServices fakes;
    auto window = startWindow(fakes);

    window->DeletePagelette();
    QCOMPARE(fakes.prompter.texts().last(), QStringLiteral("The Page Settings Block cannot be deleted."));
    QCOMPARE(window->lstBlocks->count(), 4);

    clickRow(*window, 2);
    fakes.prompter.answer(Prompter::No);
    const int beeps = fakes.prompter.beeps;
    window->DeletePagelette();
    QCOMPARE(fakes.prompter.beeps, beeps + 1);
    QCOMPARE(fakes.prompter.boxes.last().kind, Prompter::Kind::Confirmation);
    QCOMPARE(fakes.prompter.texts().last(), QStringLiteral("Do you want to delete the selected Pagelette item?"));
    QCOMPARE(fakes.prompter.boxes.last().buttons, Prompter::Buttons(Prompter::Yes | Prompter::No));
    QCOMPARE(window->lstBlocks->count(), 4);
    QCOMPARE(window->page().Page().Count(), 4);

    // Del on the list is the same command.
    fakes.prompter.answer(Prompter::Yes);
    window->lstBlocks->setFocus();
    window->findChild<QAction *>("mnuDelete")->trigger();
    QCOMPARE(listTexts(*window->lstBlocks), (QStringList{"Page Details", "Image", "Paragraph"}));
    QCOMPARE(itemCaptions(window->page()), listTexts(*window->lstBlocks));
    QCOMPARE(window->lstBlocks->currentRow(), 1);
    QCOMPARE(window->currentItemIndex(), 1);
    QCOMPARE(window->pnlPanels->currentWidget(), &window->panelFor(btImage));
}

void TestMainWindow::deletingFormsResetsTheForm()
{
    TestServices fakes;
    auto window = startWindow(fakes);
    dropFromPalette(*window, btForms, 4);
    TPagelette &page = window->page();
    page.WebForm().AddElement().Name = QStringLiteral("Your Name");
    page.Border = true;
    window->pnlForms->txtFormAddress->setText(QStringLiteral("me@example.com"));
    clickRow(*window, 1);
    QCOMPARE(page.Email, QStringLiteral("me@example.com"));
    // Rebuilding the lists shows the field.
    window->FillPageletteList();
    QCOMPARE(window->pnlForms->lvForms->topLevelItemCount(), 1);
    // So does an altered page with a second form block: the one form, once.
    page.InsertNewItem(5, btForms);
    window->FillPageletteList();
    QCOMPARE(window->pnlForms->lvForms->topLevelItemCount(), 1);
    page.Page().remove(5);
    window->FillPageletteList();
    window->pnlForms->btnFormEdit->setEnabled(true);

    deleteRow(*window, fakes, 4);
    QCOMPARE(page.WebForm().Count(), 0);
    QVERIFY(page.Email.isEmpty());
    QVERIFY(!page.Border);
    QCOMPARE(window->pnlForms->lvForms->topLevelItemCount(), 0);
    QVERIFY(!window->pnlForms->btnFormEdit->isEnabled());
    QCOMPARE(page.formsItemIndex(), -1);

    // A new form can be added again.
    dropFromPalette(*window, btForms, 4);
    QCOMPARE(page.formsItemIndex(), 4);
}

void TestMainWindow::trashPictures()
{
    TestServices fakes;
    auto window = startWindow(fakes);
    TrashBin *trash = window->imgTrash;
    QCOMPARE(trash->state(), TrashBin::State::Design);
    const QImage design = trash->pixmap().toImage();

    deleteRow(*window, fakes, 3);
    QCOMPARE(trash->state(), TrashBin::State::Full);
    const QImage full = trash->pixmap().toImage();
    QVERIFY(full != design);

    for (int row : {2, 1})
        deleteRow(*window, fakes, row);
    QCOMPARE(window->lstBlocks->count(), 1);
    QCOMPARE(trash->state(), TrashBin::State::Empty);
    QVERIFY(trash->pixmap().toImage() != full);
    QVERIFY(!window->pnlAlign->isVisible());
    QCOMPARE(window->pnlPanels->currentWidget(), window->pnlPageProp);

    dropFromPalette(*window, btText, 1);
    dropFromPalette(*window, btText, 2);
    deleteRow(*window, fakes, 2);
    QCOMPARE(trash->state(), TrashBin::State::Full);
    QCOMPARE(trash->pixmap().toImage(), full);
}

void TestMainWindow::blocksMenuOffersDeleteOnlyOnTheList()
{
    TestServices fakes;
    auto window = startWindow(fakes);
    const auto deleteOffered = [&](bool onList) {
        window->openBlocksMenu(QPoint(20, 20), onList);
        const bool offered = window->mnuDelete->isVisible();
        [&] { QCOMPARE(window->mnuDeleteSeparator->isVisible(), offered); }();
        window->popBlocks->hide();
        return offered;
    };
    QVERIFY(deleteOffered(true));
    QVERIFY(!deleteOffered(false));
    window->lstBlocks->setCurrentRow(-1);
    window->lstBlocks->clearSelection();
    QVERIFY(!deleteOffered(true));

    QCOMPARE(window->mnuNew->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_N));
    QCOMPARE(window->mnuSave->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_S));
    QCOMPARE(window->mnuTemplate->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_T));
    QCOMPARE(window->mnuDelete->shortcut(), QKeySequence(QKeySequence::Delete));
}

void TestMainWindow::rightClickSelectsTheRowFirst()
{
    TestServices fakes;
    auto window = startWindow(fakes);
    clickRow(*window, 1);
    window->pnlImages->txtImageAlt->setText(QStringLiteral("typed before the menu"));
    QListWidget *list = window->lstBlocks;
    QTest::mouseClick(list->viewport(), Qt::RightButton, {}, list->visualItemRect(list->item(3)).center());
    QVERIFY(window->popBlocks->isVisible());
    window->popBlocks->hide();
    QCOMPARE(list->currentRow(), 3);
    QCOMPARE(window->currentItemIndex(), 3);
    QCOMPARE(window->page().Page().Items(1).ImageBlock().Alt, QStringLiteral("typed before the menu"));

    // Delete Pagelette then deletes the row pointed at.
    fakes.prompter.answer(Prompter::Yes);
    window->mnuDelete->trigger();
    QCOMPARE(listTexts(*list), (QStringList{"Page Details", "Image", "Link"}));
}

void TestMainWindow::keyboardMovesBlocks_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<QString>("how");
    QTest::addColumn<QStringList>("rows");

    const QStringList start{"Page Details", "Image", "Link", "Paragraph"};
    QTest::newRow("Ctrl+Down") << 1 << "Ctrl+Down" << QStringList{"Page Details", "Link", "Image", "Paragraph"};
    QTest::newRow("Ctrl+Up") << 3 << "Ctrl+Up" << QStringList{"Page Details", "Image", "Paragraph", "Link"};
    QTest::newRow("menu's Move Down") << 2 << "mnuMoveDown" << QStringList{"Page Details", "Image", "Paragraph", "Link"};
    QTest::newRow("never above the page details") << 1 << "Ctrl+Up" << start;
    QTest::newRow("the page details stay first") << 0 << "Ctrl+Down" << start;
    QTest::newRow("not past the end") << 3 << "mnuMoveDown" << start;
}

void TestMainWindow::keyboardMovesBlocks()
{
    QFETCH(int, from);
    QFETCH(QString, how);
    QFETCH(QStringList, rows);

    TestServices fakes;
    auto window = startWindow(fakes);
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    QListWidget *list = window->lstBlocks;
    clickRow(*window, from);
    list->setFocus();
    if (how.startsWith(u'm')) {
        window->openBlocksMenu(QPoint(20, 20), true);
        QAction *item = window->findChild<QAction *>(how);
        QVERIFY(item->isVisible());
        QCOMPARE(item->isEnabled(), rows != listTexts(*list));
        item->trigger();
        window->popBlocks->hide();
    } else {
        QTest::keyClick(list, how == u"Ctrl+Up" ? Qt::Key_Up : Qt::Key_Down, Qt::ControlModifier);
    }
    QCOMPARE(listTexts(*list), rows);
    QCOMPARE(itemCaptions(window->page()), rows);
    // The moved block stays selected, so it can be moved on; undo takes the move back.
    const QString moved = QStringList{"Page Details", "Image", "Link", "Paragraph"}.at(from);
    QCOMPARE(list->currentItem()->text(), moved);
    QCOMPARE(window->currentItemIndex(), list->currentRow());
    QCOMPARE(window->changed(), rows != listTexts(*list) || list->currentRow() != from);
    window->undo();
    QCOMPARE(listTexts(*list), (QStringList{"Page Details", "Image", "Link", "Paragraph"}));
    QVERIFY(!window->changed());
}

// Shift+F10 and the Menu key open a list's menu beside its selected row, as a right
// click on that row would.
void TestMainWindow::keyboardOpensMenusAtTheRow()
{
    TestServices fakes;
    auto window = startWindow(fakes);
    QListWidget *list = window->lstBlocks;
    clickRow(*window, 2);
    const QRect row(list->viewport()->mapToGlobal(list->visualItemRect(list->item(2)).topLeft()),
                    list->visualItemRect(list->item(2)).size());
    for (const bool menuKey : {false, true}) {
        if (menuKey) {
            // How the platform delivers the Menu key: a keyboard request at no row.
            QContextMenuEvent request(QContextMenuEvent::Keyboard, QPoint(0, 0), list->mapToGlobal(QPoint(0, 0)));
            QApplication::sendEvent(list, &request);
        } else {
            QTest::keyClick(list, Qt::Key_F10, Qt::ShiftModifier);
        }
        QVERIFY(window->popBlocks->isVisible());
        QVERIFY(window->mnuDelete->isVisible());
        QVERIFY2(row.contains(window->popBlocks->pos()), qPrintable(QStringLiteral("menu at %1,%2").arg(window->popBlocks->x()).arg(window->popBlocks->y())));
        window->popBlocks->hide();
    }
    QCOMPARE(list->currentRow(), 2);

    QTest::keyClick(window->lstPalette, Qt::Key_Menu);
    QVERIFY(window->whatsThis().popWhatsThis->isVisible());
    QCOMPARE(window->whatsThis().rememberedTopic(), 55);
    window->whatsThis().popWhatsThis->hide();
}

void TestMainWindow::helpKeyOpensTheFocusedControlsTopic_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("topic"); // 0: the contents

    QTest::newRow("its own topic") << "txtPageTitle" << 0 << 10;
    QTest::newRow("a choice box") << "cbImageAlign" << 1 << 16;
    QTest::newRow("the pagelette list") << "lstBlocks" << 0 << 54;
    QTest::newRow("no topic: the contents") << "btnNew" << 0 << 0;
}

void TestMainWindow::helpKeyOpensTheFocusedControlsTopic()
{
    QFETCH(QString, control);
    QFETCH(int, row);
    QFETCH(int, topic);

    TestServices fakes;
    auto window = startWindow(fakes);
    HelpKey helpKey(fakes.help);
    qApp->installEventFilter(&helpKey);
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    clickRow(*window, row);
    QWidget *focused = window->findChild<QWidget *>(control);
    focused->setFocus();
    QTest::keyClick(focused, Qt::Key_F1);
    QCOMPARE(fakes.help.popups, topic ? QList<int>{topic} : QList<int>{});
    QCOMPARE(fakes.help.contentsShown, topic ? 0 : 1);
}

void TestMainWindow::valuesSurviveSwitchingRows()
{
    TestServices fakes;
    auto window = startWindow(fakes);
    // The alignment strip shows for the items that have an alignment, set as the item's.
    QVERIFY(!window->pnlAlign->isVisible());
    QTest::keyClicks(window->pnlPageProp->txtPageTitle, QStringLiteral("Cats"));
    clickRow(*window, 3);
    QCOMPARE(window->pnlPanels->currentWidget(), window->pnlText);
    QVERIFY(window->pnlAlign->isVisible());
    QVERIFY(window->pnlAlign->btnLeft->isChecked());
    QCOMPARE(window->page().Page().Items(0).PagePropertiesBlock().PageTitle, QStringLiteral("Cats"));
    window->pnlText->txtText->setText(QStringLiteral("All about cats"));
    window->pnlAlign->btnRight->click();
    window->pnlAlign->btnParagraph->click();

    clickRow(*window, 0);
    QCOMPARE(window->page().Page().Items(3).TextBlock().Text, QStringLiteral("All about cats"));
    QCOMPARE(window->page().Page().Items(3).BlockAlign, baRight);
    QVERIFY(!window->page().Page().Items(3).BlockOnNewLine);
    QCOMPARE(window->pnlPageProp->txtPageTitle->text(), QStringLiteral("Cats"));
    // Page details have no alignment: it is never written.
    QCOMPARE(window->page().Page().Items(0).BlockAlign, baNone);
    QVERIFY(!window->pnlAlign->isVisible());

    clickRow(*window, 3);
    QCOMPARE(window->pnlText->txtText->text(), QStringLiteral("All about cats"));
    QVERIFY(window->pnlAlign->btnRight->isChecked());
    QVERIFY(!window->pnlAlign->btnParagraph->isChecked());
    dropFromPalette(*window, btHeading, 1);
    QVERIFY(window->pnlAlign->btnCenter->isChecked());
}

void TestMainWindow::editsCountAtOnce_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<Edit>("edit");
    QTest::addColumn<bool>("counts");

    const auto row = [](const char *name, TBlockType kind, bool counts, Edit edit) {
        QTest::newRow(name) << int(kind) << edit << counts;
    };
    row("row clicked is no change", btPageProperties, false, [](TfrmMain &w, TestServices &) { clickRow(w, 0); });
    row("rows looked at are no change", btText, false, [](TfrmMain &w, TestServices &) {
        clickRow(w, 0);
        clickRow(w, 1);
    });
    row("page built is no change", btPageProperties, false, [](TfrmMain &w, TestServices &) {
        QStringList lines;
        w.buildPageHTML(lines, hmPreview);
    });
    row("title typed", btPageProperties, true, [](TfrmMain &w, TestServices &) { QTest::keyClicks(w.pnlPageProp->txtPageTitle, "C"); });
    row("underline box", btPageProperties, true, [](TfrmMain &w, TestServices &) { w.pnlPageProp->chkLinkUnderline->click(); });
    row("meta tag added", btPageProperties, true, [](TfrmMain &w, TestServices &) { w.pnlPageProp->lstMeta->addItem("author\tMe"); });
    row("logo option is no page change", btPageProperties, false,
        [](TfrmMain &w, TestServices &) { w.pnlPageProp->chkZandorellLogo->click(); });
    row("heading typed", btHeading, true, [](TfrmMain &w, TestServices &) { QTest::keyClicks(w.pnlHeading->txtHeading, "H"); });
    row("heading font chosen", btHeading, true, [](TfrmMain &w, TestServices &) { w.pnlHeading->setFontChosen(true); });
    row("alignment", btText, true, [](TfrmMain &w, TestServices &) { w.pnlAlign->btnRight->click(); });
    row("new line", btText, true, [](TfrmMain &w, TestServices &) { w.pnlAlign->btnParagraph->click(); });
    row("picture chosen", btImage, true, [](TfrmMain &w, TestServices &fakes) {
        QImage picture(4, 3, QImage::Format_RGB32);
        picture.fill(Qt::red);
        const QString file = fakes.data.path() + QStringLiteral("cat.bmp");
        QVERIFY(picture.save(file));
        fakes.pictureDialog.choose(file);
        w.pnlImages->btnImagePic->click();
    });
    row("drop box entry removed", btLink, true, [](TfrmMain &w, TestServices &) { w.pnlLinks->btnLinkRemove->click(); });
    row("line narrower", btHR, true, [](TfrmMain &w, TestServices &) { w.pnlHR->updnHRWidth->downButton()->click(); });
    row("bullet style", btBullet, true, [](TfrmMain &w, TestServices &) { w.pnlBullets->cbBullets->setCurrentIndex(2); });
    row("form address typed", btForms, true, [](TfrmMain &w, TestServices &) { QTest::keyClicks(w.pnlForms->txtFormAddress, "a"); });
}

void TestMainWindow::editsCountAtOnce()
{
    QFETCH(int, kind);
    QFETCH(Edit, edit);
    QFETCH(bool, counts);

    TestServices fakes;
    TPagelette page;
    page.NewPage();
    if (kind != btPageProperties) {
        TPageItem &item = page.InsertNewItem(1, TBlockType(kind));
        item.LinkBlock().UseDropBox = true;
        item.LinkBlock().DropBoxText = QStringLiteral("http://a.example/\tA\r\n");
    }
    const QString path = fakes.data.path() + QStringLiteral("saved.vxf");
    QCOMPARE(Documents::SaveDocument(path, page), Documents::SaveResult::Saved);
    auto window = startWindow(fakes, path);
    // Showing a row (unlike clicking it) stores nothing, so the page is unchanged.
    window->lstBlocks->setCurrentRow(kind == btPageProperties ? 0 : 1);
    window->ShowSelectedItem();
    QVERIFY(!window->changed());
    QCOMPARE(shownTitle(*window), title("saved.vxf"));

    edit(*window, fakes);
    QCOMPARE(window->changed(), counts);
    QCOMPARE(shownTitle(*window), title(counts ? "saved.vxf*" : "saved.vxf"));
}

void TestMainWindow::typedTextIsNeverDropped_data()
{
    QTest::addColumn<bool>("savedParagraph");
    QTest::addColumn<bool>("closing");

    QTest::newRow("title, New") << false << false;
    QTest::newRow("title, close") << false << true;
    QTest::newRow("paragraph of a saved page, New") << true << false;
    QTest::newRow("paragraph of a saved page, close") << true << true;
}

void TestMainWindow::typedTextIsNeverDropped()
{
    QFETCH(bool, savedParagraph);
    QFETCH(bool, closing);

    TestServices fakes;
    auto window = startWindow(fakes);
    QWidget *box = window->pnlPageProp->txtPageTitle;
    QString name = QStringLiteral("Untitled");
    if (savedParagraph) {
        clickRow(*window, 3);
        name = fakes.data.path() + QStringLiteral("VendrixFiles/kept.vxf");
        fakes.saveDialog.choose(name);
        QVERIFY(window->save());
        QCOMPARE(shownTitle(*window), title("kept.vxf"));
        box = window->pnlText->txtText;
    }
    QTest::keyClicks(box, "Typed");
    QVERIFY(window->changed());

    fakes.prompter.answer(Prompter::Yes);
    fakes.saveDialog.cancel();
    QVERIFY(!(closing ? window->close() : window->newDocument()));
    QCOMPARE(fakes.prompter.texts().last(), QStringLiteral("Would you like to save changes to %1?").arg(name));
    QCOMPARE(listTexts(*window->lstBlocks), (QStringList{"Page Details", "Image", "Link", "Paragraph"}));
    const QString typed = savedParagraph ? window->pnlText->txtText->text() : window->pnlPageProp->txtPageTitle->text();
    QCOMPARE(typed, QStringLiteral("Typed"));
    QVERIFY(window->changed());
    QCOMPARE(shownTitle(*window), savedParagraph ? title("kept.vxf*") : title("Untitled*"));
}

void TestMainWindow::saveWritesDocumentAndCopies()
{
    TestServices fakes;
    auto window = startWindow(fakes);
    window->pnlPageProp->txtPageTitle->setText(QStringLiteral("Holiday Snaps"));
    const QString path = fakes.data.path() + QStringLiteral("VendrixFiles/My Holiday.page.vxf");
    fakes.saveDialog.choose(path);
    QVERIFY(window->save());

    const FakeFileDialog::Run &run = fakes.saveDialog.runs.last();
    QCOMPARE(run.defaultExtension, QStringLiteral("vxf"));
    QCOMPARE(run.filter, QStringLiteral("Vendrix Files|*.vxf"));
    QCOMPARE(run.initialDir, fakes.data.folder().documentsFolder());
    QVERIFY(run.fileName.isEmpty());

    TPagelette reread;
    QVERIFY(Documents::LoadDocument(path, reread));
    QCOMPARE(reread.Page().Items(0).PagePropertiesBlock().PageTitle, QStringLiteral("Holiday Snaps"));
    const QByteArray local = readFile(fakes.data.path() + QStringLiteral("VendrixFiles/My Holiday.page.html"));
    const QByteArray upload = readFile(fakes.data.path() + QStringLiteral("Upload/MyHoliday.page.html"));
    QVERIFY(local.contains("<TITLE>Holiday Snaps</TITLE>"));
    QVERIFY(upload.contains("<TITLE>Holiday Snaps</TITLE>"));
    QVERIFY(local.contains("../Upload/images/"));
    QVERIFY(!upload.contains("Upload"));

    QCOMPARE(shownTitle(*window), title("My Holiday.page.vxf"));
    QCOMPARE(window->document().name(), path);
    QVERIFY(!window->changed());
    const FakePrompter::Box &box = fakes.prompter.boxes.last();
    QCOMPARE(box.text, QStringLiteral("\"MyHoliday.page.html\" page has been automatically saved in your Uploads folder."));
    QCOMPARE(box.kind, Prompter::Kind::Information);
    QCOMPARE(box.buttons, Prompter::Buttons(Prompter::Ok | Prompter::Help));
    QCOMPARE(box.helpTopic, 171);
}

void TestMainWindow::saveUnableToCreateKeepsPageUnsaved()
{
    TestServices fakes;
    auto window = startWindow(fakes);
    dropFromPalette(*window, btHR, 1);
    // A folder that does not exist cannot take the document.
    const QString path = fakes.data.path() + QStringLiteral("no such folder/page.vxf");
    fakes.saveDialog.choose(path);
    QVERIFY(!window->save());
    QVERIFY(fakes.prompter.texts().contains(QStringLiteral("Unable to create file.")));
    QVERIFY(!QFile::exists(path));
    QVERIFY(window->changed());
    QCOMPARE(shownTitle(*window), title("Untitled*"));
    QVERIFY(window->document().isUntitled());
    // The HTML copies live under the program folder and are written all the same.
    QVERIFY(QFile::exists(fakes.data.path() + QStringLiteral("Upload/page.html")));
}

void TestMainWindow::saveOffersTheDocumentsNameNotTheTemplates()
{
    TestServices fakes;
    auto window = startWindow(fakes);
    const QString path = fakes.data.path() + QStringLiteral("Elsewhere/Mine.vxf");
    QVERIFY(QDir().mkpath(fakes.data.path() + QStringLiteral("Elsewhere")));
    fakes.saveDialog.choose(path);
    QVERIFY(window->save());
    QVERIFY(fakes.saveDialog.runs.last().fileName.isEmpty());

    fakes.saveDialog.choose(path);
    QVERIFY(window->save());
    QCOMPARE(fakes.saveDialog.runs.last().fileName, QStringLiteral("Mine.vxf"));
    QCOMPARE(fakes.saveDialog.runs.last().initialDir, fakes.data.path() + QStringLiteral("Elsewhere/"));
    // So is a document opened again.
    QVERIFY(window->newDocument());
    window->loadDocument(path);
    fakes.saveDialog.cancel();
    QVERIFY(!window->save());
    QCOMPARE(fakes.saveDialog.runs.last().fileName, QStringLiteral("Mine.vxf"));

    // A template is always a new file.
    fakes.saveDialog.cancel();
    QVERIFY(!window->saveAsTemplate());
    window->pnlPageProp->txtPageTitle->setText(QStringLiteral("Shop"));
    const QString shop = fakes.data.path() + QStringLiteral("Templates/Little Shop.vxt");
    fakes.saveDialog.choose(shop);
    QVERIFY(window->saveAsTemplate());
    const FakeFileDialog::Run &run = fakes.saveDialog.runs.last();
    QVERIFY(run.fileName.isEmpty());
    QCOMPARE(run.defaultExtension, QStringLiteral("vxt"));
    QCOMPARE(run.filter, QStringLiteral("Vendrix Template|*.vxt"));
    QCOMPARE(run.initialDir, fakes.data.folder().templatesFolder());
    QVERIFY(QFile::exists(shop));
    QVERIFY(readFile(fakes.data.path() + QStringLiteral("Templates/Little Shop.html")).contains("<TITLE>Shop</TITLE>"));
    // The document stays what it was, and unsaved.
    QCOMPARE(shownTitle(*window), title("Mine.vxf*"));
    QVERIFY(window->changed());
}

void TestMainWindow::saveOnAFullDisk_data()
{
    QTest::addColumn<bool>("asTemplate");
    QTest::addRow("save") << false;
    QTest::addRow("save as template") << true;
}

// Writes fail past 64 bytes as on a full disk: the error box gives the reason and
// the previous document is intact.
void TestMainWindow::saveOnAFullDisk()
{
    QFETCH(bool, asTemplate);
    TestServices fakes;
    const QString path = writeFile(fakes.data.path() + QStringLiteral("VendrixFiles/old.vxf"), "the previous contents");
    const QString result = runWithFileSizeLimit(64, [&] {
        auto window = startWindow(fakes);
        fakes.saveDialog.choose(path);
        const bool saved = asTemplate ? window->saveAsTemplate() : window->save();
        return QString::number(saved) + u'|' + fakes.prompter.texts().join(u'|');
    });
    QCOMPARE(result, QStringLiteral("0|File too large"));
    QCOMPARE(readFile(path), QByteArray("the previous contents"));
}

void TestMainWindow::unsavedChangesQuestion_data()
{
    QTest::addColumn<bool>("closing"); // else New
    QTest::addColumn<bool>("changed");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("saveChosen");
    QTest::addColumn<bool>("goesOn");

    for (const bool closing : {false, true}) {
        const char *command = closing ? "close" : "New";
        QTest::addRow("%s, unchanged", command) << closing << false << int(Prompter::NoButton) << false << true;
        QTest::addRow("%s, no", command) << closing << true << int(Prompter::No) << false << true;
        QTest::addRow("%s, cancel", command) << closing << true << int(Prompter::Cancel) << false << false;
        QTest::addRow("%s, yes, save cancelled", command) << closing << true << int(Prompter::Yes) << false << false;
        QTest::addRow("%s, yes, saved", command) << closing << true << int(Prompter::Yes) << true << true;
    }
}

void TestMainWindow::unsavedChangesQuestion()
{
    QFETCH(bool, closing);
    QFETCH(bool, changed);
    QFETCH(int, answer);
    QFETCH(bool, saveChosen);
    QFETCH(bool, goesOn);

    TestServices fakes;
    auto window = startWindow(fakes);
    const QString temporary = fakes.data.folder().externalPreviewFile();
    fakes.data.writeFile(QStringLiteral("VendrixFiles/~tmp.html"), "<HTML></HTML>");
    if (changed) {
        dropFromPalette(*window, btHeading, 1);
        window->pnlHeading->txtHeading->setText(QStringLiteral("Mine"));
        clickRow(*window, 0);
    }
    QCOMPARE(window->changed(), changed);
    if (answer != Prompter::NoButton)
        fakes.prompter.answer(Prompter::Button(answer));
    const QString saved = fakes.data.path() + QStringLiteral("VendrixFiles/mine.vxf");
    if (saveChosen)
        fakes.saveDialog.choose(saved);

    QCOMPARE(closing ? window->close() : window->newDocument(), goesOn);
    QCOMPARE(fakes.prompter.boxes.isEmpty(), !changed);
    if (changed) {
        QCOMPARE(fakes.prompter.boxes.first().text, QStringLiteral("Would you like to save changes to Untitled?"));
        QCOMPARE(fakes.prompter.boxes.first().buttons, Prompter::Buttons(Prompter::Yes | Prompter::No | Prompter::Cancel));
    }
    QCOMPARE(QFile::exists(saved), saveChosen);
    if (closing) {
        QCOMPARE(QFile::exists(temporary), !goesOn);
        QCOMPARE(fakes.help.closed, goesOn ? 1 : 0);
        QCOMPARE(fakes.settings.contains(SettingsKeys::paneWidth()), goesOn);
    } else if (goesOn) {
        QCOMPARE(listTexts(*window->lstBlocks), (QStringList{"Page Details", "Image", "Link", "Paragraph"}));
        QCOMPARE(shownTitle(*window), title("Untitled"));
        QCOMPARE(window->pnlPanels->currentWidget(), window->pnlPageProp);
        QVERIFY(window->document().isUntitled());
        QVERIFY(!window->changed());
        // The previous page is not one undo away.
        QVERIFY(!window->mnuUndo->isEnabled());
        window->undo();
        QCOMPARE(listTexts(*window->lstBlocks), (QStringList{"Page Details", "Image", "Link", "Paragraph"}));
    }
    if (!goesOn) {
        QCOMPARE(window->lstBlocks->count(), 5);
        QCOMPARE(window->page().Page().Items(1).HeadingBlock().Heading, QStringLiteral("Mine"));
        QVERIFY(window->changed());
    }
}

void TestMainWindow::sendToWebSavesFirst_data()
{
    QTest::addColumn<bool>("savedBefore");
    QTest::addColumn<bool>("answerOk");
    QTest::newRow("untitled, question cancelled") << false << false;
    QTest::newRow("saved, question cancelled") << true << false;
    QTest::newRow("saved, save dialog cancelled") << true << true;
}

// A page that differs from its saved copy is never sent as that old copy.
void TestMainWindow::sendToWebSavesFirst()
{
    QFETCH(bool, savedBefore);
    QFETCH(bool, answerOk);
    TestServices fakes;
    auto window = startWindow(fakes);
    if (savedBefore) {
        fakes.saveDialog.choose(fakes.data.path() + QStringLiteral("VendrixFiles/sent.vxf"));
        QVERIFY(window->save());
        fakes.prompter.boxes.clear();
    }
    dropFromPalette(*window, btHeading, 1);
    fakes.prompter.answer(answerOk ? Prompter::Ok : Prompter::Cancel);
    fakes.saveDialog.cancel();
    window->pbButtons->btnUpload->click();
    QCOMPARE(fakes.prompter.texts(),
             QStringList{QStringLiteral("You need to save %1 before uploading.").arg(window->document().name())});
    QCOMPARE(fakes.prompter.boxes.first().buttons, Prompter::Ok | Prompter::Cancel);
    QCOMPARE(fakes.saveDialog.runs.size(), int(savedBefore) + int(answerOk));
    QVERIFY(fakes.modal.shownClasses.isEmpty());
    QVERIFY(window->changed());
}

void TestMainWindow::settingsWrittenOnClose_data()
{
    QTest::addColumn<int>("state");
    QTest::addColumn<QString>("written");
    QTest::addColumn<bool>("boundsWritten");

    QTest::newRow("normal") << int(Qt::WindowNoState) << QStringLiteral("Normal") << true;
    QTest::newRow("maximised") << int(Qt::WindowMaximized) << QStringLiteral("Maximized") << false;
    QTest::newRow("minimised") << int(Qt::WindowMinimized) << QStringLiteral("before") << false;
}

void TestMainWindow::settingsWrittenOnClose()
{
    QFETCH(int, state);
    QFETCH(QString, written);
    QFETCH(bool, boundsWritten);

    TestServices fakes;
    auto window = startWindow(fakes);
    fakes.settings.writeString(SettingsKeys::windowState(), QStringLiteral("before"));
    for (const QString &key : {SettingsKeys::top(), SettingsKeys::left(), SettingsKeys::height(), SettingsKeys::width()})
        fakes.settings.writeInteger(key, -7);
    window->setWindowState(Qt::WindowStates(state));
    if (state == Qt::WindowNoState) {
        window->setGeometry(40, 30, 700, 560);
        QTest::qWait(10);
    }
    QVERIFY(window->close());
    QCOMPARE(fakes.settings.readString(SettingsKeys::windowState()), written);
    if (boundsWritten) {
        QCOMPARE(fakes.settings.readInteger(SettingsKeys::top(), -1), window->y());
        QCOMPARE(fakes.settings.readInteger(SettingsKeys::left(), -1), window->x());
        QCOMPARE(fakes.settings.readInteger(SettingsKeys::height(), -1), 560);
        QCOMPARE(fakes.settings.readInteger(SettingsKeys::width(), -1), 700);
    } else {
        QCOMPARE(fakes.settings.readInteger(SettingsKeys::top(), 0), -7);
        QCOMPARE(fakes.settings.readInteger(SettingsKeys::width(), 0), -7);
    }
    const int pane = fakes.settings.readInteger(SettingsKeys::paneWidth(), 0);
    QVERIFY(pane >= 250 && pane <= 500);
}

void TestMainWindow::settingsReadAtStartUp()
{
    TestServices fakes;
    fakes.settings.writeInteger(SettingsKeys::top(), 20);
    fakes.settings.writeInteger(SettingsKeys::left(), 30);
    fakes.settings.writeInteger(SettingsKeys::height(), 600);
    fakes.settings.writeInteger(SettingsKeys::width(), 800);
    fakes.settings.writeInteger(SettingsKeys::paneWidth(), 320);
    auto window = startWindow(fakes);
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    QVERIFY(!window->windowState().testFlag(Qt::WindowMaximized));
    QCOMPARE(window->size(), QSize(800, 600));
    QCOMPARE(window->pnlPagelette->width(), 320);
    QCOMPARE(window->tipDay(), 0);

    // A pane width outside what the splitter allows is brought inside it.
    window->close();
    fakes.settings.writeString(SettingsKeys::paneWidth(), QStringLiteral("9000"));
    fakes.settings.writeInteger(SettingsKeys::width(), 1200);
    auto second = startWindow(fakes);
    QVERIFY(QTest::qWaitForWindowExposed(second.get()));
    QCOMPARE(second->pnlPagelette->width(), 500);
}

void TestMainWindow::webCommands()
{
    TestServices fakes;
    auto window = startWindow(fakes);
    window->pbButtons->findChild<QToolButton *>("btnHosting")->click();
    window->pbButtons->findChild<QToolButton *>("btnCustom")->click();
    window->pbButtons->findChild<QToolButton *>("btnAdRemove")->click();
    window->mnuSoftware->trigger();
    QCOMPARE(fakes.shell.opened, (QStringList{fakes.services.maker.hostingPage, fakes.services.maker.productsPage,
                                              fakes.services.maker.orderingPage, fakes.services.maker.homePage}));
    fakes.shell.openSucceeds = false;
    window->mnuHosting->trigger();
    QVERIFY(fakes.prompter.texts().last().startsWith(QStringLiteral("Could not load the default client.")));

    window->pbButtons->findChild<QToolButton *>("btnHelp")->click();
    window->mnuContents->trigger();
    QCOMPARE(fakes.help.contentsShown, 2);
}

VENDRIX_TEST(TestMainWindow)
#include "tst_frmmain.moc"
