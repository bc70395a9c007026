#include "commandrun.h"
#include "filesizelimit.h"
#include "testdatafolder.h"
#include "testfiles.h"
#include "testregistry.h"

#include "model/componentstream.h"
#include "model/pagelette.h"

#include <QTemporaryDir>
#include <QTest>

class TestCommandLine : public QObject
{
    Q_OBJECT

private slots:
    void recognisesItsCommands()
    {
        QVERIFY(CommandLine::isCommand({QStringLiteral("--dump"), QStringLiteral("x")}));
        QVERIFY(CommandLine::isCommand({QStringLiteral("--help")}));
        QVERIFY(!CommandLine::isCommand({QStringLiteral("page.vxf")}));
        QVERIFY(!CommandLine::isCommand({}));
    }

    void newDocumentThenDump()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("new.vxf");
        QCOMPARE(runCommandLine({QStringLiteral("--new-document"), path}).exitCode, 0);
        TPagelette page;
        page.NewPage();
        QCOMPARE(readFile(path), ComponentWriter::toBytes(page));

        const CommandRun dump = runCommandLine({QStringLiteral("--dump"), path});
        QCOMPARE(dump.exitCode, 0);
        const QStringList lines = dump.out.split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(lines, dumpProperties(page));
        QVERIFY(lines.contains("Page[0].PagePropertiesBlock.ThemeName=Default"));
        QVERIFY(lines.contains("Page[3].TextBlock.Attributes=\"Times New Roman\", 12, [], [$00050000]"));
    }

    void dumpOfTheShippedThemes()
    {
        const CommandRun dump = runCommandLine({QStringLiteral("--dump"), buildDataFolder() + "/Themes.dat"});
        QCOMPARE(dump.exitCode, 0);
        QVERIFY(dump.out.startsWith("Items[0].ThemeName=Default\n"));
        QVERIFY(dump.out.contains("Items[1].BGColor="));
    }

    void failuresGoToStandardError()
    {
        QTemporaryDir dir;
        const CommandRun missing = runCommandLine({QStringLiteral("--dump"), dir.filePath("missing.vxf")});
        QCOMPARE(missing.exitCode, 1);
        QVERIFY(missing.out.isEmpty());
        QVERIFY(missing.err.contains("missing.vxf"));

        const CommandRun usage = runCommandLine({QStringLiteral("--dump")});
        QCOMPARE(usage.exitCode, 2);
        const CommandRun unwritable = runCommandLine({QStringLiteral("--new-document"), dir.filePath("no/such/dir/x.vxf")});
        QCOMPARE(unwritable.exitCode, 1);
        QVERIFY(unwritable.err.contains("Unable to create file."));
        const CommandRun unknown = runCommandLine({QStringLiteral("--frobnicate")});
        QCOMPARE(unknown.exitCode, 2);
    }

    // Writes fail past 64 bytes, as on a full disk: the old file stays and the exit is 1.
    void writersKeepTheOldFileOnAFullDisk_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addRow("new document") << QStringList{QStringLiteral("--new-document"), QStringLiteral("OUT")};
        QTest::addRow("export html") << QStringList{QStringLiteral("--export-html"), QStringLiteral("IN"), QStringLiteral("-o"),
                                                    QStringLiteral("OUT"), QStringLiteral("--data-dir"), QStringLiteral("DIR")};
    }
    void writersKeepTheOldFileOnAFullDisk()
    {
        QFETCH(QStringList, arguments);
        QTemporaryDir dir;
        TPagelette page;
        page.NewPage();
        writeFile(dir.filePath("in.vxf"), ComponentWriter::toBytes(page));
        const QString out = writeFile(dir.filePath("out.html"), "the previous contents");
        arguments.replaceInStrings(QStringLiteral("IN"), dir.filePath("in.vxf"));
        arguments.replaceInStrings(QStringLiteral("OUT"), out);
        arguments.replaceInStrings(QStringLiteral("DIR"), dir.path());
        const QString result = runWithFileSizeLimit(64, [&] {
            const CommandRun r = runCommandLine(arguments);
            return QString::number(r.exitCode) + u' ' + r.err;
        });
        QVERIFY2(result.startsWith("1 ") && result.contains("File too large"), qPrintable(result));
        QCOMPARE(readFile(out), QByteArray("the previous contents"));
    }

    // Options may come before the command: they are read as if they followed it.
    void optionsAroundTheCommand()
    {
        QTemporaryDir dir;
        TPagelette page;
        page.NewPage();
        page.Page().Items(1).ImageBlock().FileName = QStringLiteral("p.gif");
        const QString in = writeFile(dir.filePath("in.vxf"), ComponentWriter::toBytes(page));
        const QString data = dir.filePath("data");
        const QStringList before{QStringLiteral("--data-dir"), data, QStringLiteral("--export-html"), in, QStringLiteral("--mode"),
                                 QStringLiteral("preview")};
        const QStringList after{QStringLiteral("--export-html"), in, QStringLiteral("--mode"), QStringLiteral("preview"),
                                QStringLiteral("--data-dir"), data};
        const QStringList joined{QStringLiteral("--export-html"), in, QStringLiteral("--data-dir=") + data,
                                 QStringLiteral("--mode"), QStringLiteral("preview")};
        QVERIFY(CommandLine::isCommand(before));
        const CommandRun first = runCommandLine(before);
        QCOMPARE(first.exitCode, 0);
        QVERIFY(first.out.contains(data + QStringLiteral("/Upload/images/p.gif")));
        QCOMPARE(first.out, runCommandLine(after).out);
        QCOMPARE(first.out, runCommandLine(joined).out);
    }

    // The program folder option is taken by every command, wherever it stands (the
    // profile commands: tst_uploadcommands, where the settings are the test's own).
    void everyCommandTakesTheDataFolder_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("error");
        QTest::newRow("--dump") << QStringList{"--dump", "DOC", "--data-dir=DIR"} << 0 << "";
        QTest::newRow("--new-document") << QStringList{"--data-dir", "DIR", "--new-document", "DIR/new.vxf"} << 0 << "";
        QTest::newRow("without its folder") << QStringList{"--dump", "DOC", "--data-dir"} << 2 << "--data-dir needs a value";
    }
    void everyCommandTakesTheDataFolder()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, error);
        QTemporaryDir dir;
        TPagelette page;
        page.NewPage();
        arguments.replaceInStrings(QStringLiteral("DOC"), writeFile(dir.filePath("in.vxf"), ComponentWriter::toBytes(page)));
        arguments.replaceInStrings(QStringLiteral("DIR"), dir.path());
        const CommandRun r = runCommandLine(arguments);
        QVERIFY2(r.exitCode == exitCode, qPrintable(r.err));
        QVERIFY2(r.err.contains(error), qPrintable(r.err));
    }

    void versionIsPrinted()
    {
        QVERIFY(CommandLine::isCommand({QStringLiteral("--version")}));
        const CommandRun version = runCommandLine({QStringLiteral("--version")});
        QCOMPARE(version.exitCode, 0);
        QCOMPARE(version.out, QStringLiteral("vendrix 5.0\n"));
    }

    void helpListsTheCommands()
    {
        const CommandRun help = runCommandLine({QStringLiteral("--help")});
        QCOMPARE(help.exitCode, 0);
        QVERIFY(help.out.contains("--new-document OUT"));
        QVERIFY(help.out.contains("--dump FILE"));
    }
};

VENDRIX_TEST(TestCommandLine)
#include "tst_commandline.moc"
