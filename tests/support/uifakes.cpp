#include "uifakes.h"

#include <QDialog>

bool FakeFileDialog::execute()
{
    runs.append({mFilter, mFilterIndex, mDefaultExtension, mInitialDir, mFileName});
    const QString path = script.isEmpty() ? QString() : script.dequeue();
    if (path.isEmpty())
        return false;
    mFileName = path;
    return true;
}

int ScriptedModalRunner::runModal(QDialog &dialog)
{
    shownClasses.append(QString::fromLatin1(dialog.metaObject()->className()));
    if (handlers.isEmpty())
        return QDialog::Rejected;
    const Handler handler = handlers.dequeue();
    return handler(dialog);
}

TestServices::TestServices()
    : settings(data.path() + QStringLiteral("settings.ini")),
      services{settings, prompter, openDialog, pictureDialog, saveDialog, modal, shell, help, data.folder()}
{
    // The windows' tests see pages through the simple viewer; the browser engine has
    // tests of its own.
    services.previewRenderer = PreviewRenderer::RichText;
}
