#include "listtexts.h"
#include "mainwindowtest.h"
#include "testregistry.h"
#include "uifakes.h"

#include "editor/bulletpanel.h"
#include "editor/fontconvert.h"
#include "editor/hrpanel.h"
#include "editor/imagepanel.h"
#include "editor/linkpanel.h"
#include "editor/pagepropertiespanel.h"
#include "editor/textblockpanel.h"
#include "forms/formspanel.h"
#include "widgets/listboxhrz.h"
#include "widgets/memobox.h"
#include "widgets/updown.h"
#include "widgets/whatsthis.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QScrollArea>
#include <QTest>
#include <QPushButton>
#include <QToolButton>
#include <QTreeWidget>

namespace {

// A page with one item of each kind after the page details, as the panels see them.
struct PanelPage
{
    PanelPage()
    {
        page.NewPage();
        page.InsertNewItem(page.Page().Count(), btHeading);
        page.InsertNewItem(page.Page().Count(), btBullet);
        page.InsertNewItem(page.Page().Count(), btHR);
        page.InsertNewItem(page.Page().Count(), btForms);
    }
    TPageItem &item(TBlockType kind)
    {
        for (int i = 0; i < page.Page().Count(); ++i) {
            if (page.Page().Items(i).BlockType == kind)
                return page.Page().Items(i);
        }
        return page.InsertNewItem(page.Page().Count(), kind);
    }
    TPagelette page;
};

// Shows the panel at that size and waits until the window system has it on screen.
bool exposed(QWidget &panel, int width, int height)
{
    panel.resize(width, height);
    panel.show();
    return QTest::qWaitForWindowExposed(&panel);
}

}

class TestPanels : public QObject
{
    Q_OBJECT

private slots:
    void pageDetailsRoundTrip();
    void headingKeepsFontAndMark_data();
    void headingKeepsFontAndMark();
    void headingEnterDoesNotBreakLines();
    void memoKeepsLineBreaksAndSpaces_data();
    void memoKeepsLineBreaksAndSpaces();
    void paragraphRoundTrip();
    void bulletStyleIsEntryIndex_data();
    void bulletStyleIsEntryIndex();
    void hrThicknessAndWidth_data();
    void hrThicknessAndWidth();
    void hrShowDoesNotRecentre();
    void linkEnableRules_data();
    void linkEnableRules();
    void linkRoundTrip();
    void imageStoresOnlyPictureFileName();
    void imageShowsPictureOrNoImage();
    void imageCentring_data();
    void imageCentring();
    void formsGoToThePage();

private:
    QWidget mHost;
    FakeHelpEngine mHelp;
    WhatsThisMenu mWhatsThis{mHelp, &mHost};
};

void TestPanels::pageDetailsRoundTrip()
{
    PanelPage model;
    TPageItem &item = model.item(btPageProperties);
    item.PagePropertiesBlock().PageTitle = QStringLiteral("My Cats");
    item.PagePropertiesBlock().Underline = true;
    item.PagePropertiesBlock().MetaText = QStringLiteral("Keywords\tcats\r\nDescription\tA page\r\n");

    PagePropertiesPanel panel(mWhatsThis);
    panel.fill(item);
    QCOMPARE(panel.txtPageTitle->text(), QStringLiteral("My Cats"));
    QVERIFY(panel.chkLinkUnderline->isChecked());
    QCOMPARE(listTexts(*panel.lstMeta), (QStringList{"Keywords\tcats", "Description\tA page"}));

    panel.txtPageTitle->setText(QStringLiteral("Dogs"));
    panel.lstMeta->addItem(QStringLiteral("Expires\tnever"));
    panel.chkZandorellLogo->setChecked(true);
    TPageItem &other = model.page.InsertNewItem(1, btPageProperties);
    other.PagePropertiesBlock().ThemeName = QStringLiteral("Ocean");
    panel.store(other);
    QCOMPARE(other.PagePropertiesBlock().PageTitle, QStringLiteral("Dogs"));
    QVERIFY(other.PagePropertiesBlock().Underline);
    QCOMPARE(other.PagePropertiesBlock().MetaText, QStringLiteral("Keywords\tcats\r\nDescription\tA page\r\nExpires\tnever\r\n"));
    // The theme is only written by the theme command.
    QCOMPARE(other.PagePropertiesBlock().ThemeName, QStringLiteral("Ocean"));
    QCOMPARE(panel.lstMeta->tabWidth(), 30 * panel.lstMeta->fontMetrics().averageCharWidth() / 4);
}

