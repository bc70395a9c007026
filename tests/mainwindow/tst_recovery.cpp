#include "mainwindowtest.h"
#include "testfiles.h"
#include "testregistry.h"

#include "editor/pagepropertiespanel.h"
#include "mainwindow/autosaver.h"
#include "mainwindow/frmmain.h"
#include "mainwindow/recoverystore.h"
#include "model/componentstream.h"
#include "model/documents.h"
#include "platform/appinfo.h"

#include <QApplication>
#include <QLineEdit>
#include <QProcess>
#include <QSysInfo>

using namespace MainWindowTest;

namespace {

bool pageTitled(const QByteArray &recoveryFile, const QString &title)
{
    const std::optional<RecoveryStore::Page> page = RecoveryStore::decode(recoveryFile);
    TPagelette read;
    return page && Documents::LoadDocumentBytes(page->bytes, read)
        && read.Page().Items(0).PagePropertiesBlock().PageTitle == title;
}

}

// Recovery files, their locks, and the window's autosave and start-up question.
class TestRecovery : public QObject
{
    Q_OBJECT

private slots:
    void fileFormat();
    void storesNeverTakeEachOthersFiles();
    void lockOfAKilledRunIsFree();
    void crashedRunIsOffered_data();
    void crashedRunIsOffered();
    void secondWindowLeavesTheFirstOnesFile();
    void autosaveFollowsTheChangedFlag();
    void autosaveWhenTheProgramLosesTheFocus();
    void autosaveFailureIsReportedOnce();

private:
    DataHomeSandbox mSandbox;
};

void TestRecovery::fileFormat()
{
    const RecoveryStore::Page page{QStringLiteral("/home/zoë/My Page.vxf"), QByteArray("TPF0\0\n\r\xff", 8)};
    const std::optional<RecoveryStore::Page> read = RecoveryStore::decode(RecoveryStore::encode(page));
    QVERIFY(read);
    QCOMPARE(read->documentName, page.documentName);
    QCOMPARE(read->bytes, page.bytes);

    const QByteArray good = RecoveryStore::encode(page);
    const QByteArray longName = QByteArray("VXRECOVER1\n") + QByteArray("\xff\xff\xff\x0f", 4) + "short";
    for (const QByteArray &bad : {QByteArray(), good.left(12), QByteArray("VXRECOVER2\n") + good.mid(11), longName})
        QVERIFY(!RecoveryStore::decode(bad));
}

void TestRecovery::storesNeverTakeEachOthersFiles()
{
    QTemporaryDir dir;
    auto first = std::make_unique<RecoveryStore>(dir.path());
    QVERIFY(first->write({QStringLiteral("/a/one.vxf"), "page one"}));
    const QString firstFile = first->fileName();

    RecoveryStore second(dir.path());
    QVERIFY(!second.nextOrphan());
    QVERIFY(second.write({QStringLiteral("Untitled"), "page two"}));
    QVERIFY(second.fileName() != firstFile);
    second.remove();
    QVERIFY(!QFile::exists(second.fileName()));
    QCOMPARE(RecoveryStore::decode(readFile(firstFile))->bytes, QByteArray("page one"));

    // The first program ends without removing its file: the next one finds it.
    first.reset();
    RecoveryStore third(dir.path());
    const std::optional<RecoveryStore::Page> found = third.nextOrphan();
    QVERIFY(found);
    QCOMPARE(found->documentName, QStringLiteral("/a/one.vxf"));
    QCOMPARE(found->bytes, QByteArray("page one"));
    QVERIFY(!RecoveryStore(dir.path()).nextOrphan());
    third.adoptOrphan();
    QCOMPARE(third.fileName(), firstFile);
    QVERIFY(third.write({QStringLiteral("/a/one.vxf"), "page one, later"}));
    QCOMPARE(RecoveryStore::decode(readFile(firstFile))->bytes, QByteArray("page one, later"));
}

void TestRecovery::lockOfAKilledRunIsFree()
{
    // A run killed outright leaves its lock file, naming a process that has ended.
    QTemporaryDir dir;
    QProcess ended;
    ended.start(QStringLiteral("true"));
    QVERIFY(ended.waitForStarted());
    const qint64 pid = ended.processId();
    QVERIFY(ended.waitForFinished());
    const QString file = writeFile(dir.filePath(QStringLiteral("page-3.vxr")),
                                   RecoveryStore::encode({QStringLiteral("Untitled"), "killed"}));
    writeFile(file + QStringLiteral(".lock"),
              QByteArray::number(pid) + "\nvendrix\n" + QSysInfo::machineHostName().toUtf8() + '\n');

    RecoveryStore store(dir.path());
    const std::optional<RecoveryStore::Page> found = store.nextOrphan();
    QVERIFY(found);
    QCOMPARE(found->bytes, QByteArray("killed"));
    store.discardOrphan();
    QVERIFY(!QFile::exists(file));
    QVERIFY(!QFile::exists(file + QStringLiteral(".lock")));
}

void TestRecovery::crashedRunIsOffered_data()
{
    QTest::addColumn<bool>("recover");
    QTest::newRow("yes") << true;
    QTest::newRow("no") << false;
}

