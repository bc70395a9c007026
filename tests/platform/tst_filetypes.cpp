#include "platform/appinfo.h"
#include "platform/filetypes.h"
#include "testfiles.h"
#include "testregistry.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

const QString kDesktopEntry = QStringLiteral("applications/com.zandorell.Vendrix.desktop");
const QString kMimePackage = QStringLiteral("mime/packages/com.zandorell.Vendrix.xml");
const QString kAppIcon = QStringLiteral("icons/hicolor/scalable/apps/com.zandorell.Vendrix.svg");
const QString kPageIcon = QStringLiteral("icons/hicolor/scalable/mimetypes/application-x-vendrix-page.svg");
const QString kTemplateIcon = QStringLiteral("icons/hicolor/scalable/mimetypes/application-x-vendrix-template.svg");

}

class TestFileTypes : public QObject
{
    Q_OBJECT
private slots:
    // The user's folder and a system folder for an installed package; no cache tools
    // unless a test installs its stand-ins.
    void init()
    {
        mRoot = std::make_unique<QTemporaryDir>();
        QVERIFY(mRoot->isValid());
        mSavedPath = qgetenv("PATH");
        qputenv("XDG_DATA_HOME", QFile::encodeName(user()));
        qputenv("XDG_DATA_DIRS", QFile::encodeName(system()));
        qputenv("PATH", QFile::encodeName(mRoot->filePath(QStringLiteral("bin"))));
    }
    void cleanup()
    {
        qunsetenv("XDG_DATA_HOME");
        qunsetenv("XDG_DATA_DIRS");
        qputenv("PATH", mSavedPath);
    }

    void writesMimeTypesDesktopEntryAndIcons()
    {
        installCacheTools();
        QString error;
        QVERIFY2(RegisterFileTypes(QStringLiteral("/opt/my apps/vendrix"), &error), qPrintable(error));
        const QByteArray mime = readFile(user(kMimePackage));
        QVERIFY(mime.contains("<mime-type type=\"application/x-vendrix-page\">\n"
                              "    <comment>Zandorell HTML Vendrix File</comment>\n"
                              "    <icon name=\"application-x-vendrix-page\"/>"));
        QVERIFY(mime.contains("<mime-type type=\"application/x-vendrix-template\">\n"
                              "    <comment>Zandorell HTML Vendrix Template</comment>\n"
                              "    <icon name=\"application-x-vendrix-template\"/>"));
        QVERIFY(mime.contains("<glob pattern=\"*.vxf\"/>") && mime.contains("<glob pattern=\"*.vxt\"/>"));
        const QByteArray entry = readFile(user(kDesktopEntry));
        QVERIFY(entry.startsWith("[Desktop Entry]\n"));
        QVERIFY(entry.contains("\nExec=\"/opt/my apps/vendrix\" %f\n"));
        QVERIFY(entry.contains("\nMimeType=application/x-vendrix-page;application/x-vendrix-template;\n"));
        QVERIFY(entry.contains("\nName=" + AppInfo::applicationTitle().toUtf8() + '\n'));
        QVERIFY(entry.contains("\nIcon=com.zandorell.Vendrix\n"));
        for (const QString &icon : {kAppIcon, kPageIcon, kTemplateIcon})
            QVERIFY2(readFile(user(icon)).startsWith("<svg "), qPrintable(icon));
        QTRY_COMPARE(refreshed(), (QStringList{"update-desktop-database " + user("applications"),
                                               "update-mime-database " + user("mime")}));
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
        writeFile(user(kDesktopEntry), "damaged");
        QVERIFY(RegisterFileTypes(QStringLiteral("/usr/local/bin/vendrix")));
        QCOMPARE(readFile(user(kDesktopEntry)), FileTypes::desktopEntry(QStringLiteral("/usr/local/bin/vendrix")));
    }

    void reportsAFolderItCannotWrite()
    {
        // A file where the applications folder should be.
        writeFile(user(QStringLiteral("applications")), "x");
        QString error;
        QVERIFY(!RegisterFileTypes(QStringLiteral("/usr/bin/vendrix"), &error));
        QVERIFY2(error.contains(user(QStringLiteral("applications"))), qPrintable(error));
    }

    // With the same types installed by a package, the user's folder gets nothing, and
    // what an earlier start wrote there goes (a file the user changed stays), so the
    // desktop uses the package's entry. An installed package with other types does not
    // count.
    void packagedTypesTakeOver()
    {
        installCacheTools();
        QVERIFY(RegisterFileTypes(QStringLiteral("/home/me/build/vendrix")));
        writeFile(user(kPageIcon), "<svg>my own drawing</svg>");
        writeFile(system(kMimePackage), "<mime-info>an older package</mime-info>");
        writeFile(system(kDesktopEntry), FileTypes::desktopEntry(QStringLiteral("vendrix")));
        QVERIFY(FileTypes::packageFolder().isEmpty());

        writeFile(system(kMimePackage), FileTypes::mimePackage());
        QCOMPARE(FileTypes::packageFolder(), system());
        QTRY_COMPARE(refreshed().size(), 2);
        QFile::remove(log());
        QVERIFY(RegisterFileTypes(QStringLiteral("/usr/bin/vendrix")));
        for (const QString &removed : {kMimePackage, kDesktopEntry, kAppIcon, kTemplateIcon})
            QVERIFY2(!QFile::exists(user(removed)), qPrintable(removed));
        QCOMPARE(readFile(user(kPageIcon)), QByteArray("<svg>my own drawing</svg>"));
        QTRY_COMPARE(refreshed(), (QStringList{"update-desktop-database " + user("applications"),
                                               "update-mime-database " + user("mime")}));

        QVERIFY(RegisterFileTypes(QStringLiteral("/usr/bin/vendrix")));
        QVERIFY(!QFile::exists(user(kDesktopEntry)));
    }

private:
    // Stand-ins for the desktop's cache tools that note each folder they refresh.
    void installCacheTools()
    {
        for (const char *tool : {"update-mime-database", "update-desktop-database"}) {
            const QString script = writeFile(mRoot->filePath(QStringLiteral("bin/") + QLatin1StringView(tool)),
                                             "#!/bin/sh\necho \"${0##*/} $1\" >> \"" + QFile::encodeName(log()) + "\"\n");
            QVERIFY(QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        }
    }
    QString user(const QString &path = QString()) const
    {
        return QDir::cleanPath(mRoot->filePath(QStringLiteral("user/") + path));
    }
    QString system(const QString &path = QString()) const
    {
        return QDir::cleanPath(mRoot->filePath(QStringLiteral("system/") + path));
    }
    QString log() const { return mRoot->filePath(QStringLiteral("refreshed.log")); }
    QStringList refreshed() const
    {
        if (!QFile::exists(log()))
            return {};
        QStringList lines = QString::fromUtf8(readFile(log())).split(u'\n', Qt::SkipEmptyParts);
        lines.sort();
        return lines;
    }

    std::unique_ptr<QTemporaryDir> mRoot;
    QByteArray mSavedPath;
};

VENDRIX_TEST(TestFileTypes)
#include "tst_filetypes.moc"
