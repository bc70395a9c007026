#include "accessibility.h"
#include "testregistry.h"
#include "uifakes.h"

#include "editor/frmmisc.h"
#include "model/bookmarks.h"
#include "themes/palette.h"
#include "widgets/frmcolor.h"
#include "widgets/listboxhrz.h"
#include "widgets/whatsthis.h"

#include <QAction>
#include <QComboBox>
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QGuiApplication>
#include <QScreen>
#include <QTest>
#include <QToolButton>

#include <optional>

class TestSmallDialog : public QObject
{
    Q_OBJECT

    // The dialog over fresh fakes; it reads the settings only when it is run.
    struct Misc
    {
        TestServices fakes;
        PaletteTable palette;
        TfrmMisc dialog{fakes.services, palette};
    };
    std::optional<Misc> mMisc;

private slots:
    void init() { mMisc.emplace(); }
    void cleanup() { mMisc.reset(); }

    void metaTagNeedsContent()
    {
        auto &[fakes, palette, dialog] = *mMisc;
        dialog.setMode(TfrmMisc::mmMetaTag);
        fakes.modal.expect([](QDialog &shown) {
            auto &misc = static_cast<TfrmMisc &>(shown);
            misc.show();
            [&] {
                QCOMPARE(misc.windowTitle(), QStringLiteral("Meta Tag"));
                QVERIFY(misc.pnlMeta->isVisible());
                QVERIFY(!misc.pnlFont->isVisible());
                QVERIFY(!misc.lstBookmarks->isVisible());
                QVERIFY(!misc.btnOK->isEnabled());
                // Enter with empty content does not confirm.
                QTest::keyClick(misc.txtMetaContent, Qt::Key_Return);
                QVERIFY(misc.isVisible());
                misc.btnOK->click();
                QVERIFY(misc.isVisible());
                QTest::keyClicks(misc.txtMetaContent, QStringLiteral("x"));
                QVERIFY(misc.btnOK->isEnabled());
                QTest::keyClick(misc.txtMetaContent, Qt::Key_Backspace);
                QVERIFY(!misc.btnOK->isEnabled());
                QTest::keyClicks(misc.txtMetaContent, QStringLiteral("pages, cats"));
                QTest::keyClick(misc.txtMetaContent, Qt::Key_Return);
                QVERIFY(!misc.isVisible());
            }();
            return misc.result();
        });
        QCOMPARE(dialog.execute(), int(QDialog::Accepted));
        QCOMPARE(dialog.txtMetaContent->text(), QStringLiteral("pages, cats"));
        QCOMPARE(dialog.cbMetaName->count(), 5);
        QCOMPARE(dialog.cbMetaName->itemText(2), QStringLiteral("Pics-Label"));
    }

    void fontSizes_data()
    {
        QTest::addColumn<int>("points");
        QTest::addColumn<int>("entry");

        QTest::newRow("20 is 7") << 20 << 0;
        QTest::newRow("12 is 3") << 12 << 4;
        QTest::newRow("8 is 1") << 8 << 6;
        QTest::newRow("11 has none") << 11 << -1;
    }

    void fontSizes()
    {
        QFETCH(int, points);
        QFETCH(int, entry);
        auto &[fakes, palette, dialog] = *mMisc;
        dialog.setMode(TfrmMisc::mmFont);
        QFont font = dialog.sampleFont();
        font.setPointSize(points);
        dialog.setSampleFont(font, Qt::red);
        fakes.modal.expect([&](QDialog &) {
            [&] {
                QCOMPARE(dialog.windowTitle(), QStringLiteral("Font"));
                QCOMPARE(dialog.cbSize->currentIndex(), entry);
                // Picking nothing keeps an odd size.
                QCOMPARE(dialog.sampleFont().pointSize(), points);
                dialog.cbSize->setCurrentIndex(2);
                dialog.cbSize->activated(2);
            }();
            return int(QDialog::Accepted);
        });
        QCOMPARE(dialog.execute(), int(QDialog::Accepted));
        QCOMPARE(dialog.sampleFont().pointSize(), 16);
        QCOMPARE(dialog.sampleColor(), QColor(Qt::red));
    }

