// The document lifecycle of the main window: start-up, New, Save, Save As Template,
// loading a document, and the page build they share.

#include "frmmain.h"

#include "autosaver.h"
#include "blocklists.h"
#include "frmcheck.h"
#include "pageeditor.h"
#include "undocontroller.h"

#include "checks/imagereaderinspector.h"
#include "editor/bulletpanel.h"
#include "editor/hrpanel.h"
#include "editor/pagepropertiespanel.h"
#include "html/htmlcopies.h"
#include "html/pagehtml.h"
#include "model/documents.h"
#include "platform/appservices.h"
#include "platform/busycursor.h"
#include "platform/filedialog.h"
#include "platform/modalrunner.h"
#include "platform/prompter.h"
#include "shell/bannerhost.h"
#include "shell/frmtips.h"
#include "shell/splashscreen.h"
#include "templates/frmtemplates.h"
#include "themes/themestore.h"
#include "upload/frmupload.h"
#include "upload/uploadlist.h"
#include "widgets/listboxhrz.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QStackedWidget>

void TfrmMain::startUp(const QString &commandLineDocument)
{
    startBanner();
    ReadSettings();
    NewPage();
    loadThemes();
    lstPalette->setCurrentRow(0);
    lstBlocks->setCurrentRow(0);
    pnlBullets->cbBullets->setCurrentIndex(0);
    pnlHR->recordFullWidth();
    mDocument.setUntitled();
    mUndo->reset();
    // A recovered page is what the user was working on; the document named on the
    // command line can be opened after it.
    if (!offerRecovery() && !commandLineDocument.isEmpty()) {
        loadDocument(commandLineDocument);
        showBuildingArea();
    }
    if (mTipDay != 0) {
        show();
        showTipOfTheDay();
    }
}

void TfrmMain::startBanner()
{
    mBanner = std::make_unique<BannerHost>(*imgadarea1, mServices.prompter, mServices.shell);
    // Without the library the banner stays inactive and the strip stays empty.
    mBanner->start();
}

void TfrmMain::shutdownBanner()
{
    if (mBanner)
        mBanner->shutdown();
}

void TfrmMain::loadThemes()
{
    QString error;
    std::unique_ptr<TWebTheme> loaded = ThemeStore::load(mServices.programFolder.themesFile(), &error);
    if (loaded)
        mThemes = std::move(loaded);
    else
        mServices.prompter.error(error);
    lstThemes->clear();
    lstThemes->addItems(ThemeStore::themeNames(*mThemes));
    mEditor->selectTheme(mPage.Page().Items(0).PagePropertiesBlock().ThemeName);
}

void TfrmMain::showTipOfTheDay()
{
    TfrmTips tips(mServices.programFolder, mServices.settings, this);
    tips.setShowAtStartup(mTipDay != 0);
    mServices.modal.runModal(tips);
    mTipDay = tips.showAtStartup() ? 1 : 0;
}

void TfrmMain::showAbout()
{
    TSplashScreen about(TSplashScreen::Mode::About, [this] { openWebAddress(mServices.maker.homePage); }, this);
    about.setWebAddress(mServices.maker.homePage);
    mServices.modal.runModal(about);
}

void TfrmMain::buildPageHTML(QStringList &lines, THTMLMode mode)
{
    if (mPage.Page().Count() == 0)
        return;
    StoreCurrentItem();
    BusyCursor busy;
    const HtmlBuildOptions options{mServices.programFolder, pnlPageProp->chkZandorellLogo->isChecked(), mServices.maker};
    mEditor->selectTheme(mPage.Page().Items(0).PagePropertiesBlock().ThemeName);
    try {
        BuildPageHTML(lines, mode, mPage, options);
    } catch (const ListIndexError &) {
        mServices.prompter.warning(tr("Error Creating Web Page"));
    }
}

