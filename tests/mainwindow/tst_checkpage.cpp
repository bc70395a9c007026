#include "mainwindow/buttonbar.h"
#include "mainwindow/frmcheck.h"
#include "editor/linkpanel.h"
#include "listtexts.h"
#include "mainwindowtest.h"
#include "testregistry.h"
#include "upload/frmupload.h"
#include "upload/profilestore.h"
#include "widgets/findingspanel.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QStackedWidget>

using namespace MainWindowTest;

// Check Page, as the user meets it in the main window.
class TestCheckPage : public QObject
{
    Q_OBJECT

private slots:
    // The check sees the open panel's edits; a double click on a finding closes the
    // window and selects its block.
    void findingSelectsItsBlock()
    {
        DataHomeSandbox sandbox;
        TestServices fakes;
        const auto window = startWindow(fakes);
        clickRow(*window, 2);
        window->pnlLinks->txtLinkAddress->setText(QStringLiteral("http://example.com/"));
        window->showPreviewArea();

        QStringList shown;
        QString summary;
        fakes.modal.expect([&](QDialog &dialog) {
            auto &check = static_cast<TfrmCheck &>(dialog);
            check.show();
            summary = check.pnlFindings->lblFindings->text();
            QListWidget *list = check.pnlFindings->lstFindings;
            shown = listTexts(*list);
            const QRect rect = list->visualItemRect(list->item(1));
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
            QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, rect.center());
            return dialog.result();
        });
        window->mnuCheck->trigger();

        QCOMPARE(fakes.modal.shownClasses, QStringList{"TfrmCheck"});
        QCOMPARE(summary, QStringLiteral("The check found 1 error and 1 warning on this page. Double-click a line to go to "
                                         "its block."));
        QCOMPARE(shown, (QStringList{"Page Details: The page has no title: browsers show its file name instead, and search "
                                     "engines list it without one.",
                                     "Image (row 1): The picture block has no picture chosen."}));
        QCOMPARE(window->page().Page().Items(2).LinkBlock().LinkURL, QStringLiteral("http://example.com/"));
        QCOMPARE(window->lstBlocks->currentRow(), 1);
        QCOMPARE(window->currentItemIndex(), 1);
        QCOMPARE(window->pnlWork->currentWidget(), window->pnlCreate);
    }

    // The upload wizard shows the same findings; choosing one there closes the
    // wizard and selects the block.
    void findingInTheWizardSelectsItsBlock()
    {
        DataHomeSandbox sandbox;
        TestServices fakes;
        const auto window = startWindow(fakes);
        fakes.saveDialog.choose(fakes.data.path() + QStringLiteral("VendrixFiles/Page.vxf"));
        QVERIFY(window->save());
        ServerProfile profile = ServerProfile::newProfile();
        profile.ProfileName = QStringLiteral("Home");
        QVERIFY(ProfileStore(fakes.settings).SaveProfile(profile));
        fakes.modal.expect([](QDialog &dialog) {
            auto &wizard = static_cast<TfrmUpload &>(dialog);
            wizard.show();
            wizard.lvProfiles->setCurrentRow(0);
            wizard.btnUpload->click();
            QListWidget *list = wizard.pnlFindings->lstFindings;
            const QRect rect = list->visualItemRect(list->item(2));
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
            QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, rect.center());
            return dialog.result();
        });
        window->pbButtons->btnUpload->click();
        QCOMPARE(fakes.modal.shownClasses, QStringList{"TfrmUpload"});
        QCOMPARE(window->lstBlocks->currentRow(), 2);
        QCOMPARE(window->currentItemIndex(), 2);
    }

    // Looking changes nothing: a saved page stays saved, and closing the window
    // selects nothing.
    void checkingChangesNothing()
    {
        DataHomeSandbox sandbox;
        TestServices fakes;
        const auto window = startWindow(fakes);
        QVERIFY(!window->changed());
        fakes.modal.expect([](QDialog &dialog) {
            static_cast<TfrmCheck &>(dialog).btnClose->click();
            return dialog.result();
        });
        window->mnuCheck->trigger();
        QCOMPARE(fakes.modal.shownClasses, QStringList{"TfrmCheck"});
        QVERIFY(!window->changed());
        QCOMPARE(window->lstBlocks->currentRow(), 0);
    }
};

VENDRIX_TEST(TestCheckPage)
#include "tst_checkpage.moc"
