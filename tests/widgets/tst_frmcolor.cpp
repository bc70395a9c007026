#include "accessibility.h"
#include "testregistry.h"
#include "uifakes.h"

#include "themes/palette.h"
#include "widgets/frmcolor.h"

#include <QComboBox>
#include <QFocusEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QGuiApplication>
#include <QScreen>
#include <QTest>

#include <optional>

class TestColorPicker : public QObject
{
    Q_OBJECT

    // A picker over fresh fakes, made before each test (it reads the palette then).
    struct Picker
    {
        TestServices fakes;
        PaletteTable table;
        TfrmColor dialog{fakes.services, table};
    };
    std::optional<Picker> mPicker;

private slots:
    void init() { mPicker.emplace(); }
    void cleanup() { mPicker.reset(); }

    void centredWithNamedControls()
    {
        auto &[fakes, table, dialog] = *mPicker;
        VERIFY_CONTROLS_NAMED(dialog);
        // Placed in the middle of the screen, not over whichever window opened it.
        const QPoint middle = QGuiApplication::primaryScreen()->availableGeometry().center();
        QVERIFY((dialog.frameGeometry().center() - middle).manhattanLength() <= 2);
    }

    void decimalEdit_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("bar");
        QTest::addColumn<QString>("hex");

        // The red channel starts at 10.
        QTest::newRow("valid") << "200" << "200" << 200 << "C8";
        QTest::newRow("zero") << "0" << "0" << 0 << "00";
        QTest::newRow("leading zeros") << "007" << "7" << 7 << "07";
        QTest::newRow("256 replaced") << "256" << "10" << 10 << "0A";
        QTest::newRow("999 replaced") << "999" << "10" << 10 << "0A";
        QTest::newRow("empty replaced") << "" << "10" << 10 << "0A";
    }

    void decimalEdit()
    {
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QFETCH(int, bar);
        QFETCH(QString, hex);

        auto &[fakes, table, dialog] = *mPicker;
        dialog.setSelectedColor(Palette::rgb(10, 20, 30));
        dialog.txtRed->setText(typed);
        QCOMPARE(dialog.txtRed->text(), shown);
        QCOMPARE(dialog.hsbRed->value(), bar);
        QCOMPARE(dialog.txtHRed->text(), hex);
        QCOMPARE(dialog.sampleColor(), Palette::rgb(bar, 20, 30));
    }

    void decimalKeyFilter()
    {
        auto &[fakes, table, dialog] = *mPicker;
        dialog.txtGreen->selectAll();
        QTest::keyClicks(dialog.txtGreen, QStringLiteral("1a-2 "));
        QCOMPARE(dialog.txtGreen->text(), QStringLiteral("12"));
        QCOMPARE(dialog.hsbGreen->value(), 12);
        QTest::keyClick(dialog.txtGreen, Qt::Key_Backspace);
        QCOMPARE(dialog.txtGreen->text(), QStringLiteral("1"));
        // Rubbing out the last digit puts the bar's value back at once.
        QTest::keyClick(dialog.txtGreen, Qt::Key_Backspace);
        QCOMPARE(dialog.txtGreen->text(), QStringLiteral("1"));
        QCOMPARE(dialog.hsbGreen->value(), 1);
    }

    void hexEdit_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("typedText");
        QTest::addColumn<QString>("leftText");
        QTest::addColumn<int>("bar");

        // The blue channel starts at 30 (1E).
        QTest::newRow("two digits") << "7f" << "7F" << "7F" << 127;
        QTest::newRow("letters filtered") << "xg0zC" << "0C" << "0C" << 12;
        QTest::newRow("one digit restored") << "5" << "5" << "1E" << 30;
        QTest::newRow("empty restored") << "" << "" << "1E" << 30;
    }

    void hexEdit()
    {
        QFETCH(QString, keys);
        QFETCH(QString, typedText);
        QFETCH(QString, leftText);
        QFETCH(int, bar);

        auto &[fakes, table, dialog] = *mPicker;
        dialog.setSelectedColor(Palette::rgb(10, 20, 30));
        dialog.txtHBlue->clear();
        QTest::keyClicks(dialog.txtHBlue, keys);
        QCOMPARE(dialog.txtHBlue->text(), typedText);
        // Nothing happens before the edit is left.
        QCOMPARE(dialog.hsbBlue->value(), 30);
        leave(dialog.txtHBlue);
        QCOMPARE(dialog.txtHBlue->text(), leftText);
        QCOMPARE(dialog.hsbBlue->value(), bar);
        QCOMPARE(dialog.txtBlue->text(), QString::number(bar));
        QCOMPARE(dialog.sampleColor(), Palette::rgb(10, 20, bar));
    }

    void selectedColorInAndOut()
    {
        TestServices fakes;
        PaletteTable table;
        {
            TfrmColor dialog(fakes.services, table);
            QCOMPARE(dialog.sampleColor(), Palette::rgb(255, 255, 255));
            dialog.setSelectedColor(0x00332211);
            QCOMPARE(dialog.hsbRed->value(), 0x11);
            QCOMPARE(dialog.hsbGreen->value(), 0x22);
            QCOMPARE(dialog.hsbBlue->value(), 0x33);
            QCOMPARE(dialog.txtGreen->text(), QStringLiteral("34"));
            QCOMPARE(dialog.txtHBlue->text(), QStringLiteral("33"));
            QCOMPARE(dialog.sampleColor(), 0x00332211);
            dialog.hsbGreen->setValue(0);
            QCOMPARE(dialog.txtGreen->text(), QStringLiteral("0"));
            QCOMPARE(dialog.txtHGreen->text(), QStringLiteral("00"));
            dialog.bntOK->click();
            QCOMPARE(dialog.result(), int(QDialog::Accepted));
            QCOMPARE(dialog.SelectedColor(), 0x00330011);
        }
        {
            // Closing any way hands back the sample.
            TfrmColor dialog(fakes.services, table);
            dialog.setSelectedColor(0x00010203);
            dialog.txtRed->setText(QStringLiteral("99"));
            dialog.btnCancel->click();
            QCOMPARE(dialog.result(), int(QDialog::Rejected));
            QCOMPARE(dialog.SelectedColor(), 0x00010263);
        }
    }

    void gridHitTest_data()
    {
        QTest::addColumn<int>("pixel");
        QTest::addColumn<int>("cell");

        // Each cell takes the 15 pixels from 3 + 15 * cell on; the first one takes 0 to 17.
        QTest::newRow("first pixel") << 0 << 0;
        QTest::newRow("edge of the first square") << 2 << 0;
        QTest::newRow("last pixel of cell 0") << 17 << 0;
        QTest::newRow("first pixel of cell 1") << 18 << 1;
        QTest::newRow("last pixel of cell 1") << 32 << 1;
        QTest::newRow("first pixel of cell 2") << 33 << 2;
        QTest::newRow("last pixel of cell 14") << 227 << 14;
        QTest::newRow("first pixel of cell 15") << 228 << 15;
        QTest::newRow("last pixel") << 241 << 15;
    }

    void gridHitTest()
    {
        QFETCH(int, pixel);
        QFETCH(int, cell);
        QCOMPARE(TPaletteGrid::cellAt(QPoint(pixel, 5)), QPoint(cell, 0));
        QCOMPARE(TPaletteGrid::cellAt(QPoint(5, pixel)), QPoint(0, cell));
        // A press on the middle or the lower right of a cell's square picks that cell.
        const QRect square = TPaletteGrid::cellRect(cell, cell);
        QCOMPARE(square.size(), QSize(13, 13));
        QCOMPARE(TPaletteGrid::cellAt(square.center()), QPoint(cell, cell));
        QCOMPARE(TPaletteGrid::cellAt(square.bottomRight()), QPoint(cell, cell));
    }

    void gridClick()
    {
        auto &[fakes, table, dialog] = *mPicker;
        QVERIFY(table.isLoaded());
        QVERIFY(!dialog.shpPicker->isVisibleTo(&dialog));
        // Row 2, column 1 of the web palette: entry 33.
        QTest::mouseClick(dialog.pbPalette, Qt::LeftButton, {}, QPoint(18, 40));
        QVERIFY(dialog.shpPicker->isVisibleTo(&dialog));
        QCOMPARE(dialog.shpPicker->pos(), dialog.pbPalette->pos() + QPoint(15, 30));
        const qint32 color = table.at(33);
        QCOMPARE(dialog.sampleColor(), color);
        QCOMPARE(dialog.txtRed->text(), QString::number(Palette::red(color)));
        QCOMPARE(dialog.hsbGreen->value(), Palette::green(color));
        QCOMPARE(dialog.txtHBlue->text(), QStringLiteral("%1").arg(Palette::blue(color), 2, 16, QLatin1Char('0')).toUpper());
        dialog.bntOK->click();
        QCOMPARE(dialog.SelectedColor(), color);

        // Another palette hides the frame again.
        dialog.cbPalette->activated(dialog.cbPalette->findText(QStringLiteral("Grays")));
        QVERIFY(!dialog.shpPicker->isVisibleTo(&dialog));
    }

    void gridPainting()
    {
        auto &[fakes, table, dialog] = *mPicker;
        const QImage image = dialog.pbPalette->grab().toImage();
        QCOMPARE(image.size(), QSize(242, 242));
        for (const QPoint cell : {QPoint(0, 0), QPoint(5, 3), QPoint(14, 15)}) {
            const qint32 expected = table.at(16 * cell.y() + cell.x());
            const QRect square = TPaletteGrid::cellRect(cell.y(), cell.x());
            for (const QPoint pixel : {square.topLeft(), square.center(), square.bottomRight()}) {
                const QColor got = image.pixelColor(pixel);
                QCOMPARE(got, QColor(Palette::red(expected), Palette::green(expected), Palette::blue(expected)));
            }
            // The gap to the right of the cell stays white.
            QCOMPARE(image.pixelColor(square.right() + 1, square.center().y()), QColor(Qt::white));
        }
    }

    void missingWebPalette()
    {
        TestServices fakes;
        QVERIFY(QFile::remove(fakes.data.folder().palettesFolder() + QStringLiteral("Web Palette.pal")));
        PaletteTable table;
        TfrmColor dialog(fakes.services, table);
        QCOMPARE(fakes.prompter.boxes.size(), 1);
        QCOMPARE(fakes.prompter.boxes.at(0).kind, Prompter::Kind::Error);
        QVERIFY(fakes.prompter.boxes.at(0).text.contains(QStringLiteral("Web Palette.pal")));
        QVERIFY(!table.isLoaded());
        QVERIFY(dialog.cbPalette->count() > 0);
        QCOMPARE(dialog.cbPalette->currentIndex(), -1);
        // No palette was ever read: the grid takes no clicks.
        QTest::mouseClick(dialog.pbPalette, Qt::LeftButton, {}, QPoint(20, 20));
        QVERIFY(!dialog.shpPicker->isVisibleTo(&dialog));
        QCOMPARE(dialog.sampleColor(), Palette::rgb(255, 255, 255));
    }

    void everyOpeningReadsWebPalette()
    {
        TestServices fakes;
        PaletteTable table;
        {
            TfrmColor dialog(fakes.services, table);
            QCOMPARE(dialog.cbPalette->currentText(), QStringLiteral("Web Palette"));
            dialog.cbPalette->activated(dialog.cbPalette->findText(QStringLiteral("Grays")));
            QCOMPARE(table.at(1), Palette::rgb(1, 1, 1));
            QCOMPARE(table.at(100), Palette::rgb(100, 100, 100));
            QVERIFY(fakes.prompter.boxes.isEmpty());
        }
        TfrmColor again(fakes.services, table);
        QCOMPARE(table.at(1), Palette::rgb(0, 0, 51));
        QCOMPARE(again.cbPalette->currentText(), QStringLiteral("Web Palette"));

        // When it cannot be read any more, the table shared by the pickers keeps the last colours.
        QVERIFY(QFile::remove(fakes.data.folder().palettesFolder() + QStringLiteral("Web Palette.pal")));
        again.cbPalette->activated(again.cbPalette->findText(QStringLiteral("Grays")));
        TfrmColor third(fakes.services, table);
        QVERIFY(table.isLoaded());
        QCOMPARE(table.at(1), Palette::rgb(1, 1, 1));
    }

private:
    static void leave(QLineEdit *edit)
    {
        QFocusEvent focusOut(QEvent::FocusOut, Qt::TabFocusReason);
        QCoreApplication::sendEvent(edit, &focusOut);
    }
};

VENDRIX_TEST(TestColorPicker)
#include "tst_frmcolor.moc"
