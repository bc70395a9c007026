#include "frmmain.h"

#include "autosaver.h"
#include "blocklists.h"
#include "buttonbar.h"
#include "pageeditor.h"
#include "previewpane.h"
#include "undocontroller.h"

#include "editor/alignstrip.h"
#include "editor/bulletpanel.h"
#include "editor/hrpanel.h"
#include "editor/imagepanel.h"
#include "editor/linkpanel.h"
#include "editor/pagepropertiespanel.h"
#include "editor/panelcommands.h"
#include "editor/textblockpanel.h"
#include "forms/formcommands.h"
#include "forms/formspanel.h"
#include "model/componentstream.h"
#include "platform/appinfo.h"
#include "platform/appservices.h"
#include "platform/helpengine.h"
#include "platform/prompter.h"
#include "platform/settings.h"
#include "platform/shellopen.h"
#include "shell/bannerhost.h"
#include "themes/themestore.h"
#include "widgets/listboxhrz.h"
#include "widgets/pictures.h"
#include "widgets/whatsthis.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFile>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSplitter>
#include <QStackedWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
constexpr int kTopStripHeight = 73;
constexpr int kBannerTop = 6;
constexpr int kMinPaneWidth = 250;
constexpr int kMaxPaneWidth = 500;
constexpr int kMarkerGap = 1;
}

TfrmMain::TfrmMain(AppServices &services, QWidget *parent)
    : QMainWindow(parent), mServices(services), mThemes(std::make_unique<TWebTheme>())
{
    setObjectName(QStringLiteral("frmMain"));
    mWhatsThis = new WhatsThisMenu(services.help, this);
    buildWindow();
    mUndo = new UndoController(mPage, *mEditor, mDocument, this);
    const ProgramFolder &folder = services.programFolder;
    mAutosaver = new Autosaver(folder.isNull() ? QString() : folder.path() + QStringLiteral("Recovery/"), mDocument,
                               [this] {
                                   StoreCurrentItem();
                                   return RecoveryStore::Page{mDocument.name(), ComponentWriter::toBytes(mPage)};
                               },
                               this);
    buildMenu();
    connectCommands();
    updateUndoActions();
    // One form of caption from start to close ("Untitled - ..."), the one every New,
    // Open and Save gives.
    setWindowTitle(mDocument.caption());
    connect(&mDocument, &DocumentState::changedFlagChanged, this, &QWidget::setWindowModified);
    resize(622, 521);
    setMinimumSize(630 - 8, 548 - 27);
}

TfrmMain::~TfrmMain()
{
    // The panels report their last changes while they are destroyed, and the page goes
    // before them: nothing may look at either any more. The recovery file stays unless
    // the window was closed.
    mEditor->stopWatchingEdits();
    // The list empties as it goes, after this window's own members.
    lstBlocks->disconnect(this);
    lstBlocks->model()->disconnect(this);
    delete mAutosaver;
    delete mUndo;
}

PaletteTable &TfrmMain::palette() const
{
    return mPanelCommands->palette();
}

void TfrmMain::buildWindow()
{
    auto *central = new QWidget(this);
    auto *outer = new QVBoxLayout(central);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    outer->addWidget(buildTopStrip());

    auto *below = new QHBoxLayout;
    below->setSpacing(0);
    pnlWork = new QStackedWidget(central);
    pnlWork->setObjectName(QStringLiteral("pnlWork"));
    pnlCreate = new QWidget(pnlWork);
    pnlCreate->setObjectName(QStringLiteral("pnlCreate"));
    auto *createLayout = new QHBoxLayout(pnlCreate);
    createLayout->setContentsMargins(0, 0, 0, 0);
    splPagelette = new QSplitter(Qt::Horizontal, pnlCreate);
    splPagelette->setObjectName(QStringLiteral("splPagelette"));
    splPagelette->setHandleWidth(3);
    splPagelette->setChildrenCollapsible(false);
    splPagelette->addWidget(buildPageletteArea());
    splPagelette->addWidget(buildEditorArea());
    splPagelette->setStretchFactor(0, 0);
    splPagelette->setStretchFactor(1, 1);
    connect(splPagelette, &QSplitter::splitterMoved, this, &TfrmMain::placeBanner);
    splPagelette->installEventFilter(this);
    createLayout->addWidget(splPagelette);
    pnlWork->addWidget(pnlCreate);
    pnlWork->addWidget(buildPreviewArea());
    pnlWork->setCurrentWidget(pnlCreate);
    below->addWidget(pnlWork, 1);

    pbButtons = new ButtonBar(central);
    below->addWidget(pbButtons);
    outer->addLayout(below, 1);
    setCentralWidget(central);

    PageEditor::Widgets widgets{*lstPalette, *lstBlocks, *pnlPanels, *pnlAlign, *imgTrash, *lstThemes, *pnlForms,
                                {pnlPageProp, pnlHeading, pnlImages, pnlLinks, pnlText, pnlBullets, pnlHR, pnlForms}};
    mEditor = new PageEditor(mPage, mDocument, mServices.prompter, widgets, this);
    // The logo is an option of the build, not part of the page.
    mEditor->watchEdits({pnlPageProp->chkZandorellLogo});
}

