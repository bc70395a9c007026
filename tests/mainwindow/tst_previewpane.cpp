#include "accessibility.h"
#include "mainwindowtest.h"
#include "testfiles.h"
#include "testregistry.h"
#include "uifakes.h"

#include "editor/pagepropertiespanel.h"
#include "mainwindow/buttonbar.h"
#include "mainwindow/frmmain.h"
#include "mainwindow/previewpane.h"
#include "themes/frmtheme.h"
#include "themes/themestore.h"
#include "widgets/htmlviewer.h"
#include "widgets/listboxhrz.h"
#include "widgets/whatsthis.h"

#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTextBrowser>
#include <QTest>
#include <QToolButton>

namespace {

// A 1 x 1 GIF of one colour: Qt reads GIF through its plugin but cannot write it.
QByteArray gifOf(QColor colour)
{
    QByteArray gif = QByteArray::fromHex("474946383961010001008000000000000000002c00000000010001000002024401003b");
    gif[13] = char(colour.red());
    gif[14] = char(colour.green());
    gif[15] = char(colour.blue());
    return gif;
}

void writePicture(const QString &path, QColor colour, const char *format)
{
    if (qstrcmp(format, "GIF") == 0)
        writeFile(path, gifOf(colour));
    else
        MainWindowTest::savePicture(path, QSize(16, 16), colour, format);
}

// Whether the viewer shows the colour somewhere (near enough for JPEG).
bool shows(HtmlViewer &viewer, QColor colour)
{
    const QImage shot = viewer.grab().toImage();
    for (int y = 0; y < shot.height(); ++y) {
        for (int x = 0; x < shot.width(); ++x) {
            const QColor seen = shot.pixelColor(x, y);
            if (qAbs(seen.red() - colour.red()) + qAbs(seen.green() - colour.green()) + qAbs(seen.blue() - colour.blue()) <= 9)
                return true;
        }
    }
    return false;
}

TThemeItem &addTheme(TWebTheme &store, const QString &name, const QString &picture, const QString &margin, qint32 bg)
{
    TThemeItem &theme = store.Items().Add();
    theme.ThemeName = name;
    theme.BGImage = picture;
    theme.LeftMargin = margin;
    theme.BGColor = bg;
    theme.TextColor = 0x000001;
    theme.LinkColor = 0x000002;
    theme.ALinkColor = 0x000003;
    theme.VLinkColor = 0x000004;
    return theme;
}

const QColor kPictureColour(200, 30, 40);
const QColor kBackgroundColour(20, 160, 90);

}

// The preview area driven through its controls, with every seam faked.
class TestPreviewPane : public QObject
{
    Q_OBJECT

private slots:
    void viewPageShowsPictures_data();
    void viewPageShowsPictures();
    void snapshotKeptAndLinksNotFollowed();
    void themeClickAppliesAndRebuilds();
    void controlsAndThemeListToggle();
    void externalPreview();
    void themeCommand_data();
    void themeCommand();

private:
    // A window after its start-up over three themes: Default, Sky (background picture,
    // margin 40) and Night; the page holds its default picture item as "dot.gif".
    std::unique_ptr<TfrmMain> startWindow(TestServices &fakes)
    {
        TWebTheme store;
        addTheme(store, "Default", "", "0", 0xFFFFFF);
        addTheme(store, "Sky", "sky.bmp", "40", 0xFFFFFF);
        addTheme(store, "Night", "", "0", 0x102030);
        [&] { QVERIFY(ThemeStore::save(fakes.data.folder().themesFile(), store, nullptr)); }();
        writePicture(fakes.data.folder().backgroundsFolder() + "sky.bmp", kBackgroundColour, "BMP");
        auto window = MainWindowTest::startWindow(fakes);
        TImageBlock &image = window->page().Page().Items(1).ImageBlock();
        image.FileName = QStringLiteral("dot.gif");
        image.Width = QStringLiteral("40");
        image.Height = QStringLiteral("30");
        return window;
    }

    static TPagePropertiesBlock &details(TfrmMain &window)
    {
        return window.page().Page().Items(0).PagePropertiesBlock();
    }

    static void clickTheme(TfrmMain &window, int row)
    {
        TListBoxHrz *list = window.lstThemes;
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(row)).center());
    }

    MainWindowTest::DataHomeSandbox mSandbox;
};

