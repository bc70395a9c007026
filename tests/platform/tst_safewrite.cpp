#include "filesizelimit.h"
#include "testfiles.h"
#include "testregistry.h"

#include "forms/fieldbank.h"
#include "html/htmlcopies.h"
#include "mainwindow/recoverystore.h"
#include "model/bookmarks.h"
#include "model/documents.h"
#include "model/pagelette.h"
#include "model/picturestore.h"
#include "platform/safewrite.h"
#include "platform/settings.h"
#include "platform/textfile.h"
#include "themes/palette.h"
#include "themes/themestore.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <sys/mount.h>
#include <sys/stat.h>

namespace {

// Each writer of the core, given the path to replace; returns its error text, empty
// when it says it succeeded.
struct Writer
{
    const char *name;
    QString (*write)(const QString &path);
};

QString saveDocument(const QString &path)
{
    TPagelette page;
    page.NewPage();
    QString error;
    return Documents::SaveDocument(path, page, &error) == Documents::SaveResult::Saved ? QString() : error;
}

QString saveThemes(const QString &path)
{
    TWebTheme store;
    for (int i = 0; i < 40; ++i)
        store.Items().Add().ThemeName = QStringLiteral("Theme %1").arg(i);
    QString error;
    return ThemeStore::save(path, store, &error) ? QString() : error;
}

QString writeHtml(const QString &path)
{
    QString error;
    return HtmlCopies::writeHtmlFile(path, QStringList(200, QStringLiteral("<P>Some text</P>")), &error) ? QString() : error;
}

QString writeHtmlCopy(const QString &path)
{
    QString error;
    return HtmlCopies::writeHtmlCopy(path, QStringList(200, QStringLiteral("<P>Some text</P>")), &error) ? QString() : error;
}

QString writeUploadCopy(const QString &path)
{
    TPagelette page;
    page.NewPage();
    HtmlBuildOptions options;
    options.programFolder = ProgramFolder(QFileInfo(path).absolutePath() + QStringLiteral("/.."));
    QString error;
    return HtmlCopies::writeUploadCopy(page, options, QStringLiteral("old.vxf"), &error) ? QString() : error;
}

const Writer writers[] = {
    {"page document", saveDocument},
    {"themes file", saveThemes},
    {"HTML file", writeHtml},
    {"upload copy", writeUploadCopy},
};

// The program's own files, each written at the path it is given (the settings file's
// lock: beside it); returns the writer's error text, empty on success.
struct OwnFile
{
    const char *name;
    const char *fileName;
    QString (*write)(const QString &path);
};

QString writeSettings(const QString &path)
{
    Settings settings(path.endsWith(QStringLiteral(".lock")) ? path.chopped(5) : path);
    settings.writeString(QStringLiteral("Profiles/Home/Host"), QStringLiteral("ftp.example.com"));
    return settings.sync() ? QString() : settings.errorString();
}

QString writeFieldBank(const QString &path)
{
    QString error;
    return FieldBank::writeDefaultFields(path, FieldBank::builtInDefaultFields(), &error) ? QString() : error;
}

QString writeRecovery(const QString &path)
{
    RecoveryStore store(QFileInfo(path).absolutePath());
    QString error;
    return store.write({QStringLiteral("Untitled"), QByteArray("page")}, &error) ? QString() : error;
}

const OwnFile ownFiles[] = {
    {"settings file", "settings.conf", writeSettings},
    {"settings lock file", "settings.conf.lock", writeSettings},
    {"HTML file", "page.html", writeHtml},
    {"HTML copy and ~tmp.html", "~tmp.html", writeHtmlCopy},
    {"upload copy", "old.html", writeUploadCopy},
    {"themes file", "Themes.dat", saveThemes},
    {"field bank", "Fields.ini", writeFieldBank},
    {"recovery file", "page-1.vxr", writeRecovery},
};

// Each reader of a file the program is given or keeps; returns its error text.
struct Reader
{
    const char *name;
    QString (*read)(const QString &path);
    bool dataFile = false; // held whole in memory, so read no further than the data-file cap
};

const Reader readers[] = {
    {"page document", [](const QString &path) {
         TPagelette page;
         QString error;
         Documents::LoadDocument(path, page, &error);
         return error;
     }},
    {"themes file", [](const QString &path) {
         QString error;
         ThemeStore::load(path, &error);
         return error;
     },
     true},
    {"field bank", [](const QString &path) {
         IniFile file;
         QString error;
         FieldBank::readFile(path, file, &error);
         return error;
     },
     true},
    {"settings file", [](const QString &path) { return Settings(path).errorString(); }, true},
    {"palette", [](const QString &path) {
         PaletteTable table;
         QString error;
         table.load(path, &error);
         return error;
     },
     true},
    {"bookmarks", [](const QString &path) {
         QStringList addresses;
         QString error;
         Bookmarks::readFile(path, addresses, &error);
         return error;
     },
     true},
    {"tips and other text", [](const QString &path) {
         QStringList lines;
         QString error;
         TextFile::readLines(path, lines, &error);
         return error;
     },
     true},
    {"picture", [](const QString &path) {
         QString error;
         PictureStore::place(path, QFileInfo(path).absolutePath() + QStringLiteral("/images/"), &error);
         return error;
     }},
};

// Files in the folder other than the target: a failed save leaves no temporary behind.
QStringList strayFiles(const QString &folder)
{
    QStringList names = QDir(folder).entryList(QDir::Files | QDir::Hidden);
    names.removeAll(QStringLiteral("old.html"));
    names.removeAll(QStringLiteral("filler"));
    return names;
}

}