void TestPanels::headingKeepsFontAndMark_data()
{
    QTest::addColumn<QString>("attributes");
    QTest::addColumn<int>("applyFont");

    QTest::newRow("default") << QStringLiteral("\"Times New Roman\", 12, [], [$00050000]") << 0;
    QTest::newRow("chosen bold red") << QStringLiteral("\"Arial\", 14, [Bold|Underline], [clRed]") << 1;
    QTest::newRow("system colour") << QStringLiteral("\"Courier New\", 10, [Italic], [clWindowText]") << 1;
    QTest::newRow("odd size") << QStringLiteral("\"Verdana\", 11, [], [$00336699]") << 0;
}

void TestPanels::headingKeepsFontAndMark()
{
    QFETCH(QString, attributes);
    QFETCH(int, applyFont);

    PanelPage model;
    TPageItem &item = model.item(btHeading);
    item.HeadingBlock().Heading = QStringLiteral("Welcome");
    item.HeadingBlock().Attributes = attributes;
    item.HeadingBlock().ApplyFont = quint8(applyFont);

    HeadingPanel panel(mWhatsThis);
    panel.fill(item);
    QCOMPARE(panel.fontChosen(), applyFont != 0);
    FontValue expected;
    DescriptionToFont(attributes, expected);
    QCOMPARE(panel.txtHeading->font().family(), expected.name);
    QCOMPARE(panel.txtHeading->font().pointSize(), expected.size);
    QCOMPARE(panel.txtHeading->font().bold(), expected.bold);

    TPageItem &copy = model.page.InsertNewItem(1, btHeading);
    panel.store(copy);
    QCOMPARE(copy.HeadingBlock().Heading, QStringLiteral("Welcome"));
    QCOMPARE(copy.HeadingBlock().Attributes, attributes);
    QCOMPARE(int(copy.HeadingBlock().ApplyFont), applyFont);

    // A font given to the box by a command is what gets stored, and so is the mark.
    FontValue chosen;
    chosen.name = QStringLiteral("Georgia");
    chosen.size = 18;
    chosen.color = 0x0000FF;
    chosen.italic = true;
    FontConvert::setBoxFont(*panel.txtHeading, chosen);
    panel.setFontChosen(true);
    panel.store(copy);
    QCOMPARE(copy.HeadingBlock().Attributes, QStringLiteral("\"Georgia\", 18, [Italic], [clRed]"));
    QCOMPARE(int(copy.HeadingBlock().ApplyFont), 1);
}

void TestPanels::headingEnterDoesNotBreakLines()
{
    HeadingPanel heading(mWhatsThis);
    TextPanel text(mWhatsThis);
    for (MemoBox *box : {heading.txtHeading, text.txtText}) {
        QTest::keyClicks(box, QStringLiteral("ab"));
        QTest::keyClick(box, Qt::Key_Return);
        QTest::keyClicks(box, QStringLiteral("c"));
    }
    QCOMPARE(heading.txtHeading->text(), QStringLiteral("abc"));
    QCOMPARE(text.txtText->text(), QStringLiteral("ab\r\nc"));
}

void TestPanels::memoKeepsLineBreaksAndSpaces_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("readBack");

    QTest::newRow("crlf") << QStringLiteral("one\r\ntwo") << QStringLiteral("one\r\ntwo");
    QTest::newRow("empty line kept") << QStringLiteral("one\r\n\r\ntwo") << QStringLiteral("one\r\n\r\ntwo");
    QTest::newRow("lone cr and lf") << QStringLiteral("a\rb\nc") << QStringLiteral("a\r\nb\r\nc");
    QTest::newRow("non-breaking space") << QStringLiteral("a\u00A0b") << QStringLiteral("a\u00A0b");
    QTest::newRow("tab") << QStringLiteral("a\tb") << QStringLiteral("a\tb");
    QTest::newRow("empty") << QString() << QString();
}

