#include "filesizelimit.h"
#include "testfiles.h"
#include "testregistry.h"

#include "html/htmlcopies.h"
#include "model/documents.h"
#include "model/pagelette.h"
#include "platform/safewrite.h"
#include "themes/themestore.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <sys/mount.h>

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