class TestSafeWrite : public QObject
{
    Q_OBJECT

private slots:
    void writersKeepTheOldFileOnAFullDisk_data()
    {
        QTest::addColumn<int>("writer");
        QTest::addColumn<bool>("tmpfs");
        for (int i = 0; i < int(std::size(writers)); ++i) {
            QTest::addRow("%s, size limit", writers[i].name) << i << false;
            QTest::addRow("%s, full tmpfs", writers[i].name) << i << true;
        }
    }

    // The old file stays, the platform's reason comes back, and no temporary is left.
    void writersKeepTheOldFileOnAFullDisk()
    {
        QFETCH(int, writer);
        QFETCH(bool, tmpfs);
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("Upload"));
        QVERIFY(QDir().mkpath(folder));
        if (tmpfs) {
            if (geteuid() != 0)
                QSKIP("mounting a small file system needs root");
            if (mount("tmpfs", QFile::encodeName(folder).constData(), "tmpfs", 0, "size=64k") != 0)
                QSKIP("tmpfs cannot be mounted here");
        }
        const QString path = writeFile(folder + QStringLiteral("/old.html"), "the previous contents");
        QString error;
        if (tmpfs) {
            fillFileSystem(folder + QStringLiteral("/filler"));
            error = writers[writer].write(path);
        } else {
            error = runWithFileSizeLimit(64, [&] { return writers[writer].write(path); });
        }
        const QStringList stray = strayFiles(folder);
        const QByteArray contents = readFile(path);
        if (tmpfs)
            umount(QFile::encodeName(folder).constData());
        QCOMPARE(error, tmpfs ? QStringLiteral("No space left on device") : QStringLiteral("File too large"));
        QCOMPARE(contents, QByteArray("the previous contents"));
        QCOMPARE(stray, QStringList());
    }

    // When the new file cannot take the old one's place, the save fails with the
    // reason and what was there stays, with no temporary left beside it.
    void refusedReplaceFails_data()
    {
        QTest::addColumn<int>("owner"); // -1: a copy the program can make again
        QTest::newRow("user's file") << int(SafeWrite::Owner::User);
        QTest::newRow("program's file") << int(SafeWrite::Owner::Program);
        QTest::newRow("private file") << int(SafeWrite::Owner::ProgramPrivate);
        QTest::newRow("copy") << -1;
    }

    void refusedReplaceFails()
    {
        QFETCH(int, owner);
        QTemporaryDir dir;
        // Nothing but a folder refuses to be replaced by a file, even for root.
        const QString path = dir.filePath(QStringLiteral("old.html"));
        QVERIFY(QDir().mkpath(path + QStringLiteral("/kept")));
        QString error;
        const SafeWrite::Result result = owner < 0 ? SafeWrite::replaceCopy(path, "new", &error)
                                                   : SafeWrite::replaceFile(path, "new", &error, SafeWrite::Owner(owner));
        QVERIFY(result != SafeWrite::Result::Written);
        QVERIFY(!error.isEmpty());
        QVERIFY(QFileInfo(path + QStringLiteral("/kept")).isDir());
        QCOMPARE(strayFiles(dir.path()), QStringList());
    }

    // A link planted where the program keeps a file of its own is replaced, never
    // written through: what it points to keeps its contents and its mode, and a link to
    // nothing creates nothing. A document the user reached through a link is saved to
    // the file the link names.
    void linksAreNotFollowed_data()
    {
        QTest::addColumn<int>("writer");
        QTest::addColumn<bool>("dangling");
        for (int i = 0; i < int(std::size(ownFiles)); ++i) {
            QTest::addRow("%s", ownFiles[i].name) << i << false;
            QTest::addRow("%s, link to nothing", ownFiles[i].name) << i << true;
        }
        QTest::addRow("user's document") << -1 << false;
    }

    void linksAreNotFollowed()
    {
        QFETCH(int, writer);
        QFETCH(bool, dangling);
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("Upload"));
        QVERIFY(QDir().mkpath(folder));
        const QString target = dir.filePath(QStringLiteral("elsewhere"));
        const QString fileName = QLatin1StringView(writer < 0 ? "page.vxf" : ownFiles[writer].fileName);
        // Behind a lock file's link, what reads as a lock that a running program holds.
        const QByteArray content = fileName.endsWith(QStringLiteral(".lock"))
            ? QByteArray::number(QCoreApplication::applicationPid()) + "\ntst_platform\n" + QSysInfo::machineHostName().toUtf8() + '\n'
            : QByteArray("not the program's");
        if (!dangling) {
            writeFile(target, content);
            QVERIFY(QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
        }
        const QString path = folder + u'/' + fileName;
        QVERIFY(QFile::link(target, path));

        const QString error = writer < 0 ? saveDocument(path) : ownFiles[writer].write(path);
        QCOMPARE(error, QString());
        if (writer < 0) {
            QVERIFY(QFileInfo(path).isSymLink());
            QVERIFY(readFile(target).startsWith("TPF0"));
            return;
        }
        if (dangling) {
            QVERIFY(!QFileInfo::exists(target));
            return;
        }
        QCOMPARE(readFile(target), content);
        const QFile::Permissions mode = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::WriteGroup
            | QFile::ExeGroup | QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;
        QCOMPARE(QFileInfo(target).permissions() & mode, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
    }

    // A pipe where a file is read gets the reader's failure at once, never a wait for
    // a writer that does not come.
    void readersRefusePipes_data()
    {
        QTest::addColumn<int>("reader");
        for (int i = 0; i < int(std::size(readers)); ++i)
            QTest::addRow("%s", readers[i].name) << i;
    }

    void readersRefusePipes()
    {
        QFETCH(int, reader);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("pipe"));
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        const QString error = readers[reader].read(path);
        QVERIFY2(error.contains(QStringLiteral("It is a pipe, a socket or a device, not a file.")), qPrintable(error));
    }

    // A data file far beyond what the program ever writes is refused as it is, not read
    // into memory (a sparse file: it takes no room on the disk).
    void readersCapWhatTheyHold_data()
    {
        QTest::addColumn<int>("reader");
        for (int i = 0; i < int(std::size(readers)); ++i) {
            if (readers[i].dataFile)
                QTest::addRow("%s", readers[i].name) << i;
        }
    }

    void readersCapWhatTheyHold()
    {
        QFETCH(int, reader);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("huge"));
        {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            QVERIFY(file.resize(qint64(200) << 20));
        }
        const QString error = readers[reader].read(path);
        QVERIFY2(error.contains(QStringLiteral("The file is larger than 16 MB.")), qPrintable(error));
    }

    void writeAllReportsTheDevicesReason()
    {
        QFile full(QStringLiteral("/dev/full"));
        if (!full.open(QIODevice::WriteOnly))
            QSKIP("no /dev/full");
        QString error;
        QVERIFY(!SafeWrite::writeAll(&full, "short", &error));
        QCOMPARE(error, QStringLiteral("No space left on device"));
    }

private:
    static void fillFileSystem(const QString &path)
    {
        const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT, 0600);
        QVERIFY(fd >= 0);
        const QByteArray block(4096, 'x');
        while (::write(fd, block.constData(), size_t(block.size())) > 0) {
        }
        ::close(fd);
    }
};

VENDRIX_TEST(TestSafeWrite)
#include "tst_safewrite.moc"
