#include "filesizelimit.h"
#include "testfiles.h"
#include "testregistry.h"

#include "platform/settings.h"
#include "platform/settingsfile.h"

#include <QLockFile>
#include <QProcess>
#include <QSettings>
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

    // Only reading the store (--profiles) leaves a link planted at its place and what
    // the link names as they are: once the target's mode was set to the owner's alone.
    void readingLeavesALinkAlone()
    {
        QTemporaryDir elsewhere;
        const QString target = writeFile(elsewhere.filePath(QStringLiteral("target")), "[General]\nTipDay=7\n");
        QFile::setPermissions(target, everyUser);
        const QString file = mHome.filePath(QStringLiteral("Zandorell Software/HTML Vendrix5.conf"));
        QFile::remove(file);
        QVERIFY(QFile::link(target, file));
        {
            const Settings settings;
            QCOMPARE(settings.readInteger(SettingsKeys::tipDay(), 0), 7);
        }
        QCOMPARE(modeOf(target), everyUser);
        QVERIFY(QFileInfo(file).isSymLink());
        QVERIFY(QFile::remove(file));
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

    // The file reads and writes like the platform's own INI files, character for
    // character, so stores written before stay readable and both can share a file.
    void sameTextAsThePlatformsFormat_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        const QString nul(QChar(0));
        QTest::newRow("plain") << "TipDay" << "1";
        QTest::newRow("in a group") << "Position/Height" << "600";
        QTest::newRow("profile with blanks") << "Profiles/My Home Server/Host" << "ftp.example.com";
        QTest::newRow("letters beyond ASCII in keys") << QString::fromUtf8("Profiles/Caf\u00e9 \u65e5\U0001F600/User") << "joe";
        QTest::newRow("a group called General") << "General/Thing" << "x";
        QTest::newRow("comma") << "Profiles/a/Directory" << "public_html, old";
        QTest::newRow("quotes and backslashes") << "K" << R"(say "hi" \ C:\dir\)";
        QTest::newRow("blanks around") << "K" << "  padded  ";
        QTest::newRow("line ends and tabs") << "K" << "one\r\ntwo\tthree\a";
        QTest::newRow("control characters before digits") << "K" << QStringLiteral("a\x01" "2b") + nul + "7";
        QTest::newRow("byte-order mark after an escape") << "K" << QStringLiteral("\x04\uFEFFx");
        QTest::newRow("at sign") << "K" << "@home";
        QTest::newRow("semicolon, equals, hash") << "K" << "a;b=c#d";
        QTest::newRow("empty") << "K" << "";
        QTest::newRow("letters beyond ASCII in values") << "K" << QString::fromUtf8("Gr\u00fc\u00dfe \u65e5\u672c \U0001F600");
        QTest::newRow("scrambled password") << "Profiles/Home/Password" << "utf8:Tm90IGEgcmVhbCBwYXNzd29yZA==";
    }
    void sameTextAsThePlatformsFormat()
    {
        QFETCH(QString, key);
        QFETCH(QString, value);
        QTemporaryDir dir;
        const QString theirs = dir.filePath(QStringLiteral("theirs.ini"));
        {
            QSettings platform(theirs, QSettings::IniFormat);
            platform.setValue(key, value);
        }
        const QByteArray bytes = readFile(theirs);
        QCOMPARE(SettingsFile::serialise({{key, value}}), bytes);
        const QSettings::SettingsMap read = SettingsFile::parse(bytes);
        QCOMPARE(read.keys(), QStringList{key});
        QCOMPARE(read.value(key).toString(), value);
    }

    // A value that another program (or a hand) wrote as a list, with comments and
    // blank lines, is read as the platform reads it; a damaged line costs only itself.
    void readsWhatOthersWrite()
    {
        const QString file = QStringLiteral(VENDRIX_TEST_DATA "/settings/handwritten.conf");
        QSettings platform(file, QSettings::IniFormat);
        const QSettings::SettingsMap ours = SettingsFile::parse(readFile(file));
        QCOMPARE(ours.keys(), platform.allKeys());
        for (const QString &key : platform.allKeys())
            QCOMPARE(ours.value(key), platform.value(key));
        QCOMPARE(ours.value(QStringLiteral("TipDay")).toString(), QStringLiteral("0"));
        QCOMPARE(ours.value(QStringLiteral("Profiles/My Home/Host")).toString(), QStringLiteral("ftp.example.com"));
    }

    // A save that cannot be completed (a full disk) is reported, and the file keeps
    // what it held: the server profiles are not lost.
    void aFailedSaveKeepsTheFile()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("settings.ini"));
        {
            Settings settings(file);
            settings.writeString(QStringLiteral("Profiles/Home/Host"), QStringLiteral("ftp.example.com"));
            QVERIFY(settings.sync());
        }
        const QByteArray before = readFile(file);
        const QString answer = runWithFileSizeLimit(4096, [&] {
            Settings settings(file);
            settings.writeString(QStringLiteral("Notes"), QString(20000, u'x'));
            return settings.sync() ? QStringLiteral("saved") : settings.errorString();
        });
        QCOMPARE(answer, QStringLiteral("Cannot write the settings file %1: File too large").arg(file));
        QCOMPARE(readFile(file), before);
        QCOMPARE(Settings(file).readString(QStringLiteral("Profiles/Home/Host")), QStringLiteral("ftp.example.com"));
    }

    // Two programs writing profiles at the same time lose none: each writes onto the
    // file as the other left it.
    void concurrentWritersLoseNothing()
    {
        QTemporaryDir dir;
        const QString file = writeFile(dir.filePath(QStringLiteral("settings.conf")), "[Profiles]\nHome\\Host=ftp.example.com\n");
        constexpr int each = 100;
        QProcess writers[2];
        for (int i = 0; i < 2; ++i)
            writers[i].start(QStringLiteral(SETTINGS_WRITER), {file, QStringLiteral("Writer%1").arg(i), QString::number(each)});
        for (QProcess &writer : writers) {
            QVERIFY(writer.waitForFinished(120000));
            QCOMPARE(writer.exitCode(), 0);
        }
        QCOMPARE(Settings(file).childGroups(SettingsKeys::profilesGroup()).size(), 2 * each + 1);
    }

    // A lock that a running program holds is waited for, then reported; one left by a
    // program that has ended is taken over at once. Nothing is lost either way.
    void lockedFile_data()
    {
        QTest::addColumn<bool>("ownerRunning");
        QTest::newRow("owner running") << true;
        QTest::newRow("owner gone") << false;
    }
    void lockedFile()
    {
        QFETCH(bool, ownerRunning);
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("settings.conf"));
        const QString lockFile = file + QStringLiteral(".lock");
        QLockFile held(lockFile);
        if (ownerRunning) {
            QVERIFY(held.tryLock(0));
        } else {
            QProcess gone;
            gone.start(QStringLiteral("true"), {});
            QVERIFY(gone.waitForStarted());
            const QByteArray pid = QByteArray::number(gone.processId());
            QVERIFY(gone.waitForFinished());
            writeFile(lockFile, pid + "\ntrue\n" + QSysInfo::machineHostName().toUtf8() + '\n');
        }
        Settings settings(file);
        settings.setLockTimeout(std::chrono::milliseconds(300));
        settings.writeString(SettingsKeys::tipDay(), QStringLiteral("0"));
        QCOMPARE(settings.sync(), !ownerRunning);
        if (ownerRunning) {
            QCOMPARE(settings.errorString(), QStringLiteral("Cannot write the settings file %1: Another program is using it "
                                                            "(lock file %2); try again when it is done.")
                                                 .arg(file, lockFile));
            held.unlock();
            QVERIFY(settings.sync());
        }
        QCOMPARE(Settings(file).readString(SettingsKeys::tipDay()), QStringLiteral("0"));
    }

    // Numbers are stored as text, which the user may have edited by hand.
    void integers_data()
    {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<int>("value");
        QTest::newRow("missing") << QByteArray() << 9;
        QTest::newRow("number") << QByteArray("Top=-12") << -12;
        QTest::newRow("padded with blanks") << QByteArray("Top=\" 640 \"") << 640;
        QTest::newRow("garbage") << QByteArray("Top=12px") << 9;
        QTest::newRow("empty") << QByteArray("Top=") << 9;
    }
    void integers()
    {
        QFETCH(QByteArray, stored);
        QFETCH(int, value);
        QTemporaryDir dir;
        const QString file = writeFile(dir.filePath(QStringLiteral("settings.ini")), "[Position]\n" + stored + '\n');
        QCOMPARE(Settings(file).readInteger(QStringLiteral("Position/Top"), 9), value);
    }

private:
    QTemporaryDir mHome;
};

VENDRIX_TEST(TestSettings)
#include "tst_settings.moc"
