#include "testfiles.h"
#include "testregistry.h"

#include "platform/programfolder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/mount.h>
#include <unistd.h>

class TestProgramFolder : public QObject
{
    Q_OBJECT

private slots:
    void resolveOrder()
    {
        QTemporaryDir exeDir;
        QTemporaryDir other;
        qunsetenv("VENDRIX_DATA_DIR");
        // The shipped files alone (as in the build tree) do not make a program folder.
        writeFile(exeDir.filePath("Themes.dat"), "TPF0");
        QVERIFY(ProgramFolder::resolve(QString(), exeDir.path()).path() != exeDir.path() + u'/');
        writeFile(exeDir.filePath("portable"), "");
        QCOMPARE(ProgramFolder::resolve(QString(), exeDir.path()).path(), exeDir.path() + u'/');
        qputenv("VENDRIX_DATA_DIR", other.path().toLocal8Bit());
        QCOMPARE(ProgramFolder::resolve(QString(), exeDir.path()).path(), other.path() + u'/');
        QCOMPARE(ProgramFolder::resolve(exeDir.path() + "/sub", exeDir.path()).path(), exeDir.path() + "/sub/");
        qunsetenv("VENDRIX_DATA_DIR");
        // An empty folder is no folder, not the root of the file system.
        QCOMPARE(ProgramFolder(QString()).path(), QString());
    }

    // An installation the user cannot write to is no place for documents, even though
    // it asks for portable use.
    void readOnlyExecutableFolderIsNotTheDataFolder()
    {
        qunsetenv("VENDRIX_DATA_DIR");
        QTemporaryDir dir;
        const QString exeDir = dir.filePath(QStringLiteral("bin"));
        QVERIFY(QDir().mkpath(exeDir));
        const QByteArray mountPoint = QFile::encodeName(exeDir);
        // The super-user may write to any folder of the disk, but not to a read-only mount.
        const bool mounted = geteuid() == 0 && mount("tmpfs", mountPoint.constData(), "tmpfs", 0, "size=16k") == 0;
        writeFile(exeDir + QStringLiteral("/portable"), "");
        if (mounted)
            mount("tmpfs", mountPoint.constData(), "tmpfs", MS_REMOUNT | MS_RDONLY, "size=16k");
        else
            QFile::setPermissions(exeDir, QFile::ReadOwner | QFile::ExeOwner);
        const bool readOnly = !QFileInfo(exeDir).isWritable();
        const QString chosen = ProgramFolder::resolve(QString(), exeDir).path();
        if (mounted)
            umount(mountPoint.constData());
        QFile::setPermissions(exeDir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        if (!readOnly)
            QSKIP("no read-only folder can be made here");
        QVERIFY(chosen != exeDir + u'/');
    }

    void seedingCreatesFoldersAndNeverOverwrites_data()
    {
        QTest::addColumn<bool>("inTwoParts");
        QTest::newRow("at once") << false;
        QTest::newRow("for the window, then the rest") << true;
    }
    void seedingCreatesFoldersAndNeverOverwrites()
    {
        QFETCH(bool, inTwoParts);
        QTemporaryDir installed;
        writeFile(installed.filePath("Themes.dat"), "shipped themes");
        writeFile(installed.filePath("Tips.txt"), "shipped tips");
        writeFile(installed.filePath("Palettes/Web Palette.pal"), "255 255 255");
        writeFile(installed.filePath("Templates/Shop.vxt"), "TPF0");
        writeFile(installed.filePath("Upload/images/sample.jpg"), "picture");
        QTemporaryDir target;
        const ProgramFolder folder(target.path());
        writeFile(folder.tipsFile(), "my own tips");

        QString error;
        QStringList copied;
        if (inTwoParts) {
            QVERIFY2(folder.seed(installed.path(), &error, &copied, ProgramFolder::Part::ForTheWindow), qPrintable(error));
            QCOMPARE(copied, QStringList{folder.themesFile()});
            QVERIFY(!QFileInfo::exists(folder.templatesFolder()));
            QVERIFY2(folder.seed(installed.path(), &error, &copied, ProgramFolder::Part::TheRest), qPrintable(error));
        } else {
            QVERIFY2(folder.seed(installed.path(), &error, &copied), qPrintable(error));
        }
        QCOMPARE(copied, (QStringList{folder.themesFile(), folder.palettesFolder() + "Web Palette.pal",
                                      folder.templatesFolder() + "Shop.vxt", folder.imagesFolder() + "sample.jpg"}));
        QVERIFY(QDir(folder.path()).entryList({"*.part"}, QDir::Files).isEmpty());
        for (const QString &dir : {folder.documentsFolder(), folder.templatesFolder(), folder.imagesFolder(),
                                   folder.backgroundsFolder(), folder.palettesFolder()})
            QVERIFY2(QFileInfo(dir).isDir(), qPrintable(dir));
        QCOMPARE(readFile(folder.themesFile()), QByteArray("shipped themes"));
        QCOMPARE(readFile(folder.tipsFile()), QByteArray("my own tips"));
        QCOMPARE(readFile(folder.palettesFolder() + "Web Palette.pal"), QByteArray("255 255 255"));
        // The shipped templates come with the pictures they show.
        QCOMPARE(readFile(folder.templatesFolder() + "Shop.vxt"), QByteArray("TPF0"));
        QCOMPARE(readFile(folder.imagesFolder() + "sample.jpg"), QByteArray("picture"));
    }

    void seedingReportsAFolderItCannotMake()
    {
        QTemporaryDir dir;
        writeFile(dir.filePath("file"), "x");
        QString error;
        QVERIFY(!ProgramFolder(dir.filePath("file")).seed(dir.path(), &error));
        QVERIFY(!error.isEmpty());
    }
};

VENDRIX_TEST(TestProgramFolder)
#include "tst_programfolder.moc"
