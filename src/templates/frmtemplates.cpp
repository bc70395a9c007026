#include "frmtemplates.h"

#include "templatefolder.h"

#include "model/documents.h"
#include "platform/appservices.h"
#include "platform/dialogbuttons.h"
#include "platform/filedialog.h"
#include "platform/prompter.h"
#include "platform/textfile.h"
#include "widgets/htmlviewer.h"
#include "widgets/pictures.h"
#include "widgets/whatsthis.h"

#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
constexpr int kIconRole = Qt::UserRole;
}

TfrmTemplates::TfrmTemplates(AppServices &services, QWidget *parent)
    : QDialog(parent), mFolder(services.programFolder), mOpenDialog(services.openDialog), mPrompter(services.prompter)
{
    setObjectName(QStringLiteral("frmTemplates"));
    setWindowTitle(tr("Templates"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
                   | Qt::WindowContextHelpButtonHint);
    setFixedSize(880, 520);
    whatsThis = new WhatsThisMenu(services.help, this);

    btnOpen = new QPushButton(QIcon(Pictures::button(Pictures::Button::Browse)), tr("Browse..."), this);
    btnOpen->setObjectName(QStringLiteral("btnOpen"));
    btnOpen->setToolTip(tr("Look for a Template or Vendrix yourself."));
    btnOpen->setGeometry(8, 8, 100, 27);
    btnOpen->setAutoDefault(false);
    connect(btnOpen, &QPushButton::clicked, this, &TfrmTemplates::btnOpenClick);

    btnDelete = new QPushButton(QIcon(Pictures::button(Pictures::Button::Remove)), tr("&Delete Item"), this);
    btnDelete->setObjectName(QStringLiteral("btnDelete"));
    btnDelete->setGeometry(113, 8, 100, 27);
    btnDelete->setAutoDefault(false);
    connect(btnDelete, &QPushButton::clicked, this, &TfrmTemplates::btnDeleteClick);

    lvTemplates = new QListWidget(this);
    lvTemplates->setObjectName(QStringLiteral("lvTemplates"));
    lvTemplates->setAccessibleName(tr("Templates and saved pages"));
    lvTemplates->setGeometry(8, 42, 205, 420);
    lvTemplates->setViewMode(QListView::IconMode);
    lvTemplates->setIconSize(QSize(32, 32));
    lvTemplates->setGridSize(QSize(90, 72));
    lvTemplates->setMovement(QListView::Static);
    lvTemplates->setResizeMode(QListView::Adjust);
    lvTemplates->setWordWrap(true);
    lvTemplates->setSelectionMode(QAbstractItemView::SingleSelection);
    lvTemplates->setEditTriggers(QAbstractItemView::NoEditTriggers);
    whatsThis->attach(*lvTemplates, 64);
    connect(lvTemplates->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        // Only a newly selected item counts; losing the selection changes nothing.
        const QList<QListWidgetItem *> selected = lvTemplates->selectedItems();
        if (!selected.isEmpty())
            lvTemplatesSelectItem(*selected.first());
    });
    connect(lvTemplates, &QListWidget::itemDoubleClicked, this, &TfrmTemplates::lvTemplatesDblClick);

    auto *pnlPreview = new QFrame(this);
    pnlPreview->setObjectName(QStringLiteral("pnlPreview"));
    pnlPreview->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    // Wide enough for the 600-pixel table of a page with a margin.
    pnlPreview->setGeometry(222, 8, 650, 454);
    auto *previewLayout = new QVBoxLayout(pnlPreview);
    previewLayout->setContentsMargins(1, 1, 1, 1);
    browser = new HtmlViewer(services.previewRenderer, pnlPreview);
    browser->setObjectName(QStringLiteral("browser"));
    browser->setAccessibleName(tr("Preview"));
    previewLayout->addWidget(browser);
    whatsThis->attach(*browser, 76);

    auto *separator = new QFrame(this);
    separator->setObjectName(QStringLiteral("bvlButtons"));
    separator->setFrameStyle(QFrame::HLine | QFrame::Sunken);
    separator->setGeometry(8, 472, 864, 2);
    btnOK = addOkButton(*this, QStringLiteral("btnOK"), QRect(716, 484, 75, 27));
    btnOK->setEnabled(false);
    btnCancel = addCancelButton(*this, QRect(797, 484, 75, 27));

    lvTemplates->clear();
    AddFolderEntries(mFolder.templatesFolder(), Documents::templateExtension(), Pictures::liTemplate);
    AddFolderEntries(mFolder.documentsFolder(), Documents::documentExtension(), Pictures::liPageDocument);
}

