#include "panelcommands.h"

#include "bulletpanel.h"
#include "fontconvert.h"
#include "frmmisc.h"
#include "imagepanel.h"
#include "linkpanel.h"
#include "pagepropertiespanel.h"
#include "textblockpanel.h"
#include "textimport.h"

#include "model/bookmarks.h"
#include "model/picturestore.h"
#include "platform/appservices.h"
#include "platform/busycursor.h"
#include "platform/filedialog.h"
#include "platform/prompter.h"
#include "platform/shell.h"
#include "widgets/listboxhrz.h"
#include "widgets/memobox.h"
#include "widgets/picturefiles.h"
#include "widgets/pictures.h"
#include "widgets/rowdrag.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

#include <memory>

namespace {

const QString kMailto = QStringLiteral("mailto:");

// The small dialog for one task, built under the busy cursor; the cursor is back to
// normal by the time the dialog waits for the user.
std::unique_ptr<TfrmMisc> makeMisc(TfrmMisc::TMiscMode mode, AppServices &services, PaletteTable &palette,
                                   QWidget *parent)
{
    BusyCursor busy;
    auto dialog = std::make_unique<TfrmMisc>(services, palette, parent ? parent->window() : nullptr);
    dialog->setMode(mode);
    return dialog;
}

// The row of the list's selected line; -1 when none is selected.
int selectedRowOf(const QListWidget &list)
{
    const QListWidgetItem *item = list.currentItem();
    return item && item->isSelected() ? list.row(item) : -1;
}

}

MetaTagCommands::MetaTagCommands(PagePropertiesPanel &panel, AppServices &services, PaletteTable &palette)
    : mPanel(panel), mServices(services), mPalette(palette)
{
    connect(panel.btnMetaAdd, &QToolButton::clicked, this, &MetaTagCommands::add);
    connect(panel.btnMetaRemove, &QToolButton::clicked, this, &MetaTagCommands::remove);
    connect(panel.btnMetaEdit, &QToolButton::clicked, this, &MetaTagCommands::edit);
    connect(panel.lstMeta, &QListWidget::itemClicked, this, &MetaTagCommands::updateButtons);
    connect(panel.lstMeta, &QListWidget::itemDoubleClicked, this, &MetaTagCommands::edit);
}

void MetaTagCommands::add()
{
    const std::unique_ptr<TfrmMisc> dialog = makeMisc(TfrmMisc::mmMetaTag, mServices, mPalette, &mPanel);
    dialog->cbMetaName->setCurrentIndex(0);
    dialog->txtMetaContent->clear();
    if (dialog->execute() != QDialog::Accepted)
        return;
    TListBoxHrz &list = *mPanel.lstMeta;
    list.addItem(dialog->cbMetaName->currentText() + u'\t' + dialog->txtMetaContent->text());
    list.setCurrentRow(list.count() - 1);
    updateButtons();
}

void MetaTagCommands::remove()
{
    TListBoxHrz &list = *mPanel.lstMeta;
    const int row = selectedRowOf(list);
    if (row >= 0) {
        delete list.takeItem(row);
        // As after any removal, no line is selected until the user picks one.
        list.setCurrentRow(-1);
        list.clearSelection();
    }
    updateButtons();
}

void MetaTagCommands::edit()
{
    TListBoxHrz &list = *mPanel.lstMeta;
    const int row = selectedRowOf(list);
    if (row < 0)
        return;
    const QString line = list.item(row)->text();
    const qsizetype tab = line.indexOf(u'\t');
    const QString name = tab < 0 ? line : line.left(tab);
    const QString content = tab < 0 ? QString() : line.mid(tab + 1);

    const std::unique_ptr<TfrmMisc> dialog = makeMisc(TfrmMisc::mmMetaTag, mServices, mPalette, &mPanel);
    dialog->cbMetaName->setCurrentIndex(dialog->cbMetaName->findText(name, Qt::MatchFixedString));
    dialog->txtMetaContent->setText(content);
    if (dialog->execute() != QDialog::Accepted || dialog->cbMetaName->currentIndex() < 0)
        return;
    list.item(row)->setText(dialog->cbMetaName->currentText() + u'\t' + dialog->txtMetaContent->text());
    list.setCurrentRow(row);
}

void MetaTagCommands::updateButtons()
{
    const bool selected = selectedRowOf(*mPanel.lstMeta) >= 0;
    mPanel.btnMetaRemove->setEnabled(selected);
    mPanel.btnMetaEdit->setEnabled(selected);
}

FontCommand::FontCommand(FontedTextPanel &panel, MemoBox &box, QToolButton &button, AppServices &services,
                         PaletteTable &palette)
    : mPanel(panel), mBox(box), mServices(services), mPalette(palette)
{
    connect(&button, &QToolButton::clicked, this, &FontCommand::run);
}