    void fontNameAndStyles()
    {
        auto &[fakes, palette, dialog] = *mMisc;
        dialog.setMode(TfrmMisc::mmFont);
        QFont font(QStringLiteral("No Such Face Anywhere"));
        font.setPointSize(14);
        font.setItalic(true);
        dialog.setSampleFont(font, Qt::black);
        QString picked;
        fakes.modal.expect([&](QDialog &) {
            [&] {
                // The page's font is shown by name although it is not installed.
                QCOMPARE(dialog.cbName->count(), TfrmMisc::familyNames(QFontDatabase::families()).size() + 1);
                QCOMPARE(dialog.cbName->currentText(), QStringLiteral("No Such Face Anywhere"));
                QVERIFY(!dialog.btnBold->isChecked());
                QVERIFY(dialog.btnItalic->isChecked());
                QVERIFY(!dialog.btnUnderline->isChecked());
                QTest::mouseClick(dialog.btnBold, Qt::LeftButton);
                QTest::mouseClick(dialog.btnItalic, Qt::LeftButton);
                dialog.btnUnderline->toggle(); // as a screen reader presses it: no click
                if (dialog.cbName->count() > 1) {
                    picked = dialog.cbName->itemText(1);
                    dialog.cbName->activated(1);
                }
            }();
            return int(QDialog::Accepted);
        });
        QCOMPARE(dialog.execute(), int(QDialog::Accepted));
        const QFont chosen = dialog.sampleFont();
        QVERIFY(chosen.bold());
        QVERIFY(!chosen.italic());
        QVERIFY(chosen.underline());
        QCOMPARE(chosen.pointSize(), 14);
        if (!picked.isEmpty())
            QCOMPARE(chosen.family(), picked);
        QCOMPARE(TfrmMisc::familyNames({"Nimbus Sans [urw]", "DejaVu Sans", "Nimbus Sans [UKWN]", "Bitstream [x] Sans"}),
                 (QStringList{"Bitstream [x] Sans", "DejaVu Sans", "Nimbus Sans"}));
    }

    void fontColourThroughPicker()
    {
        auto &[fakes, palette, dialog] = *mMisc;
        dialog.setMode(TfrmMisc::mmFont);
        dialog.setSampleFont(dialog.sampleFont(), QColor(0x10, 0x20, 0x30));
        fakes.modal.expect([](QDialog &shown) {
            auto &picker = static_cast<TfrmColor &>(shown);
            [&] {
                QCOMPARE(picker.SelectedColor(), Palette::rgb(0x10, 0x20, 0x30));
                QCOMPARE(picker.txtRed->text(), QStringLiteral("16"));
            }();
            picker.txtBlue->setText(QStringLiteral("200"));
            picker.bntOK->click();
            return picker.result();
        });
        fakes.modal.expect([](QDialog &shown) {
            auto &picker = static_cast<TfrmColor &>(shown);
            picker.txtRed->setText(QStringLiteral("0"));
            picker.btnCancel->click();
            return picker.result();
        });
        dialog.btnColor->click();
        QCOMPARE(dialog.sampleColor(), QColor(0x10, 0x20, 200));
        QCOMPARE(dialog.lblPreview->palette().color(QPalette::WindowText), QColor(0x10, 0x20, 200));
        dialog.btnColor->click();
        QCOMPARE(dialog.sampleColor(), QColor(0x10, 0x20, 200));
        QCOMPARE(fakes.modal.shownClasses, (QStringList{QStringLiteral("TfrmColor"), QStringLiteral("TfrmColor")}));
        QVERIFY(fakes.prompter.boxes.isEmpty());
    }

    void bookmarksFromSettings()
    {
        auto &[fakes, palette, dialog] = *mMisc;
        fakes.settings.writeString(Bookmarks::Location::fileLocationKey(),
                                   QStringLiteral(VENDRIX_TEST_DATA "/bookmarks/export.html"));
        dialog.setMode(TfrmMisc::mmBookmarks);
        fakes.modal.expect([](QDialog &shown) {
            auto &misc = static_cast<TfrmMisc &>(shown);
            misc.show();
            [&] {
                QCOMPARE(misc.windowTitle(), QStringLiteral("Netscape Bookmarks"));
                QVERIFY(misc.lstBookmarks->isVisible());
                QVERIFY(!misc.pnlFont->isVisible());
                QVERIFY(!misc.pnlMeta->isVisible());
                QCOMPARE(misc.lstBookmarks->count(), 8);
                QCOMPARE(misc.lstBookmarks->currentRow(), 0);
            }();
            misc.lstBookmarks->setCurrentRow(2);
            misc.btnOK->click();
            return misc.result();
        });
        QCOMPARE(dialog.execute(), int(QDialog::Accepted));
        QCOMPARE(dialog.lstBookmarks->currentItem()->text(), QStringLiteral("http://cooking.example.net/bread/sourdough.html"));
        QVERIFY(fakes.prompter.boxes.isEmpty());
    }

    void bookmarkFileWithoutAddresses()
    {
        auto &[fakes, palette, dialog] = *mMisc;
        const QString path = fakes.data.writeFile(QStringLiteral("b/bookmark.htm"), "<H1>Bookmarks</H1>\n<DL>\n</DL>\n");
        QVERIFY(dialog.readBookmarks(path));
        QCOMPARE(dialog.lstBookmarks->count(), 1);
        QCOMPARE(dialog.lstBookmarks->item(0)->text(), QStringLiteral("No Bookmarks found."));
        QCOMPARE(dialog.lstBookmarks->currentRow(), 0);
        QVERIFY(!dialog.readBookmarks(path + QStringLiteral(".gone")));
    }

