#include "platform/filetypes.h"
#include "testregistry.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}

class TestFileTypes : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        mHomeDir = std::make_unique<QTemporaryDir>();
        QVERIFY(mHome().isValid());
        qputenv("XDG_DATA_HOME", QFile::encodeName(mHome().path() + QStringLiteral("/share")));
    }
    void cleanup() { qunsetenv("XDG_DATA_HOME"); }

    void writesMimeTypesAndDesktopEntry()
    {
        QString error;
        QVERIFY2(RegisterFileTypes(QStringLiteral("/opt/my apps/vendrix"), &error), qPrintable(error));
        const QString share = mHome().path() + QStringLiteral("/share");
        const QByteArray mime = readAll(share + QStringLiteral("/mime/packages/vendrix.xml"));
        QVERIFY(mime.contains("<mime-type type=\"application/x-vendrix-page\">\n"
                              "    <comment>Zandorell HTML Vendrix File</comment>\n"
                              "    <glob pattern=\"*.vxf\"/>"));
        QVERIFY(mime.contains("<mime-type type=\"application/x-vendrix-template\">\n"
                              "    <comment>Zandorell HTML Vendrix Template</comment>\n"
                              "    <glob pattern=\"*.vxt\"/>"));
        const QByteArray entry = readAll(share + QStringLiteral("/applications/vendrix.desktop"));
        QVERIFY(entry.startsWith("[Desktop Entry]\n"));
        QVERIFY(entry.contains("\nExec=\"/opt/my apps/vendrix\" %f\n"));
        QVERIFY(entry.contains("\nMimeType=application/x-vendrix-page;application/x-vendrix-template;\n"));
        QVERIFY(entry.contains("\nName=Zandorell FREE HTML 5.0\n"));
    }

    void execQuotesReservedCharacters()
    {
        const QByteArray entry = FileTypes::desktopEntry(QStringLiteral("/opt/a\"b$c`d\\e/vendrix"));
        QVERIFY(entry.contains("\nExec=\"/opt/a\\\"b\\$c\\`d\\\\e/vendrix\" %f\n"));
    }

    // Each start brings a changed or damaged registration back to what it should be.
    void refreshesAtEveryStart()
    {
        QVERIFY(RegisterFileTypes(QStringLiteral("/usr/bin/vendrix")));
        const QString desktop = mHome().path() + QStringLiteral("/share/applications/vendrix.desktop");
        QFile file(desktop);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write("damaged");
        file.close();
        QVERIFY(RegisterFileTypes(QStringLiteral("/usr/local/bin/vendrix")));
        QCOMPARE(readAll(desktop), FileTypes::desktopEntry(QStringLiteral("/usr/local/bin/vendrix")));
    }

    void reportsAFolderItCannotWrite()
    {
        // A file where the applications folder should be.
        const QString share = mHome().path() + QStringLiteral("/share");
        QVERIFY(QDir().mkpath(share));
        QFile blocker(share + QStringLiteral("/applications"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        QString error;
        QVERIFY(!RegisterFileTypes(QStringLiteral("/usr/bin/vendrix"), &error));
        QVERIFY2(error.contains(share + QStringLiteral("/applications")), qPrintable(error));
    }

private:
    const QTemporaryDir &mHome() const { return *mHomeDir; }
    std::unique_ptr<QTemporaryDir> mHomeDir;
};

VENDRIX_TEST(TestFileTypes)
#include "tst_filetypes.moc"