void TestPanels::memoKeepsLineBreaksAndSpaces()
{
    QFETCH(QString, stored);
    QFETCH(QString, readBack);
    MemoBox box;
    box.setText(stored);
    QCOMPARE(box.text(), readBack);
}

void TestPanels::paragraphRoundTrip()
{
    PanelPage model;
    TPageItem &item = model.item(btText);
    item.TextBlock().Text = QStringLiteral("First line\r\n\r\nSecond line");
    TextPanel panel(mWhatsThis);
    panel.fill(item);
    QVERIFY(!panel.fontChosen());
    TPageItem &copy = model.page.InsertNewItem(1, btText);
    copy.TextBlock().Attributes.clear();
    panel.store(copy);
    QCOMPARE(copy.TextBlock().Text, item.TextBlock().Text);
    QCOMPARE(copy.TextBlock().Attributes, defaultFontDescription());
    QCOMPARE(int(copy.TextBlock().ApplyFont), 0);
}

void TestPanels::bulletStyleIsEntryIndex_data()
{
    QTest::addColumn<int>("style");
    QTest::addColumn<QString>("entry");
    QTest::newRow("disc") << int(lsDisc) << "Disc";
    QTest::newRow("square") << int(lsSquare) << "Square";
    QTest::newRow("upper A") << int(lsUpCaseA) << "A";
    QTest::newRow("numbers") << int(lsNum) << "1";
    QTest::newRow("lower roman") << int(lsLoCaseRoman) << "i";
}

void TestPanels::bulletStyleIsEntryIndex()
{
    QFETCH(int, style);
    QFETCH(QString, entry);
    PanelPage model;
    TPageItem &item = model.item(btBullet);
    item.BulletBlock().Style = TListStyle(style);
    item.BulletBlock().Bullets = QStringLiteral("cats\r\ndogs\r\n");
    BulletPanel panel(mWhatsThis);
    QCOMPARE(panel.cbBullets->currentIndex(), 0);
    panel.fill(item);
    QCOMPARE(panel.cbBullets->currentText(), entry);
    TPageItem &copy = model.page.InsertNewItem(1, btBullet);
    panel.store(copy);
    QCOMPARE(int(copy.BulletBlock().Style), style);
    QCOMPARE(copy.BulletBlock().Bullets, QStringLiteral("cats\r\ndogs\r\n"));
}

void TestPanels::hrThicknessAndWidth_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("height");
    QTest::addColumn<QString>("entry");
    QTest::addColumn<int>("ups");
    QTest::addColumn<int>("downs");
    QTest::addColumn<int>("percent");
    QTest::newRow("thinnest; at the top stays 100") << 0 << 3 << "1 Thinnest" << 1 << 0 << 100;
    QTest::newRow("thin; one step down") << 2 << 9 << "3 Thin" << 0 << 1 << 95;
    QTest::newRow("thickest; half") << 5 << 18 << "6 Thickest" << 0 << 10 << 50;
    QTest::newRow("thinnest; odd step rounds") << 0 << 3 << "1 Thinnest" << 0 << 17 << 15;
    QTest::newRow("thin; floor is 5") << 2 << 9 << "3 Thin" << 0 << 25 << 5;
}

// The thickness list sets the bar's height; the width clicks clamp, and centre the bar.
void TestPanels::hrThicknessAndWidth()
{
    QFETCH(int, index);
    QFETCH(int, height);
    QFETCH(QString, entry);
    QFETCH(int, ups);
    QFETCH(int, downs);
    QFETCH(int, percent);
    HRPanel panel(mWhatsThis);
    QVERIFY(exposed(panel, 420, 400));
    // Choosing from the list as a user does: open it and pick with the keyboard.
    panel.cbHR->setFocus();
    panel.cbHR->setCurrentIndex(0);
    for (int i = 0; i < index; ++i)
        QTest::keyClick(panel.cbHR, Qt::Key_Down);
    QCOMPARE(panel.cbHR->currentText(), entry);
    QCOMPARE(panel.shpHR->height(), height);

    panel.recordFullWidth();
    QCOMPARE(panel.fullWidth(), 250);
    for (int i = 0; i < ups; ++i)
        QTest::mouseClick(panel.updnHRWidth->upButton(), Qt::LeftButton);
    for (int i = 0; i < downs; ++i)
        QTest::mouseClick(panel.updnHRWidth->downButton(), Qt::LeftButton);
    QCOMPARE(panel.updnHRWidth->position(), percent);
    QCOMPARE(panel.txtHRWidth->text(), QString::number(percent));
    const int width = qRound(250 * percent / 100.0);
    QCOMPARE(panel.shpHR->width(), width);
    QCOMPARE(panel.shpHR->x(), (panel.pnlHRPreview->width() - width) / 2);
    QCOMPARE(panel.shpHR->height(), height);

    PanelPage model;
    TPageItem &copy = model.item(btHR);
    panel.store(copy);
    QCOMPARE(copy.HRBlock().Size, index);
    QCOMPARE(copy.HRBlock().Width, percent);
}

