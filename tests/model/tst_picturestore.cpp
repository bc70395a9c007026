#include "testfiles.h"
#include "testregistry.h"

#include "model/picturestore.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

class TestPictureStore : public QObject
{
    Q_OBJECT

private slots:
    void place_data();
    void place();
    void copyFailure();
};

void TestPictureStore::place_data()
{
    QTest::addColumn<QString>("chosenName");
    QTest::addColumn<QByteArray>("chosenBytes");
    QTest::addColumn<QStringList>("existing"); // "name=contents" in the images folder
    QTest::addColumn<QString>("placedName");
    QTest::addColumn<int>("filesAfter");

    const QByteArray cat("CAT");
    QTest::newRow("free name") << "cat.jpg" << cat << QStringList{} << "cat.jpg" << 1;
    QTest::newRow("same picture there") << "cat.jpg" << cat << QStringList{"cat.jpg=CAT"} << "cat.jpg" << 1;
    QTest::newRow("another picture there") << "cat.jpg" << cat << QStringList{"cat.jpg=DOG"} << "cat-2.jpg" << 2;
    QTest::newRow("next free number") << "cat.jpg" << cat << QStringList{"cat.jpg=DOG", "cat-2.jpg=COW"} << "cat-3.jpg" << 3;
    QTest::newRow("earlier copy reused") << "cat.jpg" << cat << QStringList{"cat.jpg=DOG", "cat-2.jpg=CAT"} << "cat-2.jpg" << 2;
    QTest::newRow("same size, other bytes") << "cat.jpg" << cat << QStringList{"cat.jpg=CAX"} << "cat-2.jpg" << 2;
    // Compared a block of 64 KiB at a time: the cut-short copy matches every block it has.
    const QByteArray block(64 * 1024, 'x');
    QTest::newRow("the start of a picture there")
        << "cat.jpg" << block << QStringList{QString::fromLatin1("cat.jpg=" + block + "tail")} << "cat-2.jpg" << 2;
    QTest::newRow("comma in the name") << "a,b.gif" << cat << QStringList{} << "a,b.gif" << 1;
    QTest::newRow("two dots") << "my.cat.jpeg" << cat << QStringList{"my.cat.jpeg=DOG"} << "my.cat-2.jpeg" << 2;
    QTest::newRow("no extension") << "cat" << cat << QStringList{"cat=DOG"} << "cat-2" << 2;
}

void TestPictureStore::place()
{
    QFETCH(QString, chosenName);
    QFETCH(QByteArray, chosenBytes);
    QFETCH(QStringList, existing);
    QFETCH(QString, placedName);
    QFETCH(int, filesAfter);

    QTemporaryDir dir;
    const QString images = dir.filePath(QStringLiteral("Upload/images/"));
    QDir().mkpath(images);
    const QString chosen = dir.filePath(QStringLiteral("pick, here/") + chosenName);
    writeFile(chosen, chosenBytes);
    for (const QString &entry : std::as_const(existing))
        writeFile(images + entry.section(u'=', 0, 0), entry.section(u'=', 1).toLatin1());

    QString error;
    const QString placed = PictureStore::place(chosen, images, &error);
    QCOMPARE(placed, images + placedName);
    QVERIFY(PictureStore::sameContents(placed, chosen));
    QCOMPARE(QDir(images).entryList(QDir::Files).size(), filesAfter);
    // The pictures that were there are untouched.
    for (const QString &entry : std::as_const(existing))
        QCOMPARE(readFile(images + entry.section(u'=', 0, 0)), entry.section(u'=', 1).toLatin1());
}

void TestPictureStore::copyFailure()
{
    QTemporaryDir dir;
    const QString chosen = dir.filePath(QStringLiteral("cat.jpg"));
    writeFile(chosen, "CAT");
    QString error;
    QCOMPARE(PictureStore::place(chosen, dir.filePath(QStringLiteral("missing/folder/")), &error), QString());
    QVERIFY(!error.isEmpty());
    QCOMPARE(PictureStore::place(dir.filePath(QStringLiteral("gone.jpg")), dir.path() + u'/', &error), QString());
}

VENDRIX_TEST(TestPictureStore)
#include "tst_picturestore.moc"