QWidget *TfrmMain::buildTopStrip()
{
    pnlTop = new QWidget(this);
    pnlTop->setObjectName(QStringLiteral("pnlTop"));
    pnlTop->setFixedHeight(kTopStripHeight);
    imgadarea1 = new QWidget(pnlTop);
    imgadarea1->setObjectName(QStringLiteral("imgadarea1"));
    imgadarea1->setGeometry(0, kBannerTop, 468, 60);
    imgadarea1->setCursor(Qt::PointingHandCursor);
    imgadarea1->setAccessibleName(tr("Advertisement"));
    pnlTop->installEventFilter(this);
    return pnlTop;
}

QWidget *TfrmMain::buildPageletteArea()
{
    pnlPagelette = new QWidget(this);
    pnlPagelette->setObjectName(QStringLiteral("pnlPagelette"));
    pnlPagelette->setMinimumWidth(kMinPaneWidth);
    pnlPagelette->setMaximumWidth(kMaxPaneWidth);
    auto *layout = new QVBoxLayout(pnlPagelette);
    layout->setContentsMargins(0, 2, 0, 2);
    layout->setSpacing(2);

    auto *buttons = new QHBoxLayout;
    buttons->setSpacing(0);
    auto makeButton = [this, buttons](const QString &name, const QString &caption, const QString &hint, Pictures::Button picture) {
        auto *button = new QToolButton(pnlPagelette);
        button->setObjectName(name);
        button->setText(caption);
        button->setToolTip(hint);
        button->setIcon(QIcon(Pictures::button(picture)));
        button->setIconSize(QSize(24, 24));
        button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        button->setAutoRaise(true);
        button->setFixedHeight(47);
        button->setMinimumWidth(60);
        buttons->addWidget(button);
        return button;
    };
    btnNew = makeButton(QStringLiteral("btnNew"), tr("New"), tr("Start a New Page"), Pictures::Button::New);
    btnChooseTemplate = makeButton(QStringLiteral("btnChooseTemplate"), tr("Open"), tr("Opens a Template or Vendrix File"),
                                   Pictures::Button::Open);
    btnTemplate = makeButton(QStringLiteral("btnTemplate"), tr("Save As Template"), tr("Create a template from the list below."),
                             Pictures::Button::SaveAsTemplate);
    auto makeSmallButton = [this](const QString &name, const QString &accessibleName) {
        auto *button = new QToolButton(pnlPagelette);
        button->setObjectName(name);
        button->setAccessibleName(accessibleName);
        button->setToolButtonStyle(Qt::ToolButtonIconOnly);
        button->setAutoRaise(true);
        button->setIconSize(QSize(16, 16));
        return button;
    };
    buttons->addStretch(1);
    layout->addLayout(buttons);

    // Undo and Redo sit at the end of the line below New and Open, which leaves the
    // three buttons their room.
    auto *separatorRow = new QHBoxLayout;
    separatorRow->setSpacing(0);
    auto *separator = new QFrame(pnlPagelette);
    separator->setFrameShape(QFrame::HLine);
    separator->setFrameShadow(QFrame::Sunken);
    separatorRow->addWidget(separator, 1);
    btnUndo = makeSmallButton(QStringLiteral("btnUndo"), tr("Undo"));
    btnRedo = makeSmallButton(QStringLiteral("btnRedo"), tr("Redo"));
    separatorRow->addWidget(btnUndo);
    separatorRow->addWidget(btnRedo);
    layout->addLayout(separatorRow);
    layout->addWidget(new QLabel(tr("Drag an item to the pagelettes list."), pnlPagelette));

    // The lists share a parent with the insertion marker, which sits in the gap left
    // of the pagelette list.
    auto *lists = new QWidget(pnlPagelette);
    lists->setObjectName(QStringLiteral("pnlLists"));
    auto *listsLayout = new QHBoxLayout(lists);
    listsLayout->setContentsMargins(5, 0, 0, 0);
    listsLayout->setSpacing(5 + 2 * kMarkerGap);
    lstPalette = new PaletteList(lists);
    mWhatsThis->attach(*lstPalette, 55);
    lstBlocks = new PageletteList(lists);
    HelpContext::set(*lstBlocks, 54);
    listsLayout->addWidget(lstPalette);
    listsLayout->addWidget(lstBlocks, 1);
    imgMarker = new QWidget(lists);
    imgMarker->setObjectName(QStringLiteral("imgMarker"));
    imgMarker->setFixedSize(5, 10);
    imgMarker->setAutoFillBackground(true);
    imgMarker->setBackgroundRole(QPalette::Highlight);
    imgMarker->hide();
    lstPalette->setInsertionMarker(imgMarker);
    lstBlocks->setInsertionMarker(imgMarker);
    lists->installEventFilter(this);
    layout->addWidget(lists, 1);

    auto *trashRow = new QHBoxLayout;
    imgTrash = new TrashBin(pnlPagelette);
    mWhatsThis->attach(*imgTrash, 15);
    auto *trashLabel = new QLabel(tr("Drop to bin to delete."), pnlPagelette);
    // At the pane's narrowest the text takes two lines rather than losing its end.
    trashLabel->setWordWrap(true);
    mWhatsThis->attach(*trashLabel, 15);
    trashRow->addWidget(imgTrash);
    trashRow->addWidget(trashLabel, 1);
    layout->addLayout(trashRow);
    return pnlPagelette;
}

