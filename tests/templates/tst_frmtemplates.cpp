#include "templates/frmtemplates.h"
#include "widgets/htmlviewer.h"
#include "widgets/whatsthis.h"
#include "accessibility.h"
#include "listtexts.h"
#include "testfiles.h"
#include "testregistry.h"
#include "uifakes.h"

#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>

namespace {

// A program folder whose Templates/ and VendrixFiles/ hold only what the test writes.
struct EmptyFolders : TestServices
{
    EmptyFolders()
    {
        for (const QString &folder : {data.folder().templatesFolder(), data.folder().documentsFolder()}) {
            QDir(folder).removeRecursively();
            QDir().mkpath(folder);
        }
    }
    QString templateFile(const QString &name, const QByteArray &content = "TPF0")
    {
        return writeFile(data.folder().templatesFolder() + name, content);
    }
    QString documentFile(const QString &name, const QByteArray &content = "TPF0")
    {
        return writeFile(data.folder().documentsFolder() + name, content);
    }
};

QList<int> icons(const QListWidget &list)
{
    QList<int> kinds;
    for (int i = 0; i < list.count(); ++i)
        kinds.append(list.item(i)->data(Qt::UserRole).toInt());
    return kinds;
}

QListWidgetItem *itemNamed(const QListWidget &list, const QString &caption)
{
    const QList<QListWidgetItem *> found = list.findItems(caption, Qt::MatchExactly);
    return found.isEmpty() ? nullptr : found.first();
}

void clickItem(QListWidget &list, const QString &caption)
{
    QListWidgetItem *item = itemNamed(list, caption);
    QVERIFY2(item, qPrintable(caption));
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, list.visualItemRect(item).center());
}

QByteArray page(const QByteArray &marker)
{
    return "<HTML><BODY>" + marker + "</BODY></HTML>\r\n";
}

// The windows' tests see pages through the simple viewer; empty before the first page.
QString previewText(TfrmTemplates &dialog)
{
    const auto *text = dialog.browser->findChild<QTextBrowser *>();
    return text ? text->toPlainText() : QString();
}

}

