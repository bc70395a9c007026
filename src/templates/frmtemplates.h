#pragma once

#include "platform/programfolder.h"

#include <QDialog>

class FileDialog;
class HtmlViewer;
class Prompter;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class WhatsThisMenu;
struct AppServices;

// The template browser: lists the templates of Templates/ and the saved pages of
// VendrixFiles/, previews the selected one from its companion HTML file, deletes one,
// or browses for a document elsewhere. It loads nothing: after OK the caller opens
// ChosenFile().
class TfrmTemplates : public QDialog
{
    Q_OBJECT
public:
    explicit TfrmTemplates(AppServices &services, QWidget *parent = nullptr);

    // Full path of the document to open; empty until something is selected or browsed.
    QString ChosenFile() const { return mChosenFile; }

    // Appends an item with the icon for each entry of the folder whose name ends with
    // the extension (see TemplateFolder::entryCaptions). Nothing for an empty folder text.
    void AddFolderEntries(const QString &folder, const QString &extension, int icon);

    QPushButton *btnOpen;
    QPushButton *btnDelete;
    QListWidget *lvTemplates;
    HtmlViewer *browser;
    QPushButton *btnOK;
    QPushButton *btnCancel;
    WhatsThisMenu *whatsThis;

private:
    void lvTemplatesSelectItem(QListWidgetItem &item);
    void lvTemplatesDblClick();
    void btnOpenClick();
    void btnDeleteClick();
    // Shows the HTML file in the preview; a file that cannot be read is ignored.
    void showPreview(const QString &htmlPath);
    QString folderOf(const QListWidgetItem &item) const;
    QString extensionOf(const QListWidgetItem &item) const;

    ProgramFolder mFolder;
    FileDialog &mOpenDialog;
    Prompter &mPrompter;
    QString mChosenFile;
};