void TestPanels::hrShowDoesNotRecentre()
{
    HRPanel panel(mWhatsThis);
    QVERIFY(exposed(panel, 420, 400));
    panel.recordFullWidth();
    QTest::mouseClick(panel.updnHRWidth->downButton(), Qt::LeftButton);
    const int left = panel.shpHR->x();

    PanelPage model;
    TPageItem &item = model.item(btHR);
    item.HRBlock().Width = 40;
    item.HRBlock().Size = 3;
    item.HRBlock().NoShade = true;
    panel.fill(item);
    QCOMPARE(panel.shpHR->width(), 100);
    QCOMPARE(panel.shpHR->height(), 12);
    QCOMPARE(panel.shpHR->x(), left);
    QCOMPARE(panel.cbHR->currentIndex(), 3);
    QVERIFY(panel.chkNoShade->isChecked());
    QCOMPARE(panel.txtHRWidth->text(), QStringLiteral("40"));
    QVERIFY(!panel.txtHRWidth->focusPolicy());

    // A window made narrower keeps the bar inside its strip.
    panel.resize(1000, 400);
    QTest::mouseClick(panel.updnHRWidth->upButton(), Qt::LeftButton);
    const int rightBefore = panel.shpHR->geometry().right();
    panel.resize(420, 400);
    QTRY_VERIFY(panel.pnlHRPreview->width() <= rightBefore);
    QVERIFY(panel.shpHR->x() >= 0);
    QVERIFY(panel.shpHR->geometry().right() < panel.pnlHRPreview->width());

    // A thickness the list does not offer is stored as it was read.
    item.HRBlock().Size = 9;
    panel.fill(item);
    panel.store(item);
    QCOMPARE(item.HRBlock().Size, 9);
}

void TestPanels::linkEnableRules_data()
{
    QTest::addColumn<bool>("useDropBox");
    QTest::addColumn<QString>("entries");
    QTest::addColumn<bool>("addEnabled");
    QTest::addColumn<bool>("removeEnabled");

    QTest::newRow("off, empty") << false << QString() << false << false;
    QTest::newRow("off, with entries") << false << QStringLiteral("http://a\tA\r\n") << false << false;
    QTest::newRow("on, empty") << true << QString() << true << false;
    QTest::newRow("on, with entries") << true << QStringLiteral("http://a\tA\r\nmailto:b@c\tB\r\n") << true << true;
}

void TestPanels::linkEnableRules()
{
    QFETCH(bool, useDropBox);
    QFETCH(QString, entries);
    QFETCH(bool, addEnabled);
    QFETCH(bool, removeEnabled);

    LinkPanel panel(mWhatsThis);
    QVERIFY(!panel.btnLinkAdd->isEnabled());
    QVERIFY(!panel.btnLinkRemove->isEnabled());
    QVERIFY(!panel.btnLinkEdit->isEnabled());

    PanelPage model;
    TPageItem &item = model.item(btLink);
    item.LinkBlock().UseDropBox = useDropBox;
    item.LinkBlock().DropBoxText = entries;
    panel.fill(item);
    QCOMPARE(panel.btnLinkAdd->isEnabled(), addEnabled);
    QCOMPARE(panel.btnLinkRemove->isEnabled(), removeEnabled);
    QCOMPARE(panel.btnLinkEdit->isEnabled(), removeEnabled);
    QCOMPARE(panel.lstLinks->isEnabled(), useDropBox);

    // The user flips the box: the rules follow at once.
    panel.chkLink->click();
    QCOMPARE(panel.btnLinkAdd->isEnabled(), !useDropBox);
    QCOMPARE(panel.btnLinkRemove->isEnabled(), !useDropBox && !entries.isEmpty());
    QCOMPARE(panel.lstLinks->isEnabled(), !useDropBox);
}