class TestFrmTemplates : public QObject
{
    Q_OBJECT

private slots:
    void controls()
    {
        EmptyFolders fakes;
        TfrmTemplates dialog(fakes.services);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Templates"));
        QCOMPARE(dialog.btnOpen->text(), QStringLiteral("Browse..."));
        QCOMPARE(dialog.btnOpen->toolTip(), QStringLiteral("Look for a Template or Vendrix yourself."));
        QCOMPARE(dialog.btnDelete->text(), QStringLiteral("&Delete Item"));
        QVERIFY(dialog.btnOK->isDefault());
        QVERIFY(!dialog.btnOK->isEnabled());
        QCOMPARE(HelpContext::of(*dialog.lvTemplates), 64);
        QCOMPARE(HelpContext::of(*dialog.browser), 76);
        for (const char *name : {"btnOpen", "btnDelete", "btnOK", "btnCancel"})
            QVERIFY2(dialog.findChild<QPushButton *>(QLatin1StringView(name)), name);
        for (const QWidget *control : dialog.findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
            QVERIFY2(!control->objectName().isEmpty(), control->metaObject()->className());
        VERIFY_CONTROLS_NAMED(dialog);
    }

    void listsTemplatesThenDocuments()
    {
        EmptyFolders fakes;
        fakes.templateFile("b.vxt");
        fakes.templateFile("A.vxt");
        fakes.templateFile("my.holiday.page.vxt");
        fakes.templateFile("foovxt");  // the extension letters without a dot
        fakes.templateFile("shout.VXT"); // another extension here: letter case counts
        fakes.templateFile("b.html");
        QDir().mkpath(fakes.data.folder().templatesFolder() + "folder.vxt");
        fakes.documentFile("Zed.vxf");
        fakes.documentFile("apple.vxf");
        fakes.documentFile(".hidden.vxf");

        TfrmTemplates dialog(fakes.services);
        QCOMPARE(listTexts(*dialog.lvTemplates),
                 (QStringList{"", "A", "b", "folder", "my.holiday.page", ".hidden", "apple", "Zed"}));
        QCOMPARE(icons(*dialog.lvTemplates), (QList<int>{0, 0, 0, 0, 0, 1, 1, 1}));
        QVERIFY(dialog.ChosenFile().isEmpty());

        // Several dots: the caption stops at the last one, the chosen file is the full name.
        clickItem(*dialog.lvTemplates, "my.holiday.page");
        QCOMPARE(dialog.ChosenFile(), fakes.data.folder().templatesFolder() + "my.holiday.page.vxt");
        QVERIFY(dialog.btnOK->isEnabled());
        clickItem(*dialog.lvTemplates, "");
        QCOMPARE(dialog.ChosenFile(), fakes.data.folder().templatesFolder() + ".vxt");
    }

    void emptyFoldersThenBrowse()
    {
        EmptyFolders fakes;
        QTemporaryDir elsewhere;
        const QString chosen = writeFile(elsewhere.filePath("away.vxf"), "TPF0");
        writeFile(elsewhere.filePath("away.html"), page("far away"));
        fakes.openDialog.setFilterIndex(2);
        fakes.openDialog.setFileName(QStringLiteral("left over"));

        TfrmTemplates dialog(fakes.services);
        QCOMPARE(dialog.lvTemplates->count(), 0);
        QVERIFY(!dialog.btnOK->isEnabled());

        fakes.openDialog.cancel();
        QTest::mouseClick(dialog.btnOpen, Qt::LeftButton);
        QVERIFY(!dialog.btnOK->isEnabled());
        QVERIFY(dialog.ChosenFile().isEmpty());
        const FakeFileDialog::Run &run = fakes.openDialog.runs.last();
        QCOMPARE(run.filter, QStringLiteral("Vendrix Files|*.vxf|Vendrix Template|*.vxt"));
        QCOMPARE(run.filterIndex, 1);
        QCOMPARE(run.initialDir, fakes.data.folder().documentsFolder());
        QVERIFY(run.fileName.isEmpty());

        fakes.openDialog.choose(chosen);
        QTest::mouseClick(dialog.btnOpen, Qt::LeftButton);
        QVERIFY(dialog.btnOK->isEnabled());
        QCOMPARE(dialog.ChosenFile(), chosen);
        QVERIFY(previewText(dialog).contains("far away"));
        QCOMPARE(dialog.browser->baseFolder(), elsewhere.path());
        QCOMPARE(dialog.result(), int(QDialog::Rejected)); // browsing does not close the dialog
        QTest::mouseClick(dialog.btnOK, Qt::LeftButton);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.ChosenFile(), chosen);
    }

    void selectionChoosesAndPreviews()
    {
        EmptyFolders fakes;
        fakes.templateFile("Shop.vxt");
        fakes.templateFile("Shop.html", page("shop window"));
        fakes.documentFile("Notes.vxf"); // no companion
        TfrmTemplates dialog(fakes.services);
        dialog.show();

        clickItem(*dialog.lvTemplates, "Shop");
        QCOMPARE(dialog.ChosenFile(), fakes.data.folder().templatesFolder() + "Shop.vxt");
        QVERIFY(previewText(dialog).contains("shop window"));
        QCOMPARE(dialog.browser->baseFolder() + '/', fakes.data.folder().templatesFolder());

        // A click on a link in the preview goes nowhere.
        fakes.templateFile("other.html", page("elsewhere"));
        emit dialog.browser->findChild<QTextBrowser *>()->anchorClicked(QUrl("other.html"));
        QVERIFY(previewText(dialog).contains("shop window"));

        // Without a companion the previous preview stays while the choice moves on.
        clickItem(*dialog.lvTemplates, "Notes");
        QCOMPARE(dialog.ChosenFile(), fakes.data.folder().documentsFolder() + "Notes.vxf");
        QVERIFY(previewText(dialog).contains("shop window"));
        QCOMPARE(dialog.browser->baseFolder() + '/', fakes.data.folder().documentsFolder());

        // Losing the selection changes nothing.
        dialog.lvTemplates->clearSelection();
        QCOMPARE(dialog.ChosenFile(), fakes.data.folder().documentsFolder() + "Notes.vxf");
        QVERIFY(dialog.btnOK->isEnabled());
    }