QWidget *TfrmMain::buildEditorArea()
{
    auto *area = new QWidget(this);
    area->setObjectName(QStringLiteral("pnlEditor"));
    auto *layout = new QVBoxLayout(area);
    layout->setContentsMargins(0, 0, 0, 0);
    pnlPanels = new QStackedWidget(area);
    pnlPanels->setObjectName(QStringLiteral("pnlPanels"));
    pnlPageProp = new PagePropertiesPanel(*mWhatsThis, pnlPanels);
    pnlHeading = new HeadingPanel(*mWhatsThis, pnlPanels);
    pnlImages = new ImagePanel(mServices.programFolder, *mWhatsThis, pnlPanels);
    pnlLinks = new LinkPanel(*mWhatsThis, pnlPanels);
    pnlText = new TextPanel(*mWhatsThis, pnlPanels);
    pnlBullets = new BulletPanel(*mWhatsThis, pnlPanels);
    pnlHR = new HRPanel(*mWhatsThis, pnlPanels);
    pnlForms = new FormsPanel(*mWhatsThis, pnlPanels);
    for (BlockPanel *panel : std::initializer_list<BlockPanel *>{pnlPageProp, pnlHeading, pnlImages, pnlLinks, pnlText,
                                                                 pnlBullets, pnlHR, pnlForms})
        pnlPanels->addWidget(panel);
    pnlPanels->setCurrentWidget(pnlPageProp);
    layout->addWidget(pnlPanels);

    // The strip is not in the layout: it lies over the top right corner of the panels.
    pnlAlign = new AlignStrip(*mWhatsThis, area);
    pnlAlign->hide();
    area->installEventFilter(this);
    return area;
}

QWidget *TfrmMain::buildPreviewArea()
{
    pnlPreview = new PreviewPane(*this, this);
    lstThemes = pnlPreview->lstThemes;
    return pnlPreview;
}