void TfrmTemplates::AddFolderEntries(const QString &folder, const QString &extension, int icon)
{
    if (folder.isEmpty())
        return;
    const QIcon picture(Pictures::largeImage(Pictures::LargeImage(icon)));
    for (const QString &caption : TemplateFolder::entryCaptions(folder, extension)) {
        auto *item = new QListWidgetItem(picture, caption, lvTemplates);
        item->setData(kIconRole, icon);
        item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    }
}

QString TfrmTemplates::folderOf(const QListWidgetItem &item) const
{
    return item.data(kIconRole).toInt() == Pictures::liTemplate ? mFolder.templatesFolder() : mFolder.documentsFolder();
}

QString TfrmTemplates::extensionOf(const QListWidgetItem &item) const
{
    return item.data(kIconRole).toInt() == Pictures::liTemplate ? Documents::templateExtension()
                                                                : Documents::documentExtension();
}

void TfrmTemplates::lvTemplatesSelectItem(QListWidgetItem &item)
{
    btnOK->setEnabled(true);
    const QString folder = folderOf(item);
    mChosenFile = TemplateFolder::documentPath(folder, item.text(), extensionOf(item));
    browser->setBaseFolder(folder);
    // Without a companion the preview keeps what it showed.
    const QString companion = folder + item.text() + QStringLiteral(".html");
    if (QFileInfo::exists(companion))
        showPreview(companion);
}

void TfrmTemplates::lvTemplatesDblClick()
{
    if (lvTemplates->currentItem())
        accept();
}

void TfrmTemplates::btnOpenClick()
{
    mOpenDialog.setFileName(QString());
    mOpenDialog.setFilter(Documents::documentFilter() + u'|' + Documents::templateFilter());
    mOpenDialog.setFilterIndex(1);
    mOpenDialog.setInitialDir(mFolder.documentsFolder());
    if (!mOpenDialog.execute())
        return;
    mChosenFile = mOpenDialog.fileName();
    btnOK->setEnabled(true);
    const QString companion = TemplateFolder::companionOf(mChosenFile);
    if (QFileInfo::exists(companion)) {
        browser->setBaseFolder(QFileInfo(mChosenFile).absolutePath());
        showPreview(companion);
    }
}

void TfrmTemplates::btnDeleteClick()
{
    const QList<QListWidgetItem *> selected = lvTemplates->selectedItems();
    if (selected.isEmpty())
        return;
    QListWidgetItem *item = selected.first();
    mPrompter.beep();
    if (mPrompter.ask(Prompter::Kind::Confirmation, tr("Do you want to delete %1?").arg(item->text()),
                      Prompter::Yes | Prompter::No)
        != Prompter::Yes)
        return;
    // Nothing stays selected: the next click on any item chooses it afresh.
    lvTemplates->clearSelection();
    lvTemplates->setCurrentItem(nullptr);
    QString error;
    const QString folder = folderOf(*item);
    switch (TemplateFolder::deleteDocument(folder, item->text(), extensionOf(*item), &error)) {
    case TemplateFolder::DeleteResult::Deleted:
        delete item;
        break;
    case TemplateFolder::DeleteResult::Missing:
        break;
    case TemplateFolder::DeleteResult::Failed:
        // The document is still on disk, so its item stays and the user learns why.
        mPrompter.error(tr("Unable to delete %1.").arg(QDir::toNativeSeparators(
                            TemplateFolder::documentPath(folder, item->text(), extensionOf(*item))))
                        + u'\n' + error);
        break;
    }
    lvTemplates->doItemsLayout();
    browser->clearPage();
    btnOK->setEnabled(false);
}

void TfrmTemplates::showPreview(const QString &htmlPath)
{
    QStringList lines;
    if (TextFile::readLines(htmlPath, lines))
        browser->loadLines(lines);
}
