#include "platform/desktopfiledialog.h"
#include "platform/makerconfig.h"
#include "platform/messageboxprompter.h"
#include "platform/shellopen.h"
#include "testregistry.h"
#include "uifakes.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>

namespace {

// Runs `action` on the message box once it is shown (the production prompter runs a
// real modal loop, so the test reaches the box from a timer).
void whenBoxShown(std::function<void(QMessageBox &)> action)
{
    auto *poll = new QTimer;
    poll->setInterval(10);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, action] {
        for (QWidget *w : QApplication::topLevelWidgets()) {
            auto *box = qobject_cast<QMessageBox *>(w);
            if (box && box->isVisible()) {
                poll->stop();
                poll->deleteLater();
                action(*box);
                return;
            }
        }
    });
    poll->start();
}

QAbstractButton *buttonWithText(QMessageBox &box, const QString &text)
{
    for (QAbstractButton *b : box.buttons()) {
        if (b->text().remove(u'&') == text)
            return b;
    }
    return nullptr;
}

}

class TestAdapters : public QObject
{
    Q_OBJECT
private slots:
    void nameFilters_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("pairs") << "Vendrix Files|*.vxf|All Files|*.*"
                               << QStringList{"Vendrix Files (*.vxf)", "All Files (*.*)"};
        QTest::newRow("several patterns") << "Pictures|*.gif;*.jpg;*.bmp"
                                          << QStringList{"Pictures (*.gif *.jpg *.bmp)"};
        QTest::newRow("blanks around patterns") << "Text| *.txt ; *.htm |"
                                                << QStringList{"Text (*.txt *.htm)"};
        QTest::newRow("description without patterns") << "Pages|*.vxf|Orphan" << QStringList{"Pages (*.vxf)"};
        QTest::newRow("empty") << "" << QStringList{};
    }
    void nameFilters()
    {
        QFETCH(QString, filter);
        QFETCH(QStringList, expected);
        QCOMPARE(DesktopFileDialog::qtNameFilters(filter), expected);
    }

    void defaultExtension_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("extension");
        QTest::addColumn<QString>("expected");
        QTest::newRow("appended") << "/tmp/page" << "vxf" << "/tmp/page.vxf";
        QTest::newRow("dotted extension") << "/tmp/page" << ".vxt" << "/tmp/page.vxt";
        QTest::newRow("kept") << "/tmp/page.html" << "vxf" << "/tmp/page.html";
        QTest::newRow("dot in folder only") << "/tmp/my.pages/page" << "vxf" << "/tmp/my.pages/page.vxf";
        QTest::newRow("no default") << "/tmp/page" << "" << "/tmp/page";
    }
    void defaultExtension()
    {
        QFETCH(QString, typed);
        QFETCH(QString, extension);
        QFETCH(QString, expected);
        QCOMPARE(DesktopFileDialog::withDefaultExtension(typed, extension), expected);
    }

    void shellUrls_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QUrl>("expected");
        QTest::newRow("web") << "http://www.zandorell.com/order" << QUrl("http://www.zandorell.com/order");
        QTest::newRow("mail") << "mailto:support@zandorell.com" << QUrl("mailto:support@zandorell.com");
        QTest::newRow("bare host") << "www.zandorell.com" << QUrl("http://www.zandorell.com");
        QTest::newRow("file with blank") << "/tmp/my page.html" << QUrl::fromLocalFile("/tmp/my page.html");
        QTest::newRow("empty") << "  " << QUrl();
    }
    void shellUrls()
    {
        QFETCH(QString, text);
        QFETCH(QUrl, expected);
        QCOMPARE(urlForShell(text), expected);
    }

    void defaultClientFailure()
    {
        FakeShell shell;
        FakePrompter prompter;
        const MakerConfig &maker = MakerConfig::defaults();
        QVERIFY(openWithDefaultClient(shell, prompter, maker, QStringLiteral("http://example.com")));
        QVERIFY(prompter.boxes.isEmpty());

        shell.openSucceeds = false;
        QVERIFY(!openWithDefaultClient(shell, prompter, maker, QStringLiteral("/tmp/page.html")));
        QCOMPARE(shell.opened, (QStringList{"http://example.com", "/tmp/page.html"}));
        QCOMPARE(prompter.boxes.size(), 1);
        const FakePrompter::Box box = prompter.boxes.first();
        QCOMPARE(box.kind, Prompter::Kind::Information);
        QVERIFY(box.text.startsWith(QStringLiteral("Could not load the default client.")));
        QVERIFY(box.text.contains(maker.homePage));
        QVERIFY(box.text.contains(maker.supportEmail));
    }

    void messageBoxCaptionsAndAnswers_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("buttons");
        QTest::addColumn<QString>("press");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<int>("expected");
        QTest::newRow("information") << int(Prompter::Kind::Information) << int(Prompter::Ok) << "OK" << "Information"
                                     << int(Prompter::Ok);
        QTest::newRow("warning") << int(Prompter::Kind::Warning) << int(Prompter::Ok) << "OK" << "Warning"
                                 << int(Prompter::Ok);
        QTest::newRow("error") << int(Prompter::Kind::Error) << int(Prompter::Ok) << "OK" << "Error" << int(Prompter::Ok);
        QTest::newRow("confirm no") << int(Prompter::Kind::Confirmation) << int(Prompter::Yes | Prompter::No) << "No"
                                    << "Confirm" << int(Prompter::No);
        QTest::newRow("confirm cancel") << int(Prompter::Kind::Confirmation) << int(Prompter::Ok | Prompter::Cancel)
                                        << "Cancel" << "Confirm" << int(Prompter::Cancel);
    }
    void messageBoxCaptionsAndAnswers()
    {
        QFETCH(int, kind);
        QFETCH(int, buttons);
        QFETCH(QString, press);
        QFETCH(QString, caption);
        QFETCH(int, expected);
        FakeHelpEngine help;
        MessageBoxPrompter prompter(help);
        QString seenCaption;
        QString seenText;
        int buttonCount = 0;
        whenBoxShown([&](QMessageBox &box) {
            seenCaption = box.windowTitle();
            seenText = box.text();
            buttonCount = int(box.buttons().size());
            if (QAbstractButton *b = buttonWithText(box, press))
                b->click();
            else
                box.reject();
        });
        const auto answer = prompter.ask(Prompter::Kind(kind), QStringLiteral("Some text"), Prompter::Buttons(buttons));
        QCOMPARE(seenCaption, caption);
        QCOMPARE(seenText, QStringLiteral("Some text"));
        QCOMPARE(buttonCount, qPopulationCount(uint(buttons)));
        QCOMPARE(int(answer), expected);
        QVERIFY(help.popups.isEmpty());
    }

    // Enter answers a question with its first button unless the caller names another.
    void messageBoxDefaultButton()
    {
        FakeHelpEngine help;
        MessageBoxPrompter prompter(help);
        QStringList defaults;
        const auto pressDefault = [&](QMessageBox &box) {
            QPushButton *button = box.defaultButton();
            defaults.append(button ? button->text().remove(u'&') : QString());
            if (button)
                button->click();
            else
                box.reject();
        };
        whenBoxShown(pressDefault);
        QCOMPARE(prompter.ask(Prompter::Kind::Confirmation, QStringLiteral("Go?"), Prompter::Yes | Prompter::No), Prompter::Yes);
        whenBoxShown(pressDefault);
        QCOMPARE(prompter.askWithDefault(Prompter::Kind::Warning, QStringLiteral("Go?"), Prompter::Yes | Prompter::No, Prompter::No),
                 Prompter::No);
        QCOMPARE(defaults, (QStringList{"Yes", "No"}));
    }

    void messageBoxHelpKeepsTheBoxOpen()
    {
        FakeHelpEngine help;
        MessageBoxPrompter prompter(help);
        bool stillOpenAfterHelp = false;
        whenBoxShown([&](QMessageBox &box) {
            QAbstractButton *helpButton = buttonWithText(box, QStringLiteral("Help"));
            QVERIFY(helpButton);
            helpButton->click();
            stillOpenAfterHelp = box.isVisible();
            buttonWithText(box, QStringLiteral("OK"))->click();
        });
        const auto answer = prompter.ask(Prompter::Kind::Information, QStringLiteral("Saved."), Prompter::Ok, 171);
        QVERIFY(stillOpenAfterHelp);
        QCOMPARE(help.popups, QList<int>{171});
        QCOMPARE(answer, Prompter::Ok);
    }
};

VENDRIX_TEST(TestAdapters)
#include "tst_adapters.moc"