void TfrmMain::buildMenu()
{
    popBlocks = new QMenu(this);
    popBlocks->setObjectName(QStringLiteral("popBlocks"));
    auto add = [this](QMenu *menu, const QString &name, const QString &text, const QKeySequence &shortcut = {}) {
        QAction *action = menu->addAction(text);
        action->setObjectName(name);
        if (!shortcut.isEmpty()) {
            action->setShortcut(shortcut);
            action->setShortcutContext(Qt::WindowShortcut);
            addAction(action);
        }
        return action;
    };
    mnuDelete = add(popBlocks, QStringLiteral("mnuDelete"), tr("&Delete Pagelette"));
    mnuDelete->setShortcut(QKeySequence::Delete);
    // Del deletes a pagelette only from the list: in the edit boxes it deletes text.
    mnuDelete->setShortcutContext(Qt::WidgetShortcut);
    lstBlocks->addAction(mnuDelete);
    // Moving is the keyboard's way to drag a pagelette; like Del it belongs to the list.
    mnuMoveUp = add(popBlocks, QStringLiteral("mnuMoveUp"), tr("Move U&p"));
    mnuMoveUp->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Up));
    mnuMoveDown = add(popBlocks, QStringLiteral("mnuMoveDown"), tr("Move Do&wn"));
    mnuMoveDown->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Down));
    for (QAction *move : {mnuMoveUp, mnuMoveDown}) {
        move->setShortcutContext(Qt::WidgetShortcut);
        lstBlocks->addAction(move);
    }
    mnuDeleteSeparator = popBlocks->addSeparator();
    mnuUndo = add(popBlocks, QStringLiteral("mnuUndo"), tr("&Undo"), QKeySequence(Qt::CTRL | Qt::Key_Z));
    mnuUndo->setIcon(QIcon(Pictures::button(Pictures::Button::Undo)));
    mnuRedo = add(popBlocks, QStringLiteral("mnuRedo"), tr("&Redo"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
    mnuRedo->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    mnuRedo->setIcon(QIcon(Pictures::button(Pictures::Button::Redo)));
    btnUndo->setDefaultAction(mnuUndo);
    btnRedo->setDefaultAction(mnuRedo);
    popBlocks->addSeparator();
    mnuNew = add(popBlocks, QStringLiteral("mnuNew"), tr("&New"), QKeySequence(Qt::CTRL | Qt::Key_N));
    popBlocks->addSeparator();
    mnuOpen = add(popBlocks, QStringLiteral("mnuOpen"), tr("&Open..."), QKeySequence(Qt::CTRL | Qt::Key_O));
    popBlocks->addSeparator();
    mnuSave = add(popBlocks, QStringLiteral("mnuSave"), tr("&Save"), QKeySequence(Qt::CTRL | Qt::Key_S));
    mnuTemplate = add(popBlocks, QStringLiteral("mnuTemplate"), tr("Save &As Template"), QKeySequence(Qt::CTRL | Qt::Key_T));
    popBlocks->addSeparator();
    mnuCheck = add(popBlocks, QStringLiteral("mnuCheck"), tr("Chec&k Page"), QKeySequence(Qt::Key_F7));
    popBlocks->addSeparator();
    QMenu *help = popBlocks->addMenu(tr("&Help"));
    help->setObjectName(QStringLiteral("mnuHelp"));
    mnuContents = add(help, QStringLiteral("mnuContents"), tr("&Contents"), QKeySequence(Qt::Key_F1));
    mnuTips = add(help, QStringLiteral("mnuTips"), tr("&Tip of the Day"));
    help->addSeparator();
    mnuSoftware = add(help, QStringLiteral("mnuSoftware"), tr("Zandorell &Software"));
    mnuHosting = add(help, QStringLiteral("mnuHosting"), tr("&Web Hosting"));
    help->addSeparator();
    mnuAbout = add(help, QStringLiteral("mnuAbout"), tr("&About Vendrix 5.0..."));
    popBlocks->addSeparator();
    mnuCancel = add(popBlocks, QStringLiteral("mnuCancel"), tr("&Cancel"));

    for (QWidget *widget : pbButtons->largeButtons() + QList<QWidget *>{pbButtons}) {
        widget->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(widget, &QWidget::customContextMenuRequested, this,
                [this, widget](const QPoint &pos) { openBlocksMenu(widget->mapToGlobal(pos), false); });
    }
    connect(lstBlocks, &PageletteList::menuRequested, this, [this](const QPoint &pos) { openBlocksMenu(pos, true); });
}

void TfrmMain::connectCommands()
{
    mPanelCommands = new PanelCommands(mServices, {*pnlPageProp, *pnlHeading, *pnlText, *pnlBullets, *pnlLinks, *pnlImages}, this);
    auto *formCommands = new FormCommands(*pnlForms, mPage, mServices, this);
    connect(formCommands, &FormCommands::pageChanged, this, &TfrmMain::pageChanged);
    connect(lstBlocks, &PageletteList::rowClicked, mEditor, &PageEditor::rowClicked);
    connect(lstBlocks, &PageletteList::blockDropped, mEditor, &PageEditor::dropOnPageletteList);
    connect(lstPalette, &PaletteList::addRequested, this, [this](int paletteRow) {
        // From the keyboard: as a drop on the row after the selected pagelette.
        const int selected = lstBlocks->currentRow();
        dropOnPageletteList(BlockDrag::Source::Palette, paletteRow, selected < 0 ? lstBlocks->count() : selected + 1);
    });
    connect(imgTrash, &TrashBin::pageletteDropped, mEditor, &PageEditor::DeletePagelette);
    connect(mnuDelete, &QAction::triggered, mEditor, &PageEditor::DeletePagelette);
    connect(mnuMoveUp, &QAction::triggered, mEditor, [this] { mEditor->moveSelectedBlock(-1); });
    connect(mnuMoveDown, &QAction::triggered, mEditor, [this] { mEditor->moveSelectedBlock(1); });
    connect(lstBlocks, &QListWidget::currentRowChanged, this, &TfrmMain::updateMoveActions);
    connect(lstBlocks->model(), &QAbstractItemModel::rowsInserted, this, &TfrmMain::updateMoveActions);
    connect(lstBlocks->model(), &QAbstractItemModel::rowsRemoved, this, &TfrmMain::updateMoveActions);
    connect(mnuUndo, &QAction::triggered, this, &TfrmMain::undo);
    connect(mnuRedo, &QAction::triggered, this, &TfrmMain::redo);
    connect(mUndo, &UndoController::stateChanged, this, &TfrmMain::updateUndoActions);
    connect(mAutosaver, &Autosaver::failed, this, [this](const QString &reason) {
        mServices.prompter.warning(tr("Your unsaved changes cannot be kept for recovery: %1").arg(reason));
    });

    // On the button going down, not on a click: assistive tools toggle a checkable
    // button without clicking it. Pressing the button that is already down changes
    // nothing (the preview cannot go stale while it is in front).
    connect(pbButtons->btnCreate, &QToolButton::toggled, this, [this](bool down) {
        if (down)
            showBuildingArea();
    });
    connect(pbButtons->btnPreview, &QToolButton::toggled, pnlPreview, [this](bool down) {
        if (down)
            pnlPreview->viewPage();
    });
    connect(pnlPageProp->btnTheme, &QPushButton::clicked, pnlPreview, &PreviewPane::chooseTheme);
    connect(pbButtons->btnSave, &QToolButton::clicked, this, &TfrmMain::save);
    connect(mnuSave, &QAction::triggered, this, &TfrmMain::save);
    connect(pbButtons->btnUpload, &QToolButton::clicked, this, &TfrmMain::sendToWeb);
    connect(btnNew, &QToolButton::clicked, this, &TfrmMain::newDocument);
    connect(mnuNew, &QAction::triggered, this, &TfrmMain::newDocument);
    connect(btnChooseTemplate, &QToolButton::clicked, this, &TfrmMain::openDocument);
    connect(mnuOpen, &QAction::triggered, this, &TfrmMain::openDocument);
    connect(btnTemplate, &QToolButton::clicked, this, &TfrmMain::saveAsTemplate);
    connect(mnuTemplate, &QAction::triggered, this, &TfrmMain::saveAsTemplate);
    connect(mnuCheck, &QAction::triggered, this, &TfrmMain::checkPage);
    connect(pbButtons->btnHelp, &QToolButton::clicked, this, &TfrmMain::showHelpContents);
    connect(mnuContents, &QAction::triggered, this, &TfrmMain::showHelpContents);
    connect(mnuTips, &QAction::triggered, this, &TfrmMain::showTipOfTheDay);
    connect(mnuAbout, &QAction::triggered, this, &TfrmMain::showAbout);

    const MakerConfig &maker = mServices.maker;
    connect(mnuSoftware, &QAction::triggered, this, [this, &maker] { openWebAddress(maker.homePage); });
    connect(mnuHosting, &QAction::triggered, this, [this, &maker] { openWebAddress(maker.hostingPage); });
    connect(pbButtons->btnHosting, &QToolButton::clicked, this, [this, &maker] { openWebAddress(maker.hostingPage); });
    connect(pbButtons->btnCustom, &QToolButton::clicked, this, [this, &maker] { openWebAddress(maker.productsPage); });
    connect(pbButtons->btnAdRemove, &QToolButton::clicked, this, [this, &maker] { openWebAddress(maker.orderingPage); });
}

void TfrmMain::openBlocksMenu(const QPoint &globalPos, bool onPagelettes)
{
    const bool canDelete = onPagelettes && lstBlocks->currentRow() >= 0 && !lstBlocks->selectedItems().isEmpty();
    mnuDelete->setVisible(canDelete);
    mnuMoveUp->setVisible(canDelete);
    mnuMoveDown->setVisible(canDelete);
    mnuDeleteSeparator->setVisible(canDelete);
    updateMoveActions();
    popBlocks->popup(globalPos);
}

void TfrmMain::updateMoveActions()
{
    mnuMoveUp->setEnabled(mEditor->canMoveSelectedBlock(-1));
    mnuMoveDown->setEnabled(mEditor->canMoveSelectedBlock(1));
}

void TfrmMain::StoreCurrentItem()
{
    mEditor->commitCurrentItem();
}

void TfrmMain::ShowSelectedItem()
{
    mEditor->ShowSelectedItem();
}

void TfrmMain::FillPageletteList()
{
    mEditor->FillPageletteList();
}

void TfrmMain::NewPage()
{
    mEditor->NewPage();
}

TPageItem &TfrmMain::InsertNewItem(int index, TBlockType kind)
{
    return mEditor->InsertNewItem(index, kind);
}

void TfrmMain::DeletePagelette()
{
    mEditor->DeletePagelette();
}

void TfrmMain::dropOnPageletteList(BlockDrag::Source source, int draggedRow, int targetIndex)
{
    mEditor->dropOnPageletteList(BlockDrag{source, draggedRow}, targetIndex);
}

int TfrmMain::currentItemIndex() const
{
    return mEditor->currentItemIndex();
}

BlockPanel &TfrmMain::panelFor(TBlockType kind) const
{
    return mEditor->panelFor(kind);
}

void TfrmMain::showBuildingArea()
{
    pnlWork->setCurrentWidget(pnlCreate);
    pbButtons->btnCreate->setChecked(true);
}

void TfrmMain::showPreviewArea()
{
    pnlWork->setCurrentWidget(pnlPreview);
    pbButtons->btnPreview->setChecked(true);
}

void TfrmMain::showHelpContents()
{
    mServices.help.showContents();
}

void TfrmMain::openWebAddress(const QString &address)
{
    openWithDefaultClient(mServices.shell, mServices.prompter, mServices.maker, address);
}

void TfrmMain::pageChanged(const QString &action)
{
    mDocument.setChanged(true);
    const int row = lstBlocks->currentRow();
    mUndo->record(action, row, row);
}

void TfrmMain::undo()
{
    mUndo->undo();
    refreshPreview();
}

void TfrmMain::redo()
{
    mUndo->redo();
    refreshPreview();
}

void TfrmMain::refreshPreview()
{
    // The preview shows a snapshot: one in front must not show a page taken back.
    if (pnlWork->currentWidget() == pnlPreview)
        pnlPreview->viewPage();
}

void TfrmMain::updateUndoActions()
{
    // The menu keeps its short items; the tool tips name what would be taken back.
    const QString undoAction = mUndo->undoAction();
    mnuUndo->setEnabled(mUndo->canUndo());
    mnuUndo->setToolTip(undoAction.isEmpty() ? tr("Undo") : tr("Undo %1").arg(undoAction));
    const QString redoAction = mUndo->redoAction();
    mnuRedo->setEnabled(mUndo->canRedo());
    mnuRedo->setToolTip(redoAction.isEmpty() ? tr("Redo") : tr("Redo %1").arg(redoAction));
}

void TfrmMain::updateCaption()
{
    setWindowTitle(mDocument.caption());
    setWindowModified(mDocument.changed());
}

void TfrmMain::ReadSettings()
{
    Settings &settings = mServices.settings;
    if (settings.readString(SettingsKeys::windowState()) == QLatin1StringView("Normal")) {
        setWindowState(windowState() & ~(Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen));
        const int top = settings.readInteger(SettingsKeys::top(), y());
        const int left = settings.readInteger(SettingsKeys::left(), x());
        const int height = settings.readInteger(SettingsKeys::height(), this->height());
        const int width = settings.readInteger(SettingsKeys::width(), this->width());
        move(left, top);
        resize(width, height);
    } else {
        setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowMaximized);
    }
    setPaneWidth(settings.readInteger(SettingsKeys::paneWidth(), paneWidth()));
    mTipDay = settings.readInteger(SettingsKeys::tipDay(), SettingsKeys::tipDayDefault);
}

