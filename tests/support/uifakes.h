#pragma once

#include "fakeprompter.h"
#include "platform/appservices.h"
#include "platform/filedialog.h"
#include "platform/helpengine.h"
#include "platform/modalrunner.h"
#include "platform/settings.h"
#include "platform/shell.h"
#include "testdatafolder.h"

#include <QList>
#include <QQueue>
#include <QStringList>

#include <functional>
#include <memory>

class QDialog;

// Returns scripted paths; an empty entry (or an empty script) is a cancel. Records how
// the caller set the dialog up for each run.
class FakeFileDialog : public FileDialog
{
public:
    struct Run
    {
        QString filter;
        int filterIndex;
        QString defaultExtension;
        QString initialDir;
        QString fileName;
    };

    explicit FakeFileDialog(Kind kind)
        : FileDialog(kind)
    {
    }
    bool execute() override;

    void choose(const QString &path) { script.enqueue(path); }
    void cancel() { script.enqueue(QString()); }

    QQueue<QString> script;
    QList<Run> runs;
};

// Hands every modal dialog to the test's handler, which drives it through its
// controls and returns QDialog::Accepted or Rejected (rejecting when there is none).
class ScriptedModalRunner : public ModalRunner
{
public:
    using Handler = std::function<int(QDialog &)>;
    int runModal(QDialog &dialog) override;

    void expect(Handler handler) { handlers.enqueue(std::move(handler)); }

    QQueue<Handler> handlers;
    QStringList shownClasses; // metaObject()->className() of each dialog shown
};

class FakeShell : public Shell
{
public:
    bool open(const QString &fileOrAddress) override
    {
        opened.append(fileOrAddress);
        return openSucceeds;
    }
    QString favoritesFolder() const override { return favorites; }

    QStringList opened;
    bool openSucceeds = true;
    QString favorites;
};

class FakeHelpEngine : public HelpEngine
{
public:
    void showContents() override { ++contentsShown; }
    void showPopup(int topic, const QPoint &) override { popups.append(topic); }
    void close() override { ++closed; }

    int contentsShown = 0;
    QList<int> popups;
    int closed = 0;
};

// A complete set of fakes over a fresh program folder and a temporary settings file.
class TestServices
{
public:
    TestServices();

    TestDataFolder data;
    Settings settings;
    FakePrompter prompter;
    FakeFileDialog openDialog{FileDialog::Kind::Open};
    FakeFileDialog pictureDialog{FileDialog::Kind::Open};
    FakeFileDialog saveDialog{FileDialog::Kind::Save};
    ScriptedModalRunner modal;
    FakeShell shell;
    FakeHelpEngine help;
    AppServices services;
};
