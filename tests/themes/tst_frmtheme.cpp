#include "accessibility.h"
#include "listtexts.h"
#include "testfiles.h"
#include "testregistry.h"
#include "uifakes.h"

#include "model/pagelette.h"
#include "themes/frmtheme.h"
#include "themes/palette.h"
#include "themes/themestore.h"
#include "widgets/frmcolor.h"
#include "widgets/listboxhrz.h"
#include "widgets/rowdrag.h"
#include "widgets/updown.h"

#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

namespace {

QString writePicture(const QString &path, QColor colour)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(colour);
    image.save(path, "BMP");
    return path;
}

// The theme window over a store of named themes (margin "20"), its list a copy of the
// main window's theme list.
struct Editor
{
    explicit Editor(const QStringList &names)
    {
        for (const QString &name : names) {
            TThemeItem &theme = store.Items().Add();
            theme.ThemeName = name;
            theme.LeftMargin = QStringLiteral("20");
            theme.BGColor = 0x123456;
        }
        themeList.addItems(names);
        QFile::remove(fakes.data.folder().themesFile());
        dialog = std::make_unique<TfrmTheme>(fakes.services, palette, store, themeList);
    }
    void edit(int row)
    {
        dialog->lstEditThemes->setCurrentRow(row);
        dialog->btnEdit->click();
    }
    void type(QLineEdit *box, const QString &text)
    {
        box->selectAll();
        QTest::keyClick(box, Qt::Key_Backspace);
        QTest::keyClicks(box, text);
    }
    QStringList fileNames() const
    {
        auto saved = ThemeStore::load(fakes.data.folder().themesFile(), nullptr);
        return saved ? ThemeStore::themeNames(*saved) : QStringList{"<not written>"};
    }

    TestServices fakes;
    PaletteTable palette;
    TWebTheme store;
    TListBoxHrz themeList;
    std::unique_ptr<TfrmTheme> dialog;
};

}

class TestThemeEditor : public QObject
{
    Q_OBJECT

private slots:
    void duplicateNames_data()
    {
        QTest::addColumn<int>("editRow"); // -1: Add with no theme selected
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("names"); // empty: refused

        QTest::newRow("rename only in letter case") << 0 << "blue" << QStringList();
        QTest::newRow("rename onto another theme") << 0 << "RED" << QStringList();
        QTest::newRow("rename") << 0 << "Navy" << QStringList{"Navy", "Red"};
        QTest::newRow("keep own name") << 1 << "Red" << QStringList{"Blue", "Red"};
        QTest::newRow("add existing name") << -1 << "red" << QStringList();
        QTest::newRow("add appends and selects") << -1 << "Green" << QStringList{"Blue", "Red", "Green"};
    }

    void duplicateNames()
    {
        QFETCH(int, editRow);
        QFETCH(QString, typed);
        QFETCH(QStringList, names);
        Editor editor({"Blue", "Red"});
        TfrmTheme &dialog = *editor.dialog;
        if (editRow >= 0)
            editor.edit(editRow);
        else
            dialog.btnAdd->click();
        QCOMPARE(dialog.windowTitle(), editRow >= 0 ? QStringLiteral("Page Themes - Edit") : QStringLiteral("Page Themes - Add"));
        QVERIFY(!dialog.btnOK->isEnabled());
        editor.type(dialog.txtDescription, typed);
        dialog.btnApply->click();

        if (names.isEmpty()) {
            QCOMPARE(editor.fakes.prompter.texts(), QStringList{"There is already a Theme with this name."});
            QCOMPARE(editor.fakes.prompter.beeps, 1);
            QVERIFY(dialog.pnlEdit->isVisibleTo(&dialog));
            QCOMPARE(ThemeStore::themeNames(editor.store), (QStringList{"Blue", "Red"}));
            QVERIFY(!dialog.themesChanged());
            return;
        }
        QVERIFY(editor.fakes.prompter.boxes.isEmpty());
        QVERIFY(!dialog.pnlEdit->isVisibleTo(&dialog));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Page Themes"));
        QCOMPARE(ThemeStore::themeNames(editor.store), names);
        QCOMPARE(listTexts(*dialog.lstEditThemes), names);
        QCOMPARE(dialog.selectedTheme(), editRow >= 0 ? editRow : names.size() - 1);
        QVERIFY(dialog.themesChanged());
        if (editRow < 0) {
            const TThemeItem &added = editor.store.Items().Items(names.size() - 1);
            QCOMPARE(added.LeftMargin, QStringLiteral("0"));
            QCOMPARE((QList<qint32>{added.BGColor, added.TextColor, added.LinkColor, added.ALinkColor, added.VLinkColor}),
                     (QList<qint32>{0xFFFFFF, 0x000000, 0xFF0000, 0x0000FF, 0x800080}));
        }
    }