void TestPanels::linkRoundTrip()
{
    PanelPage model;
    TPageItem &item = model.item(btLink);
    item.LinkBlock().LinkURL = QStringLiteral("me@example.com");
    item.LinkBlock().LinkText = QStringLiteral("Write to me");
    item.LinkBlock().Email = true;
    item.LinkBlock().UseDropBox = true;
    item.LinkBlock().DropBoxText = QStringLiteral("http://a\tA\r\n");
    item.LinkBlock().Align = QStringLiteral("kept");
    LinkPanel panel(mWhatsThis);
    panel.fill(item);
    TPageItem &copy = model.page.InsertNewItem(1, btLink);
    copy.LinkBlock().Align = QStringLiteral("own");
    panel.store(copy);
    QCOMPARE(copy.LinkBlock().LinkURL, item.LinkBlock().LinkURL);
    QCOMPARE(copy.LinkBlock().LinkText, item.LinkBlock().LinkText);
    QVERIFY(copy.LinkBlock().Email);
    QVERIFY(copy.LinkBlock().UseDropBox);
    QCOMPARE(copy.LinkBlock().DropBoxText, item.LinkBlock().DropBoxText);
    QCOMPARE(copy.LinkBlock().Align, QStringLiteral("own"));
    QCOMPARE(panel.lstLinks->tabWidth(), 20 * panel.lstLinks->fontMetrics().averageCharWidth() / 4);
}

void TestPanels::imageStoresOnlyPictureFileName()
{
    TestDataFolder data;
    PanelPage model;
    TPageItem &item = model.item(btImage);
    item.ImageBlock().FileName = QStringLiteral("cat.gif");
    item.ImageBlock().Height = QStringLiteral("40");
    item.ImageBlock().Width = QStringLiteral("60");
    item.ImageBlock().Align = QStringLiteral("ABSMIDDLE");
    item.ImageBlock().Alt = QStringLiteral("A cat");
    item.ImageBlock().ImageLink = QStringLiteral("http://cats.example/");
    item.ImageBlock().ImagePath = QStringLiteral("kept");

    ImagePanel panel(data.folder(), mWhatsThis);
    panel.fill(item);
    QCOMPARE(panel.picturePath(), data.folder().imagesFolder() + QStringLiteral("cat.gif"));
    QCOMPARE(panel.txtImageFile->text(), QStringLiteral("cat.gif"));
    QCOMPARE(panel.cbImageAlign->currentText(), QStringLiteral("ABSMIDDLE"));

    // What is typed into the file box does not change the picture.
    panel.txtImageFile->setText(QStringLiteral("dog.gif"));
    panel.cbImageAlign->setEditText(QString());
    TPageItem &copy = model.page.InsertNewItem(1, btImage);
    panel.store(copy);
    QCOMPARE(copy.ImageBlock().FileName, QStringLiteral("cat.gif"));
    QCOMPARE(copy.ImageBlock().Height, QStringLiteral("40"));
    QCOMPARE(copy.ImageBlock().Width, QStringLiteral("60"));
    QCOMPARE(copy.ImageBlock().Align, QString());
    QCOMPARE(copy.ImageBlock().Alt, QStringLiteral("A cat"));
    QCOMPARE(copy.ImageBlock().ImageLink, QStringLiteral("http://cats.example/"));
    QVERIFY(copy.ImageBlock().ImagePath.isEmpty());

    // A picture chosen elsewhere is stored by its file name alone.
    panel.setPicturePath(QStringLiteral("/somewhere/else/bird.jpg"));
    panel.store(copy);
    QCOMPARE(copy.ImageBlock().FileName, QStringLiteral("bird.jpg"));
}