bool TfrmMain::newDocument()
{
    if (mDocument.changed()) {
        const Prompter::Button answer = mServices.prompter.ask(
            Prompter::Kind::Confirmation, tr("Would you like to save changes to %1?").arg(mDocument.name()),
            Prompter::Yes | Prompter::No | Prompter::Cancel);
        if (answer == Prompter::Cancel)
            return false;
        if (answer == Prompter::Yes)
            save();
        else
            mDocument.setChanged(false);
    }
    // A save that was cancelled or failed leaves the page as it is.
    if (mDocument.changed())
        return false;
    NewPage();
    ShowSelectedItem();
    mDocument.setUntitled();
    updateCaption();
    showBuildingArea();
    mUndo->reset();
    return true;
}

void TfrmMain::openDocument()
{
    if (!newDocument())
        return;
    std::unique_ptr<TfrmTemplates> browser;
    {
        // Busy while the folders are read; the user picks with the normal cursor.
        BusyCursor busy;
        browser = std::make_unique<TfrmTemplates>(mServices, this);
    }
    if (mServices.modal.runModal(*browser) != QDialog::Accepted)
        return;
    BusyCursor busy;
    loadDocument(browser->ChosenFile());
}

std::optional<TfrmMain::WrittenDocument> TfrmMain::writeChosenDocument(const QString &extension, const QString &filter,
                                                                       const QString &folder, const QString &proposedPath)
{
    FileDialog &dialog = mServices.saveDialog;
    const QFileInfo proposed(proposedPath);
    dialog.setFileName(proposedPath.isEmpty() ? QString() : proposed.fileName());
    dialog.setDefaultExtension(extension);
    dialog.setFilter(filter);
    dialog.setInitialDir(proposedPath.isEmpty() ? folder : proposed.absolutePath() + u'/');
    if (!dialog.execute())
        return std::nullopt;
    const QString path = dialog.fileName();
    StoreCurrentItem();
    QString error;
    const Documents::SaveResult result = Documents::SaveDocument(path, mPage, &error);
    if (result == Documents::SaveResult::WriteFailed) {
        mServices.prompter.error(error);
        return std::nullopt;
    }
    // A file that cannot be created is reported, and the HTML copies are still written.
    if (result == Documents::SaveResult::CannotCreate)
        mServices.prompter.error(Documents::unableToCreateMessage());
    return WrittenDocument{path, result == Documents::SaveResult::Saved};
}

bool TfrmMain::save()
{
    // A named document is offered again, so saving it twice is Ctrl+S and Enter.
    const std::optional<WrittenDocument> document =
        writeChosenDocument(Documents::documentExtension(), Documents::documentFilter(), mServices.programFolder.documentsFolder(),
                            mDocument.isUntitled() ? QString() : mDocument.name());
    if (!document)
        return false;
    try {
        writeHtmlCopies(document->path);
    } catch (const VendrixError &failure) {
        mServices.prompter.error(failure.message());
        return false;
    }
    // Only a document that was written makes the page safe: otherwise the name, the
    // caption and the changed flag stay, and closing still asks.
    if (document->created) {
        mDocument.setName(document->path);
        updateCaption();
        mUndo->markSaved();
        mDocument.setChanged(false);
    }
    mServices.prompter.ask(Prompter::Kind::Information,
                           tr("\"%1\" page has been automatically saved in your Uploads folder.")
                               .arg(HtmlCopies::uploadCopyFileName(document->path)),
                           Prompter::Ok | Prompter::Help, 171);
    return document->created;
}

void TfrmMain::writeHtmlCopies(const QString &documentPath)
{
    const ProgramFolder &folder = mServices.programFolder;
    QStringList local;
    buildPageHTML(local, hmLocalCopy);
    QString ignored;
    HtmlCopies::writeHtmlCopy(HtmlCopies::localCopyPath(folder, documentPath), local, &ignored);
    QStringList upload;
    buildPageHTML(upload, hmUploadCopy);
    HtmlCopies::writeHtmlCopy(HtmlCopies::uploadCopyPath(folder, documentPath), upload, &ignored);
}

