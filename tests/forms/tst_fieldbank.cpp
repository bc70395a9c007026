#include "testdatafolder.h"
#include "testfiles.h"
#include "testregistry.h"

#include "forms/fieldbank.h"

#include <QDir>
#include <QFileInfo>
#include <QTest>

namespace {

const QList<BankField> kTwoFields{{QStringLiteral("Age"), fkText}, {QStringLiteral("Pets"), fkCheckBox}};

QStringList names(const QList<BankField> &fields)
{
    QStringList list;
    for (const BankField &field : fields)
        list.append(field.name);
    return list;
}

}

class TestFieldBank : public QObject
{
    Q_OBJECT

private slots:
    void rewriteKeepsTheRestOfTheFile_data();
    void rewriteKeepsTheRestOfTheFile();
    void readsAsThePlatformDoes();
    void optionSections();
    void unreadableOrUnwritableFile();
    void shippedFile();
};

void TestFieldBank::rewriteKeepsTheRestOfTheFile_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("after");

    QTest::newRow("entries replaced in place")
        << QByteArray("; my bank\r\n[Field Bank]\r\nFIELD0=Name|0\r\n\r\n[Default Fields]\r\n; basic ones\r\n"
                      "FIELD0=Name|0\r\n; between\r\nFIELD1=City|0\r\n  \r\n; about State\r\n[State]\r\nState0=AL|Alabama")
        << QByteArray("; my bank\r\n[Field Bank]\r\nFIELD0=Name|0\r\n\r\n[Default Fields]\r\n; basic ones\r\n"
                      "FIELD0=Age|0\r\nFIELD1=Pets|3\r\n  \r\n; about State\r\n[State]\r\nState0=AL|Alabama");
    QTest::newRow("mixed line ends, section name in another case")
        << QByteArray("[x]\na=1\r[ default fields ]\nfield0=Old|1\n[y]\rb=2\r\n")
        << QByteArray("[x]\na=1\r[ default fields ]\nFIELD0=Age|0\nFIELD1=Pets|3\n[y]\rb=2\r\n");
    QTest::newRow("section without entries, at the end without a line end")
        << QByteArray("[Default Fields]\n; none yet")
        << QByteArray("[Default Fields]\n; none yet\nFIELD0=Age|0\nFIELD1=Pets|3\n");
    QTest::newRow("missing section appended")
        << QByteArray("[State]\r\nState0=AL|Alabama")
        << QByteArray("[State]\r\nState0=AL|Alabama\r\n\r\n[Default Fields]\r\nFIELD0=Age|0\r\nFIELD1=Pets|3\r\n");
    QTest::newRow("byte-order mark before the section, Windows-1252 after it")
        << QByteArray("\xEF\xBB\xBF[Default Fields]\r\nFIELD0=Caf\xE9|1\r\n")
        << QByteArray("\xEF\xBB\xBF[Default Fields]\r\nFIELD0=Age|0\r\nFIELD1=Pets|3\r\n");
    QTest::newRow("no file") << QByteArray() << QByteArray("[Default Fields]\r\nFIELD0=Age|0\r\nFIELD1=Pets|3\r\n");
    QTest::newRow("Windows-1252 bytes elsewhere stay")
        << QByteArray("[State]\r\nState0=Q|Qu\xE9" "bec\r\n[Default Fields]\r\nFIELD0=A|0\r\n")
        << QByteArray("[State]\r\nState0=Q|Qu\xE9" "bec\r\n[Default Fields]\r\nFIELD0=Age|0\r\nFIELD1=Pets|3\r\n");
}

void TestFieldBank::rewriteKeepsTheRestOfTheFile()
{
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, after);
    TestDataFolder data;
    const QString path = data.path() + QStringLiteral("bank.ini");
    if (!before.isEmpty())
        writeFile(path, before);
    QString error;
    QVERIFY2(FieldBank::writeDefaultFields(path, kTwoFields, &error), qPrintable(error));
    QCOMPARE(readFile(path), after);

    IniFile reread;
    QCOMPARE(FieldBank::readFile(path, reread), FieldBank::ReadResult::Read);
    QCOMPARE(FieldBank::readFields(reread, FieldBank::defaultFieldsSection()).value_or(QList<BankField>()), kTwoFields);
}