void TfrmMain::WriteSettings()
{
    Settings &settings = mServices.settings;
    const Qt::WindowStates state = windowState();
    if (state.testFlag(Qt::WindowMinimized)) {
        // A minimised window leaves the stored placement as it was.
    } else if (state.testFlag(Qt::WindowMaximized)) {
        settings.writeString(SettingsKeys::windowState(), QStringLiteral("Maximized"));
    } else {
        settings.writeString(SettingsKeys::windowState(), QStringLiteral("Normal"));
        settings.writeInteger(SettingsKeys::top(), y());
        settings.writeInteger(SettingsKeys::left(), x());
        settings.writeInteger(SettingsKeys::height(), height());
        settings.writeInteger(SettingsKeys::width(), width());
    }
    settings.writeInteger(SettingsKeys::paneWidth(), paneWidth());
    settings.sync();
}

int TfrmMain::paneWidth() const
{
    return mWantedPaneWidth > 0 ? mWantedPaneWidth : pnlPagelette->width();
}

void TfrmMain::setPaneWidth(int width)
{
    mWantedPaneWidth = qBound(kMinPaneWidth, width, kMaxPaneWidth);
    applyPaneWidth();
}

void TfrmMain::applyPaneWidth()
{
    // Before the window is laid out the splitter has no room to share: the width is
    // kept and applied once it has.
    const int total = splPagelette->width() - splPagelette->handleWidth();
    if (mWantedPaneWidth <= 0 || total <= mWantedPaneWidth)
        return;
    splPagelette->setSizes({mWantedPaneWidth, total - mWantedPaneWidth});
    mWantedPaneWidth = 0;
}