    void doubleClickAccepts()
    {
        EmptyFolders fakes;
        fakes.documentFile("Letter.vxf");
        TfrmTemplates dialog(fakes.services);
        dialog.show();
        QListWidget &list = *dialog.lvTemplates;
        const QPoint centre = list.visualItemRect(list.item(0)).center();
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, centre);
        QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, centre);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.ChosenFile(), fakes.data.folder().documentsFolder() + "Letter.vxf");
    }

    void deleteAsksAndRemovesBothFiles_data()
    {
        QTest::addColumn<int>("answer");
        QTest::newRow("yes") << int(Prompter::Yes);
        QTest::newRow("no") << int(Prompter::No);
    }

    void deleteAsksAndRemovesBothFiles()
    {
        QFETCH(int, answer);
        EmptyFolders fakes;
        const QString document = fakes.templateFile("Shop.vxt");
        const QString companion = fakes.templateFile("Shop.html", page("shop window"));
        fakes.templateFile("Other.vxt");
        TfrmTemplates dialog(fakes.services);
        dialog.show();

        QTest::mouseClick(dialog.btnDelete, Qt::LeftButton); // nothing selected: nothing asked
        QCOMPARE(fakes.prompter.boxes.size(), 0);
        QCOMPARE(fakes.prompter.beeps, 0);

        clickItem(*dialog.lvTemplates, "Shop");
        fakes.prompter.answer(Prompter::Button(answer));
        QTest::mouseClick(dialog.btnDelete, Qt::LeftButton);
        QCOMPARE(fakes.prompter.beeps, 1);
        QCOMPARE(fakes.prompter.texts(), QStringList{"Do you want to delete Shop?"});
        QCOMPARE(fakes.prompter.boxes.first().kind, Prompter::Kind::Confirmation);
        QCOMPARE(fakes.prompter.boxes.first().buttons, Prompter::Buttons(Prompter::Yes | Prompter::No));

        const bool yes = answer == Prompter::Yes;
        QCOMPARE(QFileInfo::exists(document), !yes);
        QCOMPARE(QFileInfo::exists(companion), !yes);
        QCOMPARE(listTexts(*dialog.lvTemplates), yes ? QStringList{"Other"} : (QStringList{"Other", "Shop"}));
        QCOMPARE(dialog.btnOK->isEnabled(), !yes);
        QCOMPARE(previewText(dialog).isEmpty(), yes);
        QCOMPARE(dialog.ChosenFile(), document); // Delete leaves the choice as it was
        if (yes) {
            // The next click chooses afresh.
            clickItem(*dialog.lvTemplates, "Other");
            QVERIFY(dialog.btnOK->isEnabled());
            QCOMPARE(dialog.ChosenFile(), fakes.data.folder().templatesFolder() + "Other.vxt");
        }
    }

    void deleteThatCannotHappen_data()
    {
        QTest::addColumn<bool>("missing"); // else: there, but it cannot be deleted
        QTest::newRow("gone from disk") << true;
        QTest::newRow("cannot be deleted") << false;
    }

    void deleteThatCannotHappen()
    {
        QFETCH(bool, missing);
        EmptyFolders fakes;
        const QString document = fakes.documentFile("Stuck.vxf");
        fakes.documentFile("Stuck.html", page("stuck"));
        TfrmTemplates dialog(fakes.services);
        dialog.show();
        clickItem(*dialog.lvTemplates, "Stuck");
        QVERIFY(QFile::remove(document));
        if (!missing)
            QVERIFY(QDir().mkpath(document)); // a folder in its place cannot be removed as a file

        fakes.prompter.answer(Prompter::Yes);
        QTest::mouseClick(dialog.btnDelete, Qt::LeftButton);
        QCOMPARE(listTexts(*dialog.lvTemplates), QStringList{"Stuck"});
        QVERIFY(!dialog.btnOK->isEnabled());
        QVERIFY(previewText(dialog).isEmpty());
        QVERIFY(QFileInfo::exists(fakes.data.folder().documentsFolder() + "Stuck.html"));
        if (missing) {
            QCOMPARE(fakes.prompter.boxes.size(), 1);
        } else {
            QCOMPARE(fakes.prompter.boxes.size(), 2);
            const FakePrompter::Box &box = fakes.prompter.boxes.last();
            QCOMPARE(box.kind, Prompter::Kind::Error);
            QVERIFY2(box.text.startsWith("Unable to delete " + QDir::toNativeSeparators(document) + ".\n"), qPrintable(box.text));
            QVERIFY(box.text.size() > ("Unable to delete " + document + ".\n").size()); // the reason follows
        }
    }
};

VENDRIX_TEST(TestFrmTemplates)
#include "tst_frmtemplates.moc"