void TestPreviewPane::viewPageShowsPictures_data()
{
    QTest::addColumn<QByteArray>("format");
    QTest::newRow("GIF") << QByteArray("GIF");
    QTest::newRow("JPEG") << QByteArray("JPEG");
    QTest::newRow("BMP") << QByteArray("BMP");
    QTest::newRow("PNG") << QByteArray("PNG");
}

void TestPreviewPane::viewPageShowsPictures()
{
    QFETCH(QByteArray, format);
    TestServices fakes;
    auto window = startWindow(fakes);
    // The extension says GIF whatever the content: the reader goes by the content.
    writePicture(fakes.data.folder().imagesFolder() + "dot.gif", kPictureColour, format.constData());
    QVERIFY(!window->changed());
    PreviewPane &pane = *window->pnlPreview;
    QVERIFY(!shows(*pane.browser, kPictureColour));

    window->pbButtons->btnPreview->click();
    QCOMPARE(window->pnlWork->currentWidget(), window->pnlPreview);
    QVERIFY(window->pbButtons->btnPreview->isChecked());
    // Looking at the page changes nothing in it.
    QVERIFY(!window->changed());
    QCOMPARE(pane.browser->baseFolder(), fakes.data.folder().uploadFolder().chopped(1));
    QVERIFY(shows(*pane.browser, kPictureColour));
}

void TestPreviewPane::snapshotKeptAndLinksNotFollowed()
{
    TestServices fakes;
    auto window = startWindow(fakes);
    writeFile(fakes.data.folder().uploadFolder() + "other.html", "<HTML><BODY>Elsewhere</BODY></HTML>");
    TLinkBlock &link = window->page().Page().Items(2).LinkBlock();
    link.LinkURL = QStringLiteral("other.html");
    link.LinkText = QStringLiteral("Go there");
    window->pbButtons->btnPreview->click();
    // The windows' tests see pages through the simple viewer.
    QTextBrowser &browser = *window->pnlPreview->browser->findChild<QTextBrowser *>();
    const QString shown = browser.toPlainText();
    QVERIFY(shown.contains("Go there"));

    emit browser.anchorClicked(QUrl("other.html"));
    QCOMPARE(browser.toPlainText(), shown);

    // Back to the building area (toggled, as assistive tools press it): the preview
    // keeps what it showed until it is rebuilt.
    window->pbButtons->btnCreate->toggle();
    QCOMPARE(window->pnlWork->currentWidget(), window->pnlCreate);
    link.LinkText = QStringLiteral("Changed");
    QCOMPARE(browser.toPlainText(), shown);
}

void TestPreviewPane::themeClickAppliesAndRebuilds()
{
    TestServices fakes;
    auto window = startWindow(fakes);
    window->pnlPageProp->txtPageTitle->setText(QStringLiteral("Kept"));
    PreviewPane &pane = *window->pnlPreview;
    window->pbButtons->btnPreview->click();
    QVERIFY(!shows(*pane.browser, kBackgroundColour));
    QCOMPARE(window->lstThemes->currentRow(), 0);

    clickTheme(*window, 1);
    const TPagePropertiesBlock &page = details(*window);
    QCOMPARE(page.ThemeName, QStringLiteral("Sky"));
    QCOMPARE(page.Background, QStringLiteral("sky.bmp"));
    QCOMPARE(page.IndentMargin, QStringLiteral("40"));
    QCOMPARE((QList<qint32>{page.BGColor, page.TextColor, page.LinkColor, page.ALinkColor, page.VLinkColor}),
             (QList<qint32>{0xFFFFFF, 1, 2, 3, 4}));
    QCOMPARE(page.PageTitle, QStringLiteral("Kept"));
    QVERIFY(shows(*pane.browser, kBackgroundColour));

    // Moving on with the keys tries the next theme.
    QTest::keyClick(window->lstThemes, Qt::Key_Down);
    QCOMPARE(page.ThemeName, QStringLiteral("Night"));
    QCOMPARE(page.Background, QString());
    QCOMPARE(page.IndentMargin, QStringLiteral("0"));
    QVERIFY(shows(*pane.browser, QColor(0x30, 0x20, 0x10)));
    QVERIFY(!shows(*pane.browser, kBackgroundColour));
    QCOMPARE(window->lstThemes->currentRow(), 2);

    // Undo takes the theme back, and the preview in front shows the page as it is.
    window->undo();
    QCOMPARE(details(*window).ThemeName, QStringLiteral("Sky"));
    QCOMPARE(window->lstThemes->currentRow(), 1);
    QVERIFY(shows(*pane.browser, kBackgroundColour));
}