void FontCommand::run()
{
    const std::unique_ptr<TfrmMisc> dialog = makeMisc(TfrmMisc::mmFont, mServices, mPalette, &mPanel);
    const FontValue current = FontConvert::boxFont(mBox);
    dialog->setSampleFont(mBox.font(), FontConvert::toQColor(current.color));
    if (dialog->execute() != QDialog::Accepted)
        return;
    FontConvert::setBoxFont(mBox, FontConvert::fromQFont(dialog->sampleFont(), dialog->sampleColor()));
    mPanel.setFontChosen(true);
}

LinkDropBox::LinkDropBox(LinkPanel &panel)
    : mPanel(panel), mList(*panel.lstLinks)
{
    connect(panel.btnLinkAdd, &QToolButton::clicked, this, &LinkDropBox::add);
    connect(panel.btnLinkRemove, &QToolButton::clicked, this, &LinkDropBox::remove);
    connect(panel.btnLinkEdit, &QToolButton::clicked, this, &LinkDropBox::applyEdit);
    connect(&mList, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem *item) { loadEntry(mList.row(item)); });
    auto *drag = new RowDrag(mList);
    drag->setDragCursor(Pictures::newDragCursor().pixmap());
    connect(drag, &RowDrag::rowDropped, this, [this](int, int targetRow) { dropOn(targetRow); });
}

QString LinkDropBox::makeEntry(const QString &address, const QString &text, bool email)
{
    return (email ? kMailto : QString()) + address + u'\t' + text;
}

int LinkDropBox::selectedRow() const
{
    return selectedRowOf(mList);
}

QString LinkDropBox::entryFromBoxes() const
{
    return makeEntry(mPanel.txtLinkAddress->text(), mPanel.txtLinkText->text(), mPanel.chkEmail->isChecked());
}

void LinkDropBox::clearBoxes()
{
    mPanel.txtLinkAddress->clear();
    mPanel.txtLinkText->clear();
    mPanel.chkEmail->setChecked(false);
}

void LinkDropBox::add()
{
    if (mPanel.txtLinkAddress->text().isEmpty() || mPanel.txtLinkText->text().isEmpty())
        return;
    const int row = selectedRow() + 1;
    mList.insertItem(row, entryFromBoxes());
    mList.setCurrentRow(row);
    clearBoxes();
    mPanel.chkLink->setChecked(true);
    mPanel.btnLinkRemove->setEnabled(true);
}

void LinkDropBox::remove()
{
    // The entry the user picked; the last one only when none is picked.
    const int selected = selectedRow();
    if (mList.count() > 0)
        delete mList.takeItem(selected >= 0 ? selected : mList.count() - 1);
    const bool entries = mList.count() > 0;
    mPanel.chkLink->setChecked(entries);
    mPanel.btnLinkRemove->setEnabled(entries);
}

void LinkDropBox::loadEntry(int row)
{
    if (row < 0 || row >= mList.count())
        return;
    QString entry = mList.item(row)->text();
    const bool email = entry.startsWith(kMailto);
    if (email)
        entry.remove(0, kMailto.size());
    mPanel.chkEmail->setChecked(email);
    const qsizetype tab = entry.indexOf(u'\t');
    mPanel.txtLinkAddress->setText(tab < 0 ? entry : entry.left(tab));
    mPanel.txtLinkText->setText(tab < 0 ? QString() : entry.mid(tab + 1));
}

void LinkDropBox::applyEdit()
{
    const int row = selectedRow();
    if (row < 0 || !mPanel.chkLink->isChecked() || mPanel.txtLinkAddress->text().isEmpty()
        || mPanel.txtLinkText->text().isEmpty())
        return;
    mList.item(row)->setText(entryFromBoxes());
    mList.setCurrentRow(row);
    clearBoxes();
}

void LinkDropBox::dropOn(int row)
{
    const int selected = selectedRow();
    if (selected < 0 || row < 0 || row >= mList.count() || row == selected)
        return;
    const QString dragged = mList.item(selected)->text();
    mList.item(selected)->setText(mList.item(row)->text());
    mList.item(row)->setText(dragged);
    mList.setCurrentRow(row);
}

AddressCommands::AddressCommands(QLineEdit &target, QToolButton &browse, QToolButton &favorites,
                                 QToolButton &bookmarks, AppServices &services, PaletteTable &palette)
    : mTarget(target), mServices(services), mPalette(palette)
{
    connect(&browse, &QToolButton::clicked, this, &AddressCommands::browse);
    connect(&favorites, &QToolButton::clicked, this, &AddressCommands::favorites);
    connect(&bookmarks, &QToolButton::clicked, this, &AddressCommands::bookmarks);
}

