#pragma once

#include "editor/blocklists.h"
#include "editor/frmmain.h"
#include "platform/settings.h"
#include "uifakes.h"

#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>

#include <memory>

// Helpers of the tests that drive the main window.
namespace MainWindowTest {

// Start-up registers the file types below the user's data folder: tests keep that in
// a folder of their own for as long as this lives.
class DataHomeSandbox
{
public:
    DataHomeSandbox() { qputenv("XDG_DATA_HOME", mDir.path().toLocal8Bit()); }

private:
    QTemporaryDir mDir;
};

// A window after its start-up, tip of the day off unless asked for.
inline std::unique_ptr<TfrmMain> startWindow(TestServices &fakes, const QString &document = QString(), bool tips = false)
{
    if (!tips)
        fakes.settings.writeString(SettingsKeys::tipDay(), QStringLiteral("0"));
    fakes.settings.writeString(SettingsKeys::windowState(), QStringLiteral("Normal"));
    auto window = std::make_unique<TfrmMain>(fakes.services);
    window->startUp(document);
    window->show();
    return window;
}

inline void clickRow(TfrmMain &window, int row)
{
    QListWidget *list = window.lstBlocks;
    const QRect rect = list->visualItemRect(list->item(row));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
}

// The caption as the window system shows it: a changed page has "*" after its name.
inline QString shownTitle(const QWidget &window)
{
    return window.windowHandle() ? window.windowHandle()->title() : QStringLiteral("<not shown>");
}

}