    void bookmarksNotFound_data()
    {
        QTest::addColumn<bool>("findIt");
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<int>("result");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<bool>("shown");

        const QString exported = QStringLiteral(VENDRIX_TEST_DATA "/bookmarks/export.html");
        QTest::newRow("no") << false << QString() << int(QDialog::Rejected) << QStringList{"No Bookmarks found."} << false;
        QTest::newRow("yes, then cancel") << true << QString() << int(QDialog::Rejected) << QStringList{} << false;
        QTest::newRow("yes, then a file") << true << exported << int(QDialog::Accepted)
                                          << QStringList{"https://www.example.org/"} << true;
    }

    void bookmarksNotFound()
    {
        QFETCH(bool, findIt);
        QFETCH(QString, chosen);
        QFETCH(int, result);
        QFETCH(QStringList, lines);
        QFETCH(bool, shown);

        auto &[fakes, palette, dialog] = *mMisc;
        fakes.settings.writeString(Bookmarks::Location::fileLocationKey(), fakes.data.path() + QStringLiteral("nothing.htm"));
        fakes.prompter.answer(findIt ? Prompter::Yes : Prompter::No);
        fakes.openDialog.setFileName(QStringLiteral("previous.htm"));
        fakes.openDialog.choose(chosen);
        fakes.modal.expect([](QDialog &) { return int(QDialog::Accepted); });
        dialog.setMode(TfrmMisc::mmBookmarks);
        QCOMPARE(dialog.execute(), result);

        QCOMPARE(fakes.prompter.boxes.size(), 1);
        QCOMPARE(fakes.prompter.boxes.at(0).kind, Prompter::Kind::Information);
        QCOMPARE(fakes.prompter.boxes.at(0).text,
                 QStringLiteral("Unable to find Netscape Bookmarks. Would you like to find it yourself?"));
        QCOMPARE(fakes.prompter.boxes.at(0).buttons, Prompter::Buttons(Prompter::Yes | Prompter::No));
        QCOMPARE(fakes.modal.shownClasses.size(), shown ? 1 : 0);
        if (findIt) {
            QCOMPARE(fakes.openDialog.runs.size(), 1);
            QCOMPARE(fakes.openDialog.runs.at(0).filter, QStringLiteral("HTML Files|*.htm;*.html"));
            QCOMPARE(fakes.openDialog.runs.at(0).filterIndex, 1);
            QCOMPARE(fakes.openDialog.runs.at(0).fileName, QString());
        } else {
            QVERIFY(fakes.openDialog.runs.isEmpty());
        }
        QStringList first;
        for (int row = 0; row < qMin(dialog.lstBookmarks->count(), lines.size()); ++row)
            first.append(dialog.lstBookmarks->item(row)->text());
        QCOMPARE(first, lines);
        QCOMPARE(dialog.lstBookmarks->count() == 0, lines.isEmpty());
    }

    void bookmarkDoubleClickIsOK()
    {
        auto &[fakes, palette, dialog] = *mMisc;
        QVERIFY(dialog.readBookmarks(QStringLiteral(VENDRIX_TEST_DATA "/bookmarks/export.html")));
        dialog.show();
        QListWidgetItem *item = dialog.lstBookmarks->item(4);
        const QRect rect = dialog.lstBookmarks->visualItemRect(item);
        QTest::mouseClick(dialog.lstBookmarks->viewport(), Qt::LeftButton, {}, rect.center());
        QTest::mouseDClick(dialog.lstBookmarks->viewport(), Qt::LeftButton, {}, rect.center());
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.lstBookmarks->currentItem()->text(), QStringLiteral("mailto:friend@example.com"));
    }

    void labelHelpTopics_data()
    {
        QTest::addColumn<QString>("label");
        QTest::addColumn<int>("topic");

        QTest::newRow("meta explanation") << "lblMetaInfo" << 12;
        QTest::newRow("meta name") << "lblMetaName" << 13;
        QTest::newRow("meta content") << "lblMetaContent" << 14;
        QTest::newRow("sample") << "lblPreview" << 36;
        QTest::newRow("styles") << "lblStyles" << 37;
        QTest::newRow("size") << "lblSize" << 38;
        QTest::newRow("name") << "lblName" << 39;
    }

    void labelHelpTopics()
    {
        QFETCH(QString, label);
        QFETCH(int, topic);
        auto &[fakes, palette, dialog] = *mMisc;
        auto *widget = dialog.findChild<QLabel *>(label);
        QVERIFY(widget);
        QCOMPARE(widget->contextMenuPolicy(), Qt::CustomContextMenu);
        emit widget->customContextMenuRequested(QPoint(2, 2));
        dialog.whatsThis->mnuWhatsThis->trigger();
        QCOMPARE(fakes.help.popups, QList<int>{topic});
        dialog.whatsThis->popWhatsThis->hide();
    }

    void centredWithNamedControls()
    {
        auto &[fakes, palette, dialog] = *mMisc;
        VERIFY_CONTROLS_NAMED(dialog);
        // Placed in the middle of the screen, not over whichever window opened it.
        const QPoint middle = QGuiApplication::primaryScreen()->availableGeometry().center();
        QVERIFY((dialog.frameGeometry().center() - middle).manhattanLength() <= 2);
    }
};

VENDRIX_TEST(TestSmallDialog)
#include "tst_frmmisc.moc"
