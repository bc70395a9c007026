#include "previewpane.h"

#include "frmmain.h"

#include "html/htmlcopies.h"
#include "platform/appservices.h"
#include "platform/busycursor.h"
#include "platform/shellopen.h"
#include "themes/frmtheme.h"
#include "themes/themestore.h"
#include "widgets/accessiblename.h"
#include "widgets/htmlviewer.h"
#include "widgets/listboxhrz.h"
#include "widgets/pictures.h"
#include "widgets/whatsthis.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>

PreviewPane::PreviewPane(TfrmMain &window, QWidget *parent)
    : QWidget(parent), mWindow(window)
{
    setObjectName(QStringLiteral("pnlPreview"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);

    auto button = [this](const QString &name, const QString &text, const QString &hint, Pictures::Button picture) {
        auto *result = new QToolButton(this);
        result->setObjectName(name);
        result->setText(text);
        result->setToolTip(hint);
        result->setIcon(QIcon(Pictures::button(picture)));
        result->setIconSize(QSize(16, 16));
        result->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        result->setAutoRaise(true);
        return result;
    };
    btnToggle = button(QStringLiteral("btnToggle"), tr("Page Themes"), tr("Toggle Page Themes"), Pictures::Button::Theme);
    btnToggle->setCheckable(true);
    btnToggle->setChecked(true);
    btnThemeEdit = button(QStringLiteral("btnThemeEdit"), tr("Edit Themes"), tr("Edit Page Themes"), Pictures::Button::Theme);
    btnExternalView = button(QStringLiteral("btnExternalView"), tr("Preview Page"), tr("View with default web browser"),
                             Pictures::Button::ViewPage);
    auto *buttons = new QHBoxLayout;
    buttons->setSpacing(2);
    buttons->addWidget(btnToggle);
    buttons->addWidget(btnThemeEdit);
    buttons->addStretch(1);
    buttons->addWidget(btnExternalView);
    layout->addLayout(buttons);

    auto *view = new QHBoxLayout;
    view->setSpacing(0);
    lstThemes = new TListBoxHrz(this);
    lstThemes->setObjectName(QStringLiteral("lstThemes"));
    AccessibleName::setHint(*lstThemes, tr("Page Themes"));
    lstThemes->setFixedWidth(125);
    lstThemes->installEventFilter(this);
    window.whatsThis().attach(*lstThemes, 66);
    pnlThemeSpacer = new QWidget(this);
    pnlThemeSpacer->setObjectName(QStringLiteral("pnlThemeSpacer"));
    pnlThemeSpacer->setFixedWidth(6);
    browser = new HtmlViewer(window.services().previewRenderer, this);
    browser->setObjectName(QStringLiteral("browser"));
    browser->setAccessibleName(tr("Page Preview"));
    window.whatsThis().attach(*browser, 76);
    view->addWidget(lstThemes);
    view->addWidget(pnlThemeSpacer);
    view->addWidget(browser, 1);
    layout->addLayout(view, 1);

    lblNote = new QLabel(tr("Note: To see Drop Box and No Underline Links options select the Preview Page Button above."), this);
    lblNote->setObjectName(QStringLiteral("lblNote"));
    lblNote->setWordWrap(true);
    layout->addWidget(lblNote);

    connect(btnToggle, &QToolButton::toggled, this, [this](bool down) {
        lstThemes->setVisible(down);
        pnlThemeSpacer->setVisible(down);
    });
    connect(btnThemeEdit, &QToolButton::clicked, this, &PreviewPane::btnThemeEditClick);
    connect(btnExternalView, &QToolButton::clicked, this, &PreviewPane::btnExternalViewClick);
    connect(lstThemes, &QListWidget::itemClicked, this, &PreviewPane::lstThemesClick);
}

PreviewPane::~PreviewPane()
{
    // The list outlives this part of the pane while QWidget deletes its children.
    lstThemes->removeEventFilter(this);
}

void PreviewPane::viewPage()
{
    // Until the pictures are read too, not just the page built.
    BusyCursor busy;
    QStringList lines;
    mWindow.buildPageHTML(lines, hmPreview);
    browser->clearPage();
    browser->setBaseFolder(mWindow.services().programFolder.uploadFolder());
    browser->loadLines(lines);
    mWindow.showPreviewArea();
}

bool PreviewPane::applyListTheme()
{
    const QListWidgetItem *item = lstThemes->currentItem();
    const int row = item && item->isSelected() ? lstThemes->row(item) : -1;
    TThemeCollection &themes = mWindow.themes().Items();
    TPageCollection &items = mWindow.page().Page();
    if (row < 0 || row >= themes.Count() || items.Count() == 0)
        return false;
    ThemeStore::applyTheme(themes.Items(row), items.Items(0).PagePropertiesBlock());
    return true;
}

void PreviewPane::lstThemesClick()
{
    if (!applyListTheme())
        return;
    mWindow.pageChanged(tr("Apply Theme"));
    viewPage();
}

bool PreviewPane::chooseTheme()
{
    TPageCollection &items = mWindow.page().Page();
    if (items.Count() == 0)
        return false;
    AppServices &services = mWindow.services();
    if (!TfrmTheme::choosePageTheme(services, mWindow.palette(), mWindow.themes(), *lstThemes,
                                    items.Items(0).PagePropertiesBlock(), this))
        return false;
    mWindow.pageChanged(tr("Apply Theme"));
    return true;
}

void PreviewPane::btnThemeEditClick()
{
    if (!chooseTheme())
        return;
    // The editor left its choice selected in the theme list: the same theme, so this
    // is no further change of the page.
    applyListTheme();
    viewPage();
}

void PreviewPane::btnExternalViewClick()
{
    AppServices &services = mWindow.services();
    const QString path = services.programFolder.externalPreviewFile();
    {
        BusyCursor busy;
        QStringList lines;
        mWindow.buildPageHTML(lines, hmLocalCopy);
        QDir().mkpath(QFileInfo(path).absolutePath());
        // A file that cannot be written still goes to the browser, which then says so.
        QString ignored;
        HtmlCopies::writeHtmlCopy(path, lines, &ignored);
    }
    openWithDefaultClient(services.shell, services.prompter, services.maker, path);
}

bool PreviewPane::eventFilter(QObject *watched, QEvent *event)
{
    // Moving through the theme list with the keys tries each theme as a click does.
    // The key is handed to the list first, so the theme applied is the one it lands on.
    if (watched == lstThemes && event->type() == QEvent::KeyPress && !mForwardingKey) {
        const int before = lstThemes->currentRow();
        mForwardingKey = true;
        QCoreApplication::sendEvent(lstThemes, event);
        mForwardingKey = false;
        // The list (or its parents) had the key: it must not go round a second time.
        event->accept();
        if (lstThemes->currentRow() != before)
            lstThemesClick();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
