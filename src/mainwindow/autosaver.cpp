#include "autosaver.h"

#include "documentstate.h"

#include <QApplication>

Autosaver::Autosaver(const QString &folder, DocumentState &document, PageSource pageNow, QObject *parent)
    : QObject(parent), mStore(folder), mDocument(document), mPageNow(std::move(pageNow))
{
    mTimer.setInterval(kDefaultInterval);
    connect(&mTimer, &QTimer::timeout, this, &Autosaver::saveWhenIdle);
    connect(&document, &DocumentState::changedFlagChanged, this, &Autosaver::changedFlagChanged);
    connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
        if (state != Qt::ApplicationActive)
            saveWhenIdle();
    });
    if (document.changed())
        mTimer.start();
}

void Autosaver::changedFlagChanged(bool changed)
{
    if (changed) {
        mTimer.start();
    } else {
        mTimer.stop();
        discard();
    }
}

void Autosaver::saveWhenIdle()
{
    // A dialog or message box may be half way through a change of the page: its
    // command stores the page when it is done, and the next tick saves it.
    if (!mDocument.changed() || QApplication::activeModalWidget())
        return;
    QString reason;
    if (saveNow(&reason)) {
        mFailing = false;
    } else if (!mFailing) {
        mFailing = true;
        emit failed(reason);
    }
}

bool Autosaver::saveNow(QString *error)
{
    RecoveryStore::Page page = mPageNow();
    if (mHasWritten && page.bytes == mWritten.bytes && page.documentName == mWritten.documentName)
        return true;
    if (!mStore.write(page, error))
        return false;
    mWritten = std::move(page);
    mHasWritten = true;
    return true;
}

void Autosaver::discard()
{
    mStore.remove();
    mWritten = {};
    mHasWritten = false;
}