void TestPanels::imageShowsPictureOrNoImage()
{
    TestDataFolder data;
    MainWindowTest::savePicture(data.folder().imagesFolder() + QStringLiteral("red.bmp"), QSize(30, 20), Qt::red);
    data.writeFile(QStringLiteral("Upload/images/broken.gif"), "not a picture");

    ImagePanel panel(data.folder(), mWhatsThis);
    QVERIFY(exposed(panel, 400, 500));
    PanelPage model;
    TPageItem &item = model.item(btImage);

    item.ImageBlock().FileName = QStringLiteral("red.bmp");
    panel.fill(item);
    QVERIFY(!panel.lblNoImage->isVisible());
    QCOMPARE(panel.imgImageView->size(), QSize(30, 20));

    // A file that cannot be read leaves the preview as it was, without a message.
    item.ImageBlock().FileName = QStringLiteral("broken.gif");
    panel.fill(item);
    QCOMPARE(panel.imgImageView->size(), QSize(30, 20));
    QVERIFY(!panel.lblNoImage->isVisible());

    item.ImageBlock().FileName = QStringLiteral("missing.gif");
    panel.fill(item);
    QVERIFY(panel.lblNoImage->isVisible());
    QVERIFY(panel.imgImageView->pixmap().isNull());
    const QSize box = panel.sboxImages->viewport()->size();
    QCOMPARE(panel.lblNoImage->x(), (box.width() - panel.lblNoImage->width()) / 2);
    QCOMPARE(panel.lblNoImage->y(), (box.height() - panel.lblNoImage->height()) / 2);

    // No file name means the images folder itself, which is no picture.
    item.ImageBlock().FileName.clear();
    panel.fill(item);
    QVERIFY(panel.lblNoImage->isVisible());
}

void TestPanels::imageCentring_data()
{
    QTest::addColumn<QSize>("picture");
    QTest::addColumn<bool>("widerThanBox");
    QTest::addColumn<bool>("tallerThanBox");
    QTest::newRow("small") << QSize(41, 31) << false << false;
    QTest::newRow("wide") << QSize(2000, 10) << true << false;
    QTest::newRow("tall and wide") << QSize(2000, 1500) << true << true;
}

void TestPanels::imageCentring()
{
    QFETCH(QSize, picture);
    QFETCH(bool, widerThanBox);
    QFETCH(bool, tallerThanBox);
    TestDataFolder data;
    MainWindowTest::savePicture(data.folder().imagesFolder() + QStringLiteral("p.bmp"), picture, Qt::blue);

    ImagePanel panel(data.folder(), mWhatsThis);
    QVERIFY(exposed(panel, 400, 500));
    PanelPage model;
    TPageItem &item = model.item(btImage);
    item.ImageBlock().FileName = QStringLiteral("p.bmp");
    panel.fill(item);
    const QSize box = panel.sboxImages->viewport()->size();
    QCOMPARE(panel.imgImageView->x(), widerThanBox ? 12 : (box.width() - picture.width()) / 2);
    QCOMPARE(panel.imgImageView->y(), tallerThanBox ? 12 : (box.height() - picture.height()) / 2);
}

void TestPanels::formsGoToThePage()
{
    PanelPage model;
    model.page.Email = QStringLiteral("me@example.com");
    model.page.Subject = QStringLiteral("Hello");
    model.page.Redirect = QStringLiteral("http://example.com/thanks");
    TPageItem &item = model.item(btForms);
    FormsPanel panel(mWhatsThis);
    QVERIFY(!panel.btnFormClear->isEnabled());
    panel.fill(item);
    QCOMPARE(panel.txtFormAddress->text(), QStringLiteral("me@example.com"));
    QCOMPARE(panel.txtFormSubject->text(), QStringLiteral("Hello"));
    QCOMPARE(panel.txtFormURL->text(), QStringLiteral("http://example.com/thanks"));
    QVERIFY(!panel.btnFormClear->isEnabled());

    model.page.WebForm().AddElement().Name = QStringLiteral("Name");
    panel.fill(item);
    QVERIFY(panel.btnFormClear->isEnabled());

    panel.txtFormSubject->setText(QStringLiteral("Order"));
    panel.store(item);
    QCOMPARE(model.page.Subject, QStringLiteral("Order"));
    QCOMPARE(model.page.Email, QStringLiteral("me@example.com"));
}

VENDRIX_TEST(TestPanels)
#include "tst_panels.moc"
