#include "commandrun.h"
#include "testdatafolder.h"
#include "testregistry.h"

#include "checks/imagereaderinspector.h"
#include "checks/pagechecker.h"
#include "model/documents.h"
#include "model/pagelette.h"
#include "themes/themestore.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

class TestCheckCommand : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir mDir;

    // The new page with a title, a missing picture (error, row 1) without a hint
    // (warning, row 1), and an empty link (error, row 2) when brokenLink.
    QString savePage(const QString &name, bool brokenLink)
    {
        TPagelette page;
        page.NewPage();
        page.Page().Items(0).PagePropertiesBlock().PageTitle = QStringLiteral("Mine");
        page.Page().Items(1).ImageBlock().FileName = QStringLiteral("gone.png");
        page.Page().Items(2).LinkBlock().LinkURL = brokenLink ? QString() : QStringLiteral("http://example.com/");
        page.Page().remove(3);
        if (!brokenLink)
            page.Page().remove(1);
        const QString path = mDir.filePath(name);
        if (Documents::SaveDocument(path, page) != Documents::SaveResult::Saved)
            return QString();
        return path;
    }

private slots:
    void lines()
    {
        const QString document = savePage(QStringLiteral("page.vxf"), true);
        QVERIFY(!document.isEmpty());
        const CommandRun r = runCommandLine({"--check", document, "--data-dir", mDir.path()});
        QCOMPARE(r.exitCode, 1);
        QCOMPARE(r.out, document + ": error: 1: The picture gone.png is missing from the upload folder. [picture-missing]\n"
                          + document
                          + ": warning: 1: The picture gone.png has no hint, so screen readers cannot tell what it shows. "
                            "[picture-no-hint]\n"
                          + document + ": error: 2: The link has no address, so it leads nowhere. [link-empty]\n");
        QVERIFY(r.err.isEmpty());

        const CommandRun clean = runCommandLine({"--check", savePage(QStringLiteral("clean.vxf"), false), "--data-dir", mDir.path()});
        QCOMPARE(clean.exitCode, 0);
        QCOMPARE(clean.out, QString());
    }

    void json()
    {
        const QString document = savePage(QStringLiteral("page.vxf"), true);
        const CommandRun r = runCommandLine({"--data-dir", mDir.path(), "--check", document, "--json"});
        QCOMPARE(r.exitCode, 1);
        QJsonParseError error;
        const QJsonArray findings = QJsonDocument::fromJson(r.out.toUtf8(), &error).array();
        QCOMPARE(error.error, QJsonParseError::NoError);
        QCOMPARE(findings.size(), 3);
        const QJsonObject first = findings[0].toObject();
        QCOMPARE(first.value(u"row").toInt(), 1);
        QCOMPARE(first.value(u"block").toString(), QStringLiteral("Image"));
        QCOMPARE(first.value(u"severity").toString(), QStringLiteral("error"));
        QCOMPARE(first.value(u"code").toString(), QStringLiteral("picture-missing"));
        QCOMPARE(first.value(u"message").toString(), QStringLiteral("The picture gone.png is missing from the upload folder."));
        QCOMPARE(findings[1].toObject().value(u"severity").toString(), QStringLiteral("warning"));
        QCOMPARE(findings[2].toObject().value(u"block").toString(), QStringLiteral("Link"));

        const CommandRun clean = runCommandLine({"--check", savePage(QStringLiteral("clean.vxf"), false), "--json"});
        QCOMPARE(clean.exitCode, 0);
        QCOMPARE(QJsonDocument::fromJson(clean.out.toUtf8()).array(), QJsonArray());
    }

    void usage_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("message");
        QTest::newRow("no file") << QStringList{"--check"} << 2 << "--check needs a document";
        QTest::newRow("two files") << QStringList{"--check", "a.vxf", "b.vxf"} << 2 << "unexpected argument b.vxf";
        QTest::newRow("missing value") << QStringList{"--check", "a.vxf", "--data-dir"} << 2 << "--data-dir needs a value";
        QTest::newRow("unreadable") << QStringList{"--check", "/nonexistent/x.vxf"} << 1
                                    << "The selected file is not a valid .VXF or .VXT document.";
    }
    void usage()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, code);
        QFETCH(QString, message);
        const CommandRun r = runCommandLine(arguments);
        QCOMPARE(r.exitCode, code);
        QVERIFY(r.out.isEmpty());
        QVERIFY2(r.err.contains(message), qPrintable(r.err));
    }

    // What ships must pass its own checks: every theme's colours are readable, and
    // every template finds its pictures and can send its form.
    void shippedThemesAndTemplates()
    {
        const ProgramFolder shipped(buildDataFolder());
        QString error;
        const std::unique_ptr<TWebTheme> themes = ThemeStore::load(shipped.themesFile(), &error);
        QVERIFY2(themes, qPrintable(error));
        QVERIFY(themes->Items().Count() > 0);
        QStringList problems;
        TPagelette page;
        page.NewPage();
        page.Page().Items(0).PagePropertiesBlock().PageTitle = QStringLiteral("Themes");
        for (int i = 0; i < themes->Items().Count(); ++i) {
            const TThemeItem &theme = themes->Items().Items(i);
            ThemeStore::applyTheme(theme, page.Page().Items(0).PagePropertiesBlock());
            // Rows 1 and up are the new page's empty picture and link.
            for (const PageCheck::Finding &f : PageCheck::check(page, shipped, ImageReaderInspector())) {
                if (f.row == 0)
                    problems.append(theme.ThemeName + QStringLiteral(": ") + f.message);
            }
        }

        const QStringList templates = QDir(shipped.templatesFolder()).entryList({QStringLiteral("*.vxt")});
        QVERIFY(!templates.isEmpty());
        for (const QString &name : templates) {
            TPagelette shippedPage;
            QVERIFY(Documents::LoadDocument(shipped.templatesFolder() + name, shippedPage, &error));
            // A background picture cannot be measured (Photo Album's is a near-white
            // linen behind dark text).
            for (const PageCheck::Finding &f : PageCheck::check(shippedPage, shipped, ImageReaderInspector())) {
                if (f.code != u"contrast-unchecked")
                    problems.append(name + QStringLiteral(": ") + f.message);
            }
        }
        QCOMPARE(problems, QStringList());
    }
};

VENDRIX_TEST(TestCheckCommand)
#include "tst_checkcommand.moc"