void TestFieldBank::readsAsThePlatformDoes()
{
    const IniFile file = IniFile::parse("[DEFAULT FIELDS]\r\n"
                                        "Field0 = Name|0\r\n"
                                        "FIELD1=Bad|6\r\n"
                                        "FIELD1=Shadowed|0\r\n" // only the first entry of a key counts
                                        "FIELD3=After The Gap|0\r\n"
                                        "FIELD4=Fourth|0\r\n"
                                        "FIELD5=No Kind\r\n"
                                        "[Default Fields]\r\n"
                                        "FIELD2=Second Section|0\r\n");
    // Six entries: FIELD0 to FIELD5 are looked up; FIELD2 is missing and skipped.
    const std::optional<QList<BankField>> fields = FieldBank::readFields(file, QStringLiteral("default fields"));
    QVERIFY(fields);
    QCOMPARE(names(*fields), (QStringList{"Name", "After The Gap", "Fourth"}));

    QVERIFY(!FieldBank::readFields(file, QStringLiteral("Missing")));
    QCOMPARE(FieldBank::parseField(QStringLiteral("Zip|Code|0")), std::nullopt);
    QCOMPARE(FieldBank::parseField(QStringLiteral("Colour|3")), (BankField{QStringLiteral("Colour"), fkCheckBox}));
    QCOMPARE(FieldBank::parseField(QStringLiteral("Odd|-1")), std::nullopt);

    // A text that is not UTF-8 is Windows-1252.
    const IniFile latin = IniFile::parse("[Default Fields]\nFIELD0=Stra\xDF" "e|0\n");
    QCOMPARE(FieldBank::readFields(latin, FieldBank::defaultFieldsSection())->first().name, QStringLiteral("Straße"));

    // A name that Windows-1252 cannot hold turns the whole file into UTF-8, text unchanged.
    IniFile mixed = IniFile::parse("[State]\nState0=Q|Qu\xE9" "bec\n");
    mixed.replaceEntries(FieldBank::defaultFieldsSection(), {{QStringLiteral("FIELD0"), QStringLiteral("\u03A9mega|0")}});
    QCOMPARE(mixed.toBytes(), QByteArray("[State]\nState0=Q|Qu\xC3\xA9" "bec\n\n[Default Fields]\nFIELD0=\xCE\xA9mega|0\n"));
}

void TestFieldBank::optionSections()
{
    const IniFile file = IniFile::parse("[Color]\n"
                                        "Color0=r|Red|Yes\n"
                                        "Color1=g|Green\n"   // checked part: the whole rest
                                        "Color2=no bar\n"     // skipped with a checked part
                                        "Color3=\n"           // empty: skipped
                                        "[CREDIT]\nCREDIT0=VISA|Visa\nCREDIT1=Cash\n");
    QCOMPARE(FieldBank::readOptions(file, QStringLiteral("Color"), true), (QStringList{"r|Red|Yes", "g||Green"}));
    QCOMPARE(FieldBank::readOptions(file, QStringLiteral("Color"), false),
             (QStringList{"r|Red|Yes", "g|Green", "|no bar"}));
    QCOMPARE(FieldBank::basicFieldStrings(file, {QStringLiteral("Credit Card Type"), fkDropDown}),
             (QStringList{"VISA|Visa", "|Cash"}));
    // As radio buttons the field reads the section named after it, which is missing here.
    QCOMPARE(FieldBank::basicFieldStrings(file, {QStringLiteral("Credit Card Type"), fkRadio}), QStringList());
    QCOMPARE(FieldBank::basicFieldStrings(file, {QStringLiteral("Color"), fkCheckBox}).size(), 2);
    QCOMPARE(FieldBank::basicFieldStrings(file, {QStringLiteral("Name"), fkText}), (QStringList{"Size=30", "Maxlength=100"}));
    QCOMPARE(FieldBank::basicFieldStrings(file, {QStringLiteral("Notes"), fkTextArea}), (QStringList{"Cols=30", "Rows=15"}));
}

void TestFieldBank::unreadableOrUnwritableFile()
{
    TestDataFolder data;
    // Something there that cannot be read is neither replaced nor taken for a missing file.
    const QString unreadable = data.path() + QStringLiteral("bank.ini");
    QVERIFY(QDir().mkpath(unreadable + QStringLiteral("/inside")));
    QString error;
    IniFile file;
    QCOMPARE(FieldBank::readFile(unreadable, file, &error), FieldBank::ReadResult::Failed);
    QVERIFY(!error.isEmpty());
    error.clear();
    QVERIFY(!FieldBank::writeDefaultFields(unreadable, kTwoFields, &error));
    QVERIFY(!error.isEmpty());
    QVERIFY(QFileInfo(unreadable + QStringLiteral("/inside")).isDir());

    error.clear();
    QVERIFY(!FieldBank::writeDefaultFields(data.path() + QStringLiteral("no folder/Fields.ini"), kTwoFields, &error));
    QVERIFY(!error.isEmpty());
}

void TestFieldBank::shippedFile()
{
    TestDataFolder data;
    IniFile file;
    QCOMPARE(FieldBank::readFile(data.folder().fieldsFile(), file), FieldBank::ReadResult::Read);
    QCOMPARE(FieldBank::readFields(file, FieldBank::defaultFieldsSection()), FieldBank::builtInDefaultFields());
    const QList<BankField> bank = *FieldBank::readFields(file, FieldBank::bankSection());
    QCOMPARE(bank.mid(0, 13), FieldBank::builtInBankFields());
    // Every field with choices has its options, and every option line is complete.
    for (const BankField &field : bank + QList<BankField>{{QStringLiteral("Credit Card Type"), fkDropDown}}) {
        const QStringList options = FieldBank::basicFieldStrings(file, field);
        if (field.kind < fkRadio || field.kind > fkDropDown)
            continue;
        QVERIFY2(!options.isEmpty(), qPrintable(field.name));
        for (const QString &option : options)
            QCOMPARE(option.count(u'|'), field.kind == fkDropDown ? 1 : 2);
    }
    QCOMPARE(FieldBank::readOptions(file, QStringLiteral("State"), false).size(), 51);
    QCOMPARE(FieldBank::readOptions(file, QStringLiteral("MONTH"), false).size(), 12);
    QCOMPARE(FieldBank::readOptions(file, QStringLiteral("YEAR"), false).size(), 10);
}

VENDRIX_TEST(TestFieldBank)
#include "tst_fieldbank.moc"