void TestRecovery::crashedRunIsOffered()
{
    QFETCH(bool, recover);

    TestServices fakes;
    const QString document = fakes.data.path() + QStringLiteral("VendrixFiles/My Page.vxf");
    TPagelette page;
    page.NewPage();
    page.Page().Items(0).PagePropertiesBlock().PageTitle = QStringLiteral("Unsaved work");
    page.InsertNewItem(1, btHeading).HeadingBlock().Heading = QStringLiteral("Keep me");
    const QByteArray bytes = ComponentWriter::toBytes(page);
    QString file;
    {
        RecoveryStore crashed(fakes.data.path() + QStringLiteral("Recovery"));
        QVERIFY(crashed.write({document, bytes}));
        file = crashed.fileName();
    }

    fakes.prompter.answer(recover ? Prompter::Yes : Prompter::No);
    auto window = startWindow(fakes);
    const FakePrompter::Box &box = fakes.prompter.boxes.first();
    QCOMPARE(box.text, QStringLiteral("The page My Page.vxf was not closed properly. Do you want to recover your unsaved changes?"));
    QCOMPARE(box.kind, Prompter::Kind::Confirmation);
    QCOMPARE(box.buttons, Prompter::Buttons(Prompter::Yes | Prompter::No));
    if (!recover) {
        QVERIFY(!QFile::exists(file));
        QCOMPARE(window->lstBlocks->count(), 4);
        QVERIFY(!window->changed());
        return;
    }
    QCOMPARE(ComponentWriter::toBytes(window->page()), bytes);
    QCOMPARE(window->document().name(), document);
    QVERIFY(window->changed());
    QCOMPARE(shownTitle(*window), QStringLiteral("My Page.vxf* - ") + AppInfo::applicationTitle());
    QCOMPARE(window->pnlPageProp->txtPageTitle->text(), QStringLiteral("Unsaved work"));
    // Its document on disk is another page: taking back a later edit leaves it changed.
    QTest::keyClicks(window->pnlPageProp->txtPageTitle, "!");
    window->undo();
    QCOMPARE(ComponentWriter::toBytes(window->page()), bytes);
    QVERIFY(window->changed());
    // The file is this run's own now, kept until the page is safe.
    QVERIFY(window->autosaver().saveNow());
    QCOMPARE(window->autosaver().store().fileName(), file);
    QVERIFY(QFile::exists(file));
}

void TestRecovery::secondWindowLeavesTheFirstOnesFile()
{
    TestServices fakes;
    auto first = startWindow(fakes);
    QTest::keyClicks(first->pnlPageProp->txtPageTitle, "First");
    QVERIFY(first->autosaver().saveNow());
    const QString firstFile = first->autosaver().store().fileName();
    QVERIFY(pageTitled(readFile(firstFile), QStringLiteral("First")));

    auto second = startWindow(fakes);
    QVERIFY(fakes.prompter.boxes.isEmpty());
    QTest::keyClicks(second->pnlPageProp->txtPageTitle, "Second");
    QVERIFY(second->autosaver().saveNow());
    const QString secondFile = second->autosaver().store().fileName();
    QVERIFY(secondFile != firstFile);
    fakes.prompter.answer(Prompter::No);
    QVERIFY(second->close());
    QVERIFY(!QFile::exists(secondFile));
    QVERIFY(pageTitled(readFile(firstFile), QStringLiteral("First")));
}

void TestRecovery::autosaveFollowsTheChangedFlag()
{
    TestServices fakes;
    auto window = startWindow(fakes);
    Autosaver &autosaver = window->autosaver();
    autosaver.setInterval(10);
    const auto fileHolds = [&](const QString &title) {
        return !autosaver.store().fileName().isEmpty() && pageTitled(readFile(autosaver.store().fileName()), title);
    };

    // What is typed is saved from the open panel, before anything else stores it.
    QTest::keyClicks(window->pnlPageProp->txtPageTitle, "Typed");
    QTRY_VERIFY(fileHolds(QStringLiteral("Typed")));
    const QString file = autosaver.store().fileName();

    fakes.saveDialog.choose(fakes.data.path() + QStringLiteral("VendrixFiles/typed.vxf"));
    QVERIFY(window->save());
    QVERIFY(!QFile::exists(file));
    QTest::keyClicks(window->pnlPageProp->txtPageTitle, " again");
    QTRY_VERIFY(fileHolds(QStringLiteral("Typed again")));

    fakes.prompter.answer(Prompter::No);
    QVERIFY(window->newDocument());
    QVERIFY(!QFile::exists(file));

    QTest::keyClicks(window->pnlPageProp->txtPageTitle, "Last");
    QTRY_VERIFY(fileHolds(QStringLiteral("Last")));
    fakes.prompter.answer(Prompter::No);
    QVERIFY(window->close());
    QVERIFY(!QFile::exists(file));
}

void TestRecovery::autosaveWhenTheProgramLosesTheFocus()
{
    TestServices fakes;
    auto window = startWindow(fakes);
    window->autosaver().setInterval(60 * 60 * 1000);
    QTest::keyClicks(window->pnlPageProp->txtPageTitle, "Away");
    QVERIFY(window->autosaver().store().fileName().isEmpty());
    emit qApp->applicationStateChanged(Qt::ApplicationInactive);
    QVERIFY(pageTitled(readFile(window->autosaver().store().fileName()), QStringLiteral("Away")));
}

void TestRecovery::autosaveFailureIsReportedOnce()
{
    // A plain file where the folder should be: no recovery file can be written.
    TestServices fakes;
    fakes.data.writeFile(QStringLiteral("Recovery"), "not a folder");
    auto window = startWindow(fakes);
    window->autosaver().setInterval(10);
    QTest::keyClicks(window->pnlPageProp->txtPageTitle, "Unkept");
    QTRY_COMPARE(fakes.prompter.boxes.size(), 1);
    QVERIFY(fakes.prompter.boxes.first().text.startsWith(QStringLiteral("Your unsaved changes cannot be kept for recovery: ")));
    QTest::keyClicks(window->pnlPageProp->txtPageTitle, " still");
    QTest::qWait(100);
    QCOMPARE(fakes.prompter.boxes.size(), 1);
}

VENDRIX_TEST(TestRecovery)
#include "tst_recovery.moc"
