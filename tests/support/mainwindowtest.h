#pragma once

#include "uifakes.h"

#include "forms/frmfields.h"
#include "mainwindow/blocklists.h"
#include "mainwindow/frmmain.h"
#include "platform/settings.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>
#include <QWindow>

#include <memory>

// Helpers of the tests that drive the main window, its panels and the field editor.
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

// Palette rows hold the kinds from Heading on.
inline void dropFromPalette(TfrmMain &window, TBlockType kind, int target)
{
    window.dropOnPageletteList(BlockDrag::Source::Palette, int(kind) - 1, target);
}

// Selects the row and deletes it, the question answered Yes.
inline void deleteRow(TfrmMain &window, TestServices &fakes, int row)
{
    clickRow(window, row);
    fakes.prompter.answer(Prompter::Yes);
    window.DeletePagelette();
}

// A picture of one colour, written in the format its extension names (or the one given).
inline void savePicture(const QString &path, QSize size, QColor colour, const char *format = nullptr)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QImage picture(size, QImage::Format_RGB32);
    picture.fill(colour);
    QVERIFY(picture.save(path, format, 100));
}

// The texts of a tree list's rows in one column, top to bottom.
inline QStringList treeTexts(const QTreeWidget &list, int column = 0)
{
    QStringList texts;
    for (int i = 0; i < list.topLevelItemCount(); ++i)
        texts.append(list.topLevelItem(i)->text(column));
    return texts;
}

inline void selectRow(QTreeWidget &list, int row)
{
    list.setCurrentItem(list.topLevelItem(row));
}

// Adds an option through the field editor's option boxes, as the user does.
inline void addOption(TfrmFields &editor, const QString &value, const QString &text, bool checked)
{
    editor.btnAdd->click();
    editor.txtDropValue->setText(value);
    editor.txtDropText->setText(text);
    editor.chkCheck->setChecked(checked);
    editor.btnDropApply->click();
}

// The caption as the window system shows it: a changed page has "*" after its name.
inline QString shownTitle(const QWidget &window)
{
    return window.windowHandle() ? window.windowHandle()->title() : QStringLiteral("<not shown>");
}

}
