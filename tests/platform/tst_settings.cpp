#include "testfiles.h"
#include "testregistry.h"

#include "platform/settings.h"

#include <QTemporaryDir>
#include <QTest>

namespace {
constexpr QFile::Permissions ownerFile = QFile::ReadOwner | QFile::WriteOwner;
constexpr QFile::Permissions ownerFolder = ownerFile | QFile::ExeOwner;
constexpr QFile::Permissions everyUser = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther;

// The permission bits as the platform reports them for the owner, group and others.
QFile::Permissions modeOf(const QString &path)
{
    return QFileInfo(path).permissions()
        & (ownerFolder | QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup | QFile::ReadOther | QFile::WriteOther
           | QFile::ExeOther);
}
}

class TestSettings : public QObject
{
    Q_OBJECT

private slots:
    // The location of the user's store is fixed at its first use in a process.
    void initTestCase()
    {
        QVERIFY(mHome.isValid());
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(mHome.path()));
    }
    void cleanupTestCase() { qunsetenv("XDG_CONFIG_HOME"); }

    // The store holds scrambled passwords: only its owner may read it, whether it is
    // new or was left readable by others.
    void theStoreIsTheOwnersAlone_data()
    {
        QTest::addColumn<bool>("existing");
        QTest::newRow("new") << false;
        QTest::newRow("left readable") << true;
    }
    void theStoreIsTheOwnersAlone()
    {
        QFETCH(bool, existing);
        const QString folder = mHome.filePath(QStringLiteral("Zandorell Software"));
        const QString file = folder + QStringLiteral("/HTML Vendrix5.conf");
        if (existing) {
            writeFile(file, "[General]\nTipDay=1\n");
            QFile::setPermissions(file, everyUser);
            QFile::setPermissions(folder, everyUser | QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther);
        }
        {
            Settings settings;
            QCOMPARE(settings.fileName(), file);
            settings.writeString(QStringLiteral("Profiles/Home/Password"), QStringLiteral("scrambled"));
            QVERIFY(settings.sync());
        }
        QCOMPARE(modeOf(folder), ownerFolder);
        QCOMPARE(modeOf(file), ownerFile);
        QVERIFY(readFile(file).contains("scrambled"));
    }

    void anIniStoreIsTheOwnersAlone()
    {
        QTemporaryDir dir;
        const QString file = writeFile(dir.filePath(QStringLiteral("settings.ini")), "[General]\nTipDay=0\n");
        QFile::setPermissions(file, everyUser);
        {
            Settings settings(file);
            settings.writeString(QStringLiteral("TipDay"), QStringLiteral("1"));
        }
        QCOMPARE(modeOf(file), ownerFile);
        QVERIFY(readFile(file).contains("TipDay=1"));
    }

private:
    QTemporaryDir mHome;
};

VENDRIX_TEST(TestSettings)
#include "tst_settings.moc"