    void deletingCountsAsChange_data()
    {
        QTest::addColumn<bool>("yes");
        QTest::addColumn<QStringList>("names");
        QTest::newRow("No") << false << QStringList{"Blue", "Red", "Gold"};
        QTest::newRow("Yes") << true << QStringList{"Blue", "Gold"};
    }

    void deletingCountsAsChange()
    {
        QFETCH(bool, yes);
        QFETCH(QStringList, names);
        Editor editor({"Blue", "Red", "Gold"});
        TfrmTheme &dialog = *editor.dialog;
        dialog.lstEditThemes->setCurrentRow(1);
        editor.fakes.prompter.answer(yes ? Prompter::Yes : Prompter::No);
        dialog.btnRemove->click();
        QCOMPARE(editor.fakes.prompter.texts(), QStringList{"Do you want to delete the selected Theme?"});
        QCOMPARE(editor.fakes.prompter.beeps, 1);
        QCOMPARE(ThemeStore::themeNames(editor.store), names);
        QCOMPARE(dialog.btnRemove->isEnabled(), !yes);

        // Cancel only decides that nothing is applied: the change is written all the same.
        dialog.btnCancel->click();
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QCOMPARE(editor.fileNames(), names);
        QCOMPARE(listTexts(editor.themeList), names);
    }

    void marginAsStored_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("arrowUps");
        QTest::addColumn<QString>("stored");