void AddressCommands::browse()
{
    // The dialog keeps the filter of its last use.
    if (mServices.openDialog.execute())
        mTarget.setText(mServices.openDialog.fileName());
}

void AddressCommands::favorites()
{
    FileDialog &dialog = mServices.openDialog;
    dialog.setFilter(QStringLiteral("Internet Shortcuts|*.url"));
    dialog.setFilterIndex(1);
    dialog.setFileName(QString());
    dialog.setInitialDir(mServices.shell.favoritesFolder());
    if (!dialog.execute())
        return;
    const QString url = Bookmarks::readInternetShortcut(dialog.fileName());
    if (!url.isEmpty())
        mTarget.setText(url);
}

void AddressCommands::bookmarks()
{
    const std::unique_ptr<TfrmMisc> dialog = makeMisc(TfrmMisc::mmBookmarks, mServices, mPalette, &mTarget);
    if (dialog->execute() != QDialog::Accepted)
        return;
    const QListWidgetItem *line = dialog->lstBookmarks->currentItem();
    if (line && line->isSelected() && !line->text().isEmpty())
        mTarget.setText(line->text());
}

TextImportCommand::TextImportCommand(QPlainTextEdit &box, QToolButton &button, AppServices &services)
    : mBox(box), mServices(services)
{
    connect(&button, &QToolButton::clicked, this, &TextImportCommand::run);
}

void TextImportCommand::run()
{
    FileDialog &dialog = mServices.openDialog;
    dialog.setFilter(QStringLiteral("Text Files|*.txt"));
    dialog.setFilterIndex(1);
    dialog.setFileName(QString());
    if (!dialog.execute())
        return;
    BusyCursor busy;
    QString text;
    if (TextImport::readText(dialog.fileName(), text))
        mBox.insertPlainText(text);
}

PictureCommand::PictureCommand(ImagePanel &panel, AppServices &services)
    : mPanel(panel), mServices(services)
{
    connect(panel.btnImagePic, &QToolButton::clicked, this, &PictureCommand::run);
}

void PictureCommand::run()
{
    FileDialog &dialog = mServices.pictureDialog;
    const QString imagesFolder = mServices.programFolder.imagesFolder();
    dialog.setFileName(QString());
    dialog.setInitialDir(imagesFolder);
    dialog.setFilter(PictureFiles::dialogFilter());
    dialog.setFilterIndex(1);
    if (!dialog.execute())
        return;
    const QString chosen = dialog.fileName();
    if (mPanel.loadPreview(chosen)) {
        mPanel.txtImageH->setText(QString::number(mPanel.imgImageView->height()));
        mPanel.txtImageW->setText(QString::number(mPanel.imgImageView->width()));
    }
    mPanel.centrePreview();
    mPanel.txtImageFile->setText(QFileInfo(chosen).fileName());

    BusyCursor busy;
    QString error;
    const QString placed = PictureStore::place(chosen, imagesFolder, &error);
    if (placed.isEmpty()) {
        mServices.prompter.error(QStringLiteral("Cannot copy \"%1\" to \"%2\": %3").arg(chosen, imagesFolder, error));
        mPanel.setPicturePath(chosen);
        return;
    }
    mPanel.setPicturePath(placed);
    mPanel.txtImageFile->setText(QFileInfo(placed).fileName());
}

PanelCommands::PanelCommands(AppServices &services, const Panels &panels, QObject *parent)
    : QObject(parent)
{
    const QList<QObject *> commands{
        new MetaTagCommands(panels.pageProperties, services, mPalette),
        new FontCommand(panels.heading, *panels.heading.txtHeading, *panels.heading.btnHeadingFont, services, mPalette),
        new FontCommand(panels.text, *panels.text.txtText, *panels.text.btnTextFont, services, mPalette),
        new TextImportCommand(*panels.text.txtText, *panels.text.btnTextImport, services),
        new TextImportCommand(*panels.bullets.txtBullets, *panels.bullets.btnBulletImport, services),
        new LinkDropBox(panels.links),
        new AddressCommands(*panels.links.txtLinkAddress, *panels.links.btnLinkBrowse, *panels.links.btnLinkIE,
                            *panels.links.btnLinkNetscape, services, mPalette),
        new AddressCommands(*panels.images.txtImageLink, *panels.images.btnImageLink, *panels.images.btnImageIE,
                            *panels.images.btnImageNetscape, services, mPalette),
        new PictureCommand(panels.images, services),
    };
    for (QObject *command : commands)
        command->setParent(this);
}

PanelCommands::~PanelCommands() = default;