bool TfrmMain::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == splPagelette && (event->type() == QEvent::Show || event->type() == QEvent::Resize)) {
        applyPaneWidth();
    } else if (event->type() == QEvent::Resize) {
        if (watched == pnlTop)
            placeBanner();
        else if (watched == imgMarker->parentWidget())
            placeMarker();
        else if (pnlAlign && watched == pnlAlign->parentWidget())
            pnlAlign->move(pnlAlign->parentWidget()->width() - pnlAlign->width() - 4, 4);
    }
    return QMainWindow::eventFilter(watched, event);
}

void TfrmMain::placeBanner()
{
    imgadarea1->move((pnlTop->width() - imgadarea1->width()) / 2, kBannerTop);
    lstBlocks->viewport()->update();
}

void TfrmMain::placeMarker()
{
    imgMarker->move(lstBlocks->x() - imgMarker->width() - kMarkerGap, imgMarker->y());
}

void TfrmMain::closeEvent(QCloseEvent *event)
{
    if (mDocument.changed()) {
        const Prompter::Button answer = mServices.prompter.ask(
            Prompter::Kind::Confirmation, tr("Would you like to save changes to %1?").arg(mDocument.name()),
            Prompter::Yes | Prompter::No | Prompter::Cancel);
        // Only a completed save or No lets the window close: nothing unsaved is lost.
        if (answer == Prompter::Cancel || (answer == Prompter::Yes && !save())) {
            event->ignore();
            return;
        }
    }
    // A clean close: nothing is left to recover.
    mAutosaver->discard();
    WriteSettings();
    const QString temporaryPage = mServices.programFolder.externalPreviewFile();
    if (QFile::exists(temporaryPage))
        QFile::remove(temporaryPage);
    mServices.help.close();
    shutdownBanner();
    event->accept();
}