void TestPreviewPane::controlsAndThemeListToggle()
{
    TestServices fakes;
    auto window = startWindow(fakes);
    window->pbButtons->btnPreview->click();
    PreviewPane &pane = *window->pnlPreview;
    VERIFY_CONTROLS_NAMED(pane);
    QCOMPARE((QStringList{pane.btnToggle->toolTip(), pane.btnThemeEdit->toolTip(), pane.btnExternalView->toolTip()}),
             (QStringList{"Toggle Page Themes", "Edit Page Themes", "View with default web browser"}));
    QCOMPARE(HelpContext::of(*pane.browser), 76);
    QVERIFY(pane.btnToggle->isChecked());
    const int width = pane.browser->width();

    pane.btnToggle->click();
    QVERIFY(!pane.lstThemes->isVisible());
    QVERIFY(!pane.pnlThemeSpacer->isVisible());
    QTRY_COMPARE(pane.browser->width(), width + pane.lstThemes->width() + pane.pnlThemeSpacer->width());

    pane.btnToggle->click();
    QVERIFY(pane.lstThemes->isVisible());
    QVERIFY(pane.pnlThemeSpacer->isVisible());
    QTRY_COMPARE(pane.browser->width(), width);
}

void TestPreviewPane::externalPreview()
{
    TestServices fakes;
    auto window = startWindow(fakes);
    const QString temporary = fakes.data.folder().documentsFolder() + "~tmp.html";
    window->pnlPreview->btnExternalView->click();
    QCOMPARE(fakes.shell.opened, QStringList{temporary});
    QVERIFY(readFile(temporary).contains("<IMG SRC=\"../Upload/images/dot.gif\""));
    QVERIFY(fakes.prompter.boxes.isEmpty());
}

void TestPreviewPane::themeCommand_data()
{
    QTest::addColumn<bool>("fromPreview");
    QTest::addColumn<bool>("ok");
    QTest::newRow("page details, OK") << false << true;
    QTest::newRow("page details, Cancel") << false << false;
    QTest::newRow("Edit Themes, OK") << true << true;
    QTest::newRow("Edit Themes, Cancel") << true << false;
}

void TestPreviewPane::themeCommand()
{
    QFETCH(bool, fromPreview);
    QFETCH(bool, ok);
    TestServices fakes;
    auto window = startWindow(fakes);
    fakes.modal.expect([&](QDialog &shown) {
        auto &dialog = static_cast<TfrmTheme &>(shown);
        [&] { QCOMPARE(dialog.selectedTheme(), 0); }();
        dialog.lstEditThemes->setCurrentRow(1);
        (ok ? dialog.btnOK : dialog.btnCancel)->click();
        return dialog.result();
    });
    if (fromPreview) {
        window->pbButtons->btnPreview->click();
        window->pnlPreview->btnThemeEdit->click();
    } else {
        window->pnlPageProp->btnTheme->click();
    }
    QCOMPARE(fakes.modal.shownClasses, QStringList{"TfrmTheme"});
    QCOMPARE(details(*window).ThemeName, ok ? QStringLiteral("Sky") : QStringLiteral("Default"));
    QCOMPARE(details(*window).IndentMargin, ok ? QStringLiteral("40") : QStringLiteral("0"));
    // The main window's list follows the editor's selection whichever way it closed.
    QCOMPARE(window->lstThemes->currentRow(), 1);
    QCOMPARE(window->pnlWork->currentWidget(), fromPreview ? static_cast<QWidget *>(window->pnlPreview) : window->pnlCreate);
    QCOMPARE(shows(*window->pnlPreview->browser, kBackgroundColour), fromPreview && ok);
}

VENDRIX_TEST(TestPreviewPane)
#include "tst_previewpane.moc"