bool TfrmMain::saveAsTemplate()
{
    const std::optional<WrittenDocument> document =
        writeChosenDocument(Documents::templateExtension(), Documents::templateFilter(), mServices.programFolder.templatesFolder());
    if (!document)
        return false;
    try {
        QStringList lines;
        buildPageHTML(lines, hmLocalCopy);
        const QString preview = HtmlCopies::templatePreviewPath(mServices.programFolder, document->path);
        QDir().mkpath(QFileInfo(preview).absolutePath());
        QString error;
        if (!HtmlCopies::writeHtmlCopy(preview, lines, &error)) {
            mServices.prompter.error(error);
            return false;
        }
    } catch (const VendrixError &failure) {
        mServices.prompter.error(failure.message());
        return false;
    }
    return document->created;
}

void TfrmMain::sendToWeb()
{
    if (mDocument.changed()
        && mServices.prompter.ask(Prompter::Kind::Confirmation, tr("You need to save %1 before uploading.").arg(mDocument.name()),
                                  Prompter::Ok | Prompter::Cancel)
               == Prompter::Ok)
        save();
    if (mDocument.changed())
        return;
    std::optional<BusyCursor> busy(std::in_place);
    TfrmUpload wizard(mServices, this);
    wizard.setFiles(UploadList::collect(mPage, mServices.programFolder, mDocument.name()));
    wizard.setFindings(checkFindings());
    // The hourglass is for gathering the files, not for the time the wizard is open.
    busy.reset();
    mServices.modal.runModal(wizard);
    selectBlock(wizard.chosenRow());
}

QList<PageCheck::Finding> TfrmMain::checkFindings()
{
    // Only edits still in the open panel are stored, so a check alone changes nothing.
    if (mEditor->hasUnstoredEdits())
        StoreCurrentItem();
    return PageCheck::check(mPage, mServices.programFolder, ImageReaderInspector());
}

void TfrmMain::checkPage()
{
    std::optional<BusyCursor> busy(std::in_place);
    TfrmCheck window(this);
    window.setFindings(checkFindings());
    busy.reset();
    mServices.modal.runModal(window);
    selectBlock(window.chosenRow());
}

void TfrmMain::selectBlock(int row)
{
    if (row < 0 || row >= lstBlocks->count())
        return;
    showBuildingArea();
    lstBlocks->setCurrentRow(row);
    mEditor->rowClicked();
}

void TfrmMain::loadDocument(const QString &path)
{
    QString error;
    const bool loaded = Documents::LoadDocument(path, mPage, &error);
    if (!loaded) {
        mServices.prompter.error(Documents::invalidDocumentMessage());
        NewPage();
    }
    FillPageletteList();
    // An unreadable file leaves an untitled page, so a later Save cannot write the
    // empty page over that file.
    if (loaded && !Documents::isTemplateFileName(path))
        mDocument.setName(path);
    else
        mDocument.setUntitled();
    updateCaption();
    mUndo->reset();
}

bool TfrmMain::offerRecovery()
{
    RecoveryStore &store = mAutosaver->store();
    while (const std::optional<RecoveryStore::Page> found = store.nextOrphan()) {
        show();
        const QString shownName = QFileInfo(found->documentName).fileName();
        if (mServices.prompter.ask(Prompter::Kind::Confirmation,
                                   tr("The page %1 was not closed properly. Do you want to recover your unsaved changes?")
                                       .arg(shownName),
                                   Prompter::Yes | Prompter::No)
            != Prompter::Yes) {
            store.discardOrphan();
            continue;
        }
        QString error;
        // A file that cannot be read is left where it is; the page stays as it was.
        if (!Documents::LoadDocumentBytes(found->bytes, mPage, &error)) {
            mServices.prompter.error(Documents::invalidDocumentMessage());
            continue;
        }
        store.adoptOrphan();
        FillPageletteList();
        mDocument.setName(found->documentName);
        mDocument.setChanged(true);
        updateCaption();
        mUndo->reset();
        showBuildingArea();
        return true;
    }
    return false;
}
