#include "platform/settings.h"
#include "platform/textfile.h"
#include "shell/frmtips.h"
#include "testregistry.h"
#include "uifakes.h"

#include <QCheckBox>
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QSet>
#include <QTest>

class TestTips : public QObject
{
    Q_OBJECT
private slots:
    void drawsEveryLineButTheLast_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("one line") << QByteArray("Only tip\n") << QStringList{"Only tip"};
        QTest::newRow("two lines") << QByteArray("First\r\nSecond\r\n") << QStringList{"First"};
        QTest::newRow("four lines") << QByteArray("A\nB\nC\nD") << QStringList{"A", "B", "C"};
        QTest::newRow("windows-1252") << QByteArray("Caf\xe9 tip\nlast\n") << QStringList{QString::fromUtf8("Café tip")};
    }
    void drawsEveryLineButTheLast()
    {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, expected);
        TestServices t;
        t.data.writeFile(QStringLiteral("Tips.txt"), file);
        TfrmTips tips(t.data.folder(), t.settings);
        QVERIFY(tips.btnNext->isEnabled());
        QSet<QString> shown{tips.lblTip->text()};
        for (int i = 0; i < 200; ++i) {
            QTest::mouseClick(tips.btnNext, Qt::LeftButton);
            shown.insert(tips.lblTip->text());
        }
        QCOMPARE(shown, QSet<QString>(expected.cbegin(), expected.cend()));
    }

    void missingOrEmptyFile_data()
    {
        QTest::addColumn<bool>("createEmpty");
        QTest::newRow("missing") << false;
        QTest::newRow("empty") << true;
    }
    void missingOrEmptyFile()
    {
        QFETCH(bool, createEmpty);
        TestServices t;
        QFile::remove(t.data.folder().tipsFile());
        if (createEmpty)
            t.data.writeFile(QStringLiteral("Tips.txt"), QByteArray());
        TfrmTips tips(t.data.folder(), t.settings);
        QCOMPARE(tips.lblTip->text(),
                 QStringLiteral("Could not load tips file! Please make sure Tips.txt is in the application folder of ")
                     + t.data.path() + QStringLiteral("."));
        QVERIFY(!tips.btnNext->isEnabled());
    }

    void layout()
    {
        TestServices t;
        TfrmTips tips(t.data.folder(), t.settings);
        QCOMPARE(tips.windowTitle(), QStringLiteral("Tips"));
        QCOMPARE(tips.size(), QSize(439, 239));
        QCOMPARE(tips.lblTip->size(), QSize(291, 120));
        QVERIFY(tips.lblTip->wordWrap());
        QCOMPARE(tips.chkShow->text(), QStringLiteral("&Show at startup"));
        QCOMPARE(tips.btnNext->text(), QStringLiteral("&Next Tip"));
        QCOMPARE(tips.btnClose->text(), QStringLiteral("&Close"));
        QVERIFY(tips.findChild<QLabel *>(QStringLiteral("imgTip"))->pixmap().width() > 0);
    }

    // However the dialog is closed, "TipDay" follows the check box.
    void closingWritesTipDay_data()
    {
        QTest::addColumn<bool>("startChecked");
        QTest::addColumn<bool>("toggle");
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("expected");
        QTest::newRow("cleared, Close") << true << true << "button" << "0";
        QTest::newRow("kept, Close") << true << false << "button" << "1";
        QTest::newRow("set, Escape") << false << true << "escape" << "1";
        QTest::newRow("cleared, window closed") << true << true << "window" << "0";
    }
    void closingWritesTipDay()
    {
        QFETCH(bool, startChecked);
        QFETCH(bool, toggle);
        QFETCH(QString, how);
        QFETCH(QString, expected);
        TestServices t;
        TfrmTips tips(t.data.folder(), t.settings);
        tips.setShowAtStartup(startChecked);
        tips.show();
        QVERIFY(QTest::qWaitForWindowExposed(&tips));
        if (toggle)
            tips.chkShow->click();
        QVERIFY(!t.settings.contains(SettingsKeys::tipDay()));
        if (how == QLatin1String("button"))
            QTest::mouseClick(tips.btnClose, Qt::LeftButton);
        else if (how == QLatin1String("escape"))
            QTest::keyClick(&tips, Qt::Key_Escape);
        else
            tips.close();
        QVERIFY(!tips.isVisible());
        QCOMPARE(t.settings.readString(SettingsKeys::tipDay()), expected);
        QCOMPARE(tips.showAtStartup(), expected == QLatin1String("1"));
        Settings reread(t.settings.fileName());
        QCOMPARE(reread.readString(SettingsKeys::tipDay()), expected);
    }

    // The shipped tips are real, and each one fits the tip area of the dialog.
    void shippedTipsFitTheDialog()
    {
        TestServices t;
        QStringList lines;
        QVERIFY(TextFile::readLines(t.data.folder().tipsFile(), lines));
        QVERIFY2(lines.size() >= 20, "too few tips");
        TfrmTips tips(t.data.folder(), t.settings);
        const QFontMetrics metrics(tips.lblTip->font());
        for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
            const QString &tip = lines[i];
            QVERIFY2(tip.trimmed().size() > 20, qPrintable(QStringLiteral("line %1 is not a tip").arg(i + 1)));
            const QRect needed = metrics.boundingRect(QRect(0, 0, 291, 10000), Qt::TextWordWrap, tip);
            QVERIFY2(needed.height() <= 120, qPrintable(QStringLiteral("line %1 does not fit: %2").arg(i + 1).arg(tip)));
        }
    }
};

VENDRIX_TEST(TestTips)
#include "tst_tips.moc"