        // The theme's margin is 20.
        QTest::newRow("leading zero") << "035" << 0 << "35";
        QTest::newRow("largest") << "500" << 0 << "500";
        QTest::newRow("beyond the range") << "999" << 0 << "20";
        QTest::newRow("empty") << "" << 0 << "20";
        QTest::newRow("letters dropped") << "4x5" << 0 << "45";
        QTest::newRow("typed then arrow") << "35" << 1 << "45";
        QTest::newRow("beyond the range then arrow") << "999" << 1 << "30";
    }

    void marginAsStored()
    {
        QFETCH(QString, typed);
        QFETCH(int, arrowUps);
        QFETCH(QString, stored);
        Editor editor({"Blue"});
        TfrmTheme &dialog = *editor.dialog;
        editor.edit(0);
        QCOMPARE(dialog.txtLeftMargin->text(), QStringLiteral("20"));
        editor.type(dialog.txtLeftMargin, typed);
        for (int i = 0; i < arrowUps; ++i)
            QTest::mouseClick(dialog.updnLeftMargin->upButton(), Qt::LeftButton);
        dialog.btnApply->click();
        QCOMPARE(editor.store.Items().Items(0).LeftMargin, stored);
        QCOMPARE(dialog.txtLeftMargin->text(), stored);
    }

    void backgroundPicture_data()
    {
        QTest::addColumn<QColor>("existing"); // the colour of backgrounds/sky.bmp; invalid: none
        QTest::addColumn<bool>("fromBackgrounds");
        QTest::addColumn<bool>("cleared");
        QTest::addColumn<bool>("brokenFolder");
        QTest::addColumn<QString>("bgImage");
        QTest::addColumn<QStringList>("files");

        const QColor none;
        QTest::newRow("browse, clear, apply") << none << false << true << false << "" << QStringList();
        QTest::newRow("new name copied") << none << false << false << false << "sky.bmp" << QStringList{"sky.bmp"};
        QTest::newRow("identical file not copied") << QColor(Qt::green) << false << false << false << "sky.bmp"
                                                   << QStringList{"sky.bmp"};
        QTest::newRow("other file of that name") << QColor(Qt::red) << false << false << false << "sky-2.bmp"
                                                 << QStringList{"sky-2.bmp", "sky.bmp"};
        QTest::newRow("picked in the folder") << QColor(Qt::green) << true << false << false << "sky.bmp"
                                              << QStringList{"sky.bmp"};
        QTest::newRow("copy fails") << none << false << false << true << "old.bmp" << QStringList();
    }

    void backgroundPicture()
    {
        QFETCH(QColor, existing);
        QFETCH(bool, fromBackgrounds);
        QFETCH(bool, cleared);
        QFETCH(bool, brokenFolder);
        QFETCH(QString, bgImage);
        QFETCH(QStringList, files);
        Editor editor({"Blue"});
        const QString backgrounds = editor.fakes.data.folder().backgroundsFolder();
        QDir(backgrounds).removeRecursively();
        if (existing.isValid())
            writePicture(backgrounds + "sky.bmp", existing);
        if (brokenFolder)
            writeFile(backgrounds.chopped(1), "a file where the folder belongs");
        QTemporaryDir elsewhere;
        const QString chosen = fromBackgrounds ? backgrounds + "sky.bmp" : writePicture(elsewhere.filePath("sky.bmp"), Qt::green);
        editor.store.Items().Items(0).BGImage = QStringLiteral("old.bmp");

        TfrmTheme &dialog = *editor.dialog;
        editor.edit(0);
        editor.fakes.pictureDialog.choose(chosen);
        dialog.btnBrowse->click();
        QCOMPARE(editor.fakes.pictureDialog.runs.last().initialDir, backgrounds);
        QVERIFY(editor.fakes.pictureDialog.runs.last().filter.startsWith(QStringLiteral("Image Files|*.png;")));
        QCOMPARE(dialog.txtBackground->text(), QStringLiteral("sky.bmp"));
        QVERIFY(dialog.imgBG->isVisibleTo(&dialog));
        QVERIFY(!dialog.lblNoImage->isVisibleTo(&dialog));
        if (cleared) {
            dialog.btnClearImage->click();
            QVERIFY(dialog.txtBackground->text().isEmpty());
            QVERIFY(dialog.lblNoImage->isVisibleTo(&dialog));
        }
        dialog.btnApply->click();

        QCOMPARE(editor.store.Items().Items(0).BGImage, bgImage);
        QCOMPARE(dialog.pnlEdit->isVisibleTo(&dialog), brokenFolder);
        if (brokenFolder) {
            QCOMPARE(editor.fakes.prompter.boxes.size(), 1);
            QVERIFY(editor.fakes.prompter.boxes.first().text.startsWith("Cannot copy"));
            return;
        }
        QCOMPARE(QDir(backgrounds).entryList(QDir::Files, QDir::Name), files);
        if (!bgImage.isEmpty())
            QCOMPARE(readFile(backgrounds + bgImage), readFile(chosen));
    }

    // A picture missing from the backgrounds folder stays the theme's through Apply.
    void missingPictureKeptOnApply()
    {
        Editor editor({"Blue", "Green"});
        editor.store.Items().Items(1).BGImage = QStringLiteral("gone.bmp");
        TfrmTheme &dialog = *editor.dialog;
        editor.edit(1);
        QVERIFY(dialog.lblNoImage->isVisibleTo(&dialog));
        QCOMPARE(dialog.txtBackground->text(), QStringLiteral("gone.bmp"));
        dialog.btnApply->click();
        QCOMPARE(editor.store.Items().Items(1).BGImage, QStringLiteral("gone.bmp"));
    }

    void dragReorderIsWrittenAndReadBack()
    {
        Editor editor({"A", "B", "C"});
        TfrmTheme &dialog = *editor.dialog;
        dialog.lstEditThemes->setCurrentRow(0);
        auto *drag = dialog.lstEditThemes->findChild<RowDrag *>();
        QVERIFY(drag);
        emit drag->rowDropped(0, -1); // over empty space: nothing
        QVERIFY(!dialog.themesChanged());
        emit drag->rowDropped(0, 2);
        QCOMPARE(ThemeStore::themeNames(editor.store), (QStringList{"B", "C", "A"}));
        QCOMPARE(listTexts(*dialog.lstEditThemes), (QStringList{"B", "C", "A"}));
        QCOMPARE(dialog.selectedTheme(), 2);
        QCOMPARE(dialog.txtDescription->text(), QStringLiteral("A"));

        dialog.btnOK->click();
        QCOMPARE(editor.fileNames(), (QStringList{"B", "C", "A"}));
        QCOMPARE(listTexts(editor.themeList), (QStringList{"B", "C", "A"}));
        QCOMPARE(editor.themeList.currentRow(), 2);
    }

    void colourDoubleClicks()
    {
        Editor editor({"Blue"});
        TfrmTheme &dialog = *editor.dialog;
        dialog.lstEditThemes->setCurrentRow(0);
        // Outside the edit panel a double click opens nothing.
        QTest::mouseDClick(dialog.lblLinkColor, Qt::LeftButton);
        QVERIFY(editor.fakes.modal.shownClasses.isEmpty());

        QStringList captions;
        auto pick = [&](qint32 colour, bool ok) {
            editor.fakes.modal.expect([&captions, colour, ok](QDialog &shown) {
                auto &picker = static_cast<TfrmColor &>(shown);
                captions.append(picker.windowTitle());
                picker.setSelectedColor(colour);
                ok ? picker.accept() : picker.reject();
                return picker.result();
            });
        };
        dialog.btnEdit->click();
        pick(0x112233, true);
        QTest::mouseDClick(dialog.lblLinkColor, Qt::LeftButton);
        pick(0x445566, true);
        QTest::mouseDClick(dialog.lblBGColor, Qt::LeftButton, {}, QPoint(185, 90));
        pick(0x778899, false);
        QTest::mouseDClick(dialog.lblTextColor, Qt::LeftButton);
        QCOMPARE(captions, (QStringList{"Color Picker - Link Color",
                                        "Color Picker - Double-Click on the Background Color to change",
                                        "Color Picker - Text Color"}));
        dialog.btnApply->click();
        const TThemeItem &theme = editor.store.Items().Items(0);
        QCOMPARE(theme.LinkColor, 0x112233);
        QCOMPARE(theme.BGColor, 0x445566);
        QCOMPARE(theme.TextColor, 0);
        QCOMPARE(dialog.lblLinkColor->palette().color(QPalette::WindowText), QColor(0x33, 0x22, 0x11));
    }

    void callerProtocol_data()
    {
        QTest::addColumn<QString>("pageTheme");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<bool>("fileWritable");
        QTest::addColumn<bool>("applied");

        QTest::newRow("OK") << "red" << true << true << true;
        QTest::newRow("Cancel") << "red" << false << true << false;
        QTest::newRow("OK with nothing selected") << "Gold" << true << true << false;
        QTest::newRow("OK when the file cannot be written") << "red" << true << false << true;
    }

    void callerProtocol()
    {
        QFETCH(QString, pageTheme);
        QFETCH(bool, ok);
        QFETCH(bool, fileWritable);
        QFETCH(bool, applied);
        Editor editor({"Blue", "Red"});
        editor.store.Items().Items(1).BGImage = QStringLiteral("red.gif");
        if (!fileWritable)
            QDir().mkpath(editor.fakes.data.folder().themesFile());
        editor.fakes.modal.expect([&](QDialog &shown) {
            auto &dialog = static_cast<TfrmTheme &>(shown);
            // The page's theme is selected and its values shown.
            [&] {
                QCOMPARE(dialog.selectedTheme(), pageTheme == "red" ? 1 : -1);
                QCOMPARE(dialog.txtBackground->text(), pageTheme == "red" ? QStringLiteral("red.gif") : QString());
            }();
            // A change, so the file is written on the way out.
            editor.fakes.prompter.answer(Prompter::No);
            dialog.btnRemove->click();
            (ok ? dialog.btnOK : dialog.btnCancel)->click();
            return dialog.result();
        });
        TPagePropertiesBlock page;
        page.ThemeName = pageTheme;
        page.PageTitle = QStringLiteral("Title");
        QCOMPARE(TfrmTheme::choosePageTheme(editor.fakes.services, editor.palette, editor.store, editor.themeList, page, nullptr),
                 applied);
        QCOMPARE(page.ThemeName, applied ? QStringLiteral("Red") : pageTheme);
        QCOMPARE(page.Background, applied ? QStringLiteral("red.gif") : QString());
        QCOMPARE(page.PageTitle, QStringLiteral("Title"));
        const QStringList errors = editor.fakes.prompter.texts().filter("Unable to save the page themes: ");
        QCOMPARE(errors.size(), fileWritable ? 0 : 1);
        QCOMPARE(listTexts(editor.themeList), (QStringList{"Blue", "Red"}));
    }

    void controlsAreNamed()
    {
        Editor editor({"Blue"});
        VERIFY_CONTROLS_NAMED(*editor.dialog);
    }
};

VENDRIX_TEST(TestThemeEditor)
#include "tst_frmtheme.moc"
