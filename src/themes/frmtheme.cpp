#include "frmtheme.h"

#include "palette.h"
#include "themelist.h"
#include "themestore.h"

#include "model/pagelette.h"
#include "model/picturestore.h"
#include "platform/appservices.h"
#include "platform/boundedread.h"
#include "platform/busycursor.h"
#include "platform/filedialog.h"
#include "platform/modalrunner.h"
#include "platform/prompter.h"
#include "widgets/frmcolor.h"
#include "widgets/listboxhrz.h"
#include "widgets/picturefiles.h"
#include "widgets/pictures.h"
#include "widgets/placedcontrols.h"
#include "widgets/rowdrag.h"
#include "widgets/updown.h"
#include "widgets/whatsthis.h"

#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QImageReader>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QShowEvent>
#include <QRegularExpressionValidator>
#include <QSignalBlocker>
#include <QStyle>
#include <QToolButton>

namespace {

constexpr int kMaxMargin = 500;

// The colours of a new theme: white page, black text, blue links, red active links,
// purple visited links.
constexpr std::array<qint32, 5> kNewThemeColors{0xFFFFFF, 0x000000, 0xFF0000, 0x0000FF, 0x800080};

QColor toQColor(qint32 color)
{
    return QColor(Palette::red(color), Palette::green(color), Palette::blue(color));
}

QString caption()
{
    return QStringLiteral("Page Themes");
}

}

TfrmTheme::TfrmTheme(AppServices &services, PaletteTable &palette, TWebTheme &store, TListBoxHrz &themeList,
                     QWidget *parent)
    : QDialog(parent), mServices(services), mPalette(palette), mStore(store), mThemeList(themeList)
{
    setObjectName(QStringLiteral("frmTheme"));
    setWindowTitle(caption());
    setFixedSize(524, 337);
    mWhatsThis = new WhatsThisMenu(services.help, this);

    mBevel = named(new QFrame(this), QStringLiteral("bvlThemes"));
    static_cast<QFrame *>(mBevel)->setFrameStyle(QFrame::Panel | QFrame::Raised);
    mBevel->setGeometry(4, 4, 428, 329);

    auto *welcome = placedLabel(mBevel, QStringLiteral("lblWelcome"),
                                tr("Welcome to the web page theme wizard. Page themes are an easy way to set the "
                                   "colors, background image, and left margin of your web page all at one time. Here "
                                   "you can select, add, edit or delete a page theme."),
                                QRect(8, 4, 412, 64));
    welcome->setWordWrap(true);

    lstEditThemes = named(new TListBoxHrz(mBevel), QStringLiteral("lstEditThemes"));
    lstEditThemes->setAccessibleName(tr("Page Themes"));
    lstEditThemes->setGeometry(8, 72, 110, 249);
    mWhatsThis->attach(*lstEditThemes, 66);
    for (int i = 0; i < mThemeList.count(); ++i)
        lstEditThemes->addItem(mThemeList.item(i)->text());
    mRowDrag = new RowDrag(*lstEditThemes);
    mRowDrag->setDragCursor(Pictures::newDragCursor().pixmap());
    connect(mRowDrag, &RowDrag::rowDropped, this, &TfrmTheme::rowDropped);
    connect(lstEditThemes, &QListWidget::itemSelectionChanged, this, &TfrmTheme::lstEditThemesClick);
    connect(lstEditThemes, &QListWidget::itemDoubleClicked, this, &TfrmTheme::btnEditClick);

    buildSample(*mBevel);
    buildEditPanel(*mBevel);

    auto columnButton = [this](const QString &name, const QString &text, Pictures::Button picture, int top) {
        auto *button = named(new QToolButton(this), name);
        button->setText(text);
        button->setIcon(QIcon(Pictures::button(picture)));
        button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        button->setAutoRaise(true);
        button->setGeometry(446, top, 70, 42);
        return button;
    };
    btnAdd = columnButton(QStringLiteral("btnAdd"), tr("Add"), Pictures::Button::Add, 72);
    btnRemove = columnButton(QStringLiteral("btnRemove"), tr("Delete"), Pictures::Button::Remove, 118);
    btnEdit = columnButton(QStringLiteral("btnEdit"), tr("Edit"), Pictures::Button::ApplyEdit, 164);
    btnRemove->setEnabled(false);
    btnEdit->setEnabled(false);
    connect(btnAdd, &QToolButton::clicked, this, &TfrmTheme::btnAddClick);
    connect(btnRemove, &QToolButton::clicked, this, &TfrmTheme::btnRemoveClick);
    connect(btnEdit, &QToolButton::clicked, this, &TfrmTheme::btnEditClick);

    btnOK = placed(new QPushButton(tr("OK"), this), QStringLiteral("btnOK"), QRect(446, 266, 70, 28));
    btnOK->setDefault(true);
    connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);
    btnCancel = placed(new QPushButton(tr("Cancel"), this), QStringLiteral("btnCancel"), QRect(446, 300, 70, 28));
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

TfrmTheme::~TfrmTheme()
{
    // The children outlive this part of the window while QWidget deletes them: nothing
    // of theirs may reach it any more (the list reports its selection emptied).
    disconnect(lstEditThemes, nullptr, this, nullptr);
    for (QWidget *widget : mColorWidgets)
        widget->removeEventFilter(this);
    imgBG->removeEventFilter(this);
    lblNoImage->removeEventFilter(this);
}

void TfrmTheme::buildSample(QWidget &area)
{
    lblBGColor = placed(new QWidget(&area), QStringLiteral("lblBGColor"), QRect(126, 72, 190, 94));
    lblBGColor->setAutoFillBackground(true);
    lblBGColor->setToolTip(tr("Double-Click on the Background Color to change"));
    mWhatsThis->attach(*lblBGColor, 69);
    mColorWidgets[BGColor] = lblBGColor;

    struct Sample
    {
        QLabel *&label;
        ColorSlot slot;
        QString name;
        QString text;
        bool underlined;
    };
    const Sample samples[] = {
        {lblTextColor, TextColor, QStringLiteral("lblTextColor"), tr("Text Color"), false},
        {lblLinkColor, LinkColor, QStringLiteral("lblLinkColor"), tr("Link Color"), true},
        {lblALinkColor, ALinkColor, QStringLiteral("lblALinkColor"), tr("Active Link Color"), true},
        {lblVLinkColor, VLinkColor, QStringLiteral("lblVLinkColor"), tr("Visited Link Color"), true},
    };
    int top = 8;
    for (const Sample &sample : samples) {
        sample.label = placedLabel(lblBGColor, sample.name, sample.text, QRect(10, top, 170, 18));
        sample.label->setToolTip(tr("Double-Click on the %1 to change color").arg(sample.text));
        QFont font = sample.label->font();
        font.setUnderline(sample.underlined);
        sample.label->setFont(font);
        mWhatsThis->attach(*sample.label, 69 + sample.slot);
        mColorWidgets[sample.slot] = sample.label;
        top += 20;
    }
    for (QWidget *widget : mColorWidgets)
        widget->installEventFilter(this);
    for (int slot = BGColor; slot <= VLinkColor; ++slot)
        setColor(ColorSlot(slot), kNewThemeColors[slot]);

    // The label lies behind the picture and shows while there is none.
    lblNoImage = placedLabel(&area, QStringLiteral("lblNoImage"), tr("No Background Image"), QRect(320, 72, 103, 94));
    lblNoImage->setAlignment(Qt::AlignCenter);
    lblNoImage->setWordWrap(true);
    lblNoImage->setFrameStyle(QFrame::Box | QFrame::Plain);
    lblNoImage->installEventFilter(this);
    mWhatsThis->attach(*lblNoImage, 67);
    imgBG = placedLabel(&area, QStringLiteral("imgBG"), QString(), QRect(320, 72, 103, 94));
    imgBG->setScaledContents(true);
    imgBG->hide();
    imgBG->installEventFilter(this);
    mWhatsThis->attach(*imgBG, 67);
}

void TfrmTheme::buildEditPanel(QWidget &area)
{
    pnlEdit = placed(new QWidget(&area), QStringLiteral("pnlEdit"), QRect(126, 176, 297, 140));
    pnlEdit->hide();

    placedLabel(pnlEdit, QStringLiteral("lblEditHint"), tr("Double-Click on each property above to edit."),
                QRect(0, 0, 297, 18));

    txtDescription = placed(new QLineEdit(pnlEdit), QStringLiteral("txtDescription"), QRect(0, 40, 297, 22));
    mWhatsThis->attach(*txtDescription, 65);
    auto *lblDescription = placedLabel(pnlEdit, QStringLiteral("lblDescription"), tr("&Theme Description"), QRect(0, 22, 200, 18), txtDescription);
    mWhatsThis->attach(*lblDescription, 65);
    connect(txtDescription, &QLineEdit::textChanged, this,
            [this](const QString &text) { btnApply->setEnabled(!text.isEmpty()); });

    txtBackground = placed(new QLineEdit(pnlEdit), QStringLiteral("txtBackground"), QRect(0, 84, 245, 22));
    // The file is chosen with Browse; the box only names it.
    txtBackground->setReadOnly(true);
    mWhatsThis->attach(*txtBackground, 68);
    auto *lblBackground = placedLabel(pnlEdit, QStringLiteral("lblBackground"), tr("Background &Image"), QRect(0, 66, 200, 18), txtBackground);
    mWhatsThis->attach(*lblBackground, 68);
    auto iconButton = [this](const QString &name, const QString &hint, const QIcon &icon, int left) {
        auto *button = named(new QToolButton(pnlEdit), name);
        button->setToolTip(hint);
        button->setAccessibleName(hint);
        button->setIcon(icon);
        button->setGeometry(left, 84, 22, 22);
        return button;
    };
    btnBrowse = iconButton(QStringLiteral("btnBrowse"), tr("Browse"), QIcon(Pictures::button(Pictures::Button::Browse)), 249);
    btnClearImage = iconButton(QStringLiteral("btnClearImage"), tr("Clear Image"),
                               style()->standardIcon(QStyle::SP_LineEditClearButton), 275);
    connect(btnBrowse, &QToolButton::clicked, this, &TfrmTheme::browse);
    connect(btnClearImage, &QToolButton::clicked, this, &TfrmTheme::clearImage);

    txtLeftMargin = placed(new QLineEdit(QStringLiteral("0"), pnlEdit), QStringLiteral("txtLeftMargin"), QRect(82, 114, 40, 22));
    txtLeftMargin->setMaxLength(3);
    // Digits only, typed or pasted.
    txtLeftMargin->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), txtLeftMargin));
    mWhatsThis->attach(*txtLeftMargin, 74);
    auto *lblLeftMargin = placedLabel(pnlEdit, QStringLiteral("lblLeftMargin"), tr("&Left Margin:"), QRect(0, 114, 80, 22), txtLeftMargin);
    mWhatsThis->attach(*lblLeftMargin, 74);
    updnLeftMargin = placed(new UpDown(pnlEdit), QStringLiteral("updnLeftMargin"), QRect(122, 114, 16, 22));
    updnLeftMargin->setRange(0, kMaxMargin);
    updnLeftMargin->setIncrement(10);
    updnLeftMargin->upButton()->setAccessibleName(tr("Increase Left Margin"));
    updnLeftMargin->downButton()->setAccessibleName(tr("Decrease Left Margin"));
    mWhatsThis->attach(*updnLeftMargin, 74);
    // Like the platform's spin control, the position takes the typed number only when
    // it is read (an arrow pressed, Apply): a number it cannot take leaves it where it was.
    for (QToolButton *arrow : {updnLeftMargin->upButton(), updnLeftMargin->downButton()})
        connect(arrow, &QToolButton::pressed, this, &TfrmTheme::marginPosition);
    connect(updnLeftMargin, &UpDown::clicked, this, [this] { setMargin(updnLeftMargin->position()); });

    btnApply = placed(new QPushButton(tr("&Apply"), pnlEdit), QStringLiteral("btnApply"), QRect(143, 113, 75, 25));
    btnApply->setEnabled(false);
    connect(btnApply, &QPushButton::clicked, this, &TfrmTheme::btnApplyClick);
    btnBack = placed(new QPushButton(tr("Cancel"), pnlEdit), QStringLiteral("btnBack"), QRect(222, 113, 75, 25));
    connect(btnBack, &QPushButton::clicked, this, &TfrmTheme::closeEditPanel);
}

bool TfrmTheme::choosePageTheme(AppServices &services, PaletteTable &palette, TWebTheme &store,
                                TListBoxHrz &themeList, TPagePropertiesBlock &page, QWidget *parent)
{
    std::unique_ptr<TfrmTheme> dialog;
    {
        BusyCursor busy;
        dialog = std::make_unique<TfrmTheme>(services, palette, store, themeList, parent ? parent->window() : nullptr);
        dialog->selectTheme(page.ThemeName);
    }
    if (services.modal.runModal(*dialog) != QDialog::Accepted)
        return false;
    const int chosen = dialog->selectedTheme();
    if (chosen < 0 || chosen >= store.Items().Count())
        return false;
    ThemeStore::applyTheme(store.Items().Items(chosen), page);
    return true;
}

void TfrmTheme::selectTheme(const QString &themeName)
{
    int row = -1;
    {
        const QSignalBlocker quiet(lstEditThemes);
        row = ThemeList::select(*lstEditThemes, themeName);
    }
    if (row >= 0)
        lstEditThemes->scrollToItem(lstEditThemes->item(row), QAbstractItemView::PositionAtTop);
    lstEditThemesClick();
}

int TfrmTheme::selectedTheme() const
{
    return mRowDrag->selectedRow();
}

void TfrmTheme::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        lstEditThemesClick();
}

void TfrmTheme::lstEditThemesClick()
{
    const int row = selectedTheme();
    if (row >= 0 && row < mStore.Items().Count()) {
        const TThemeItem &theme = mStore.Items().Items(row);
        txtDescription->setText(theme.ThemeName);
        txtBackground->setText(theme.BGImage);
        bool isNumber = false;
        const int margin = theme.LeftMargin.toInt(&isNumber);
        if (isNumber)
            setMargin(margin);
        setColor(BGColor, theme.BGColor);
        setColor(TextColor, theme.TextColor);
        setColor(LinkColor, theme.LinkColor);
        setColor(ALinkColor, theme.ALinkColor);
        setColor(VLinkColor, theme.VLinkColor);
        const QString path = theme.BGImage.isEmpty() ? QString() : mServices.programFolder.backgroundsFolder() + theme.BGImage;
        showPicture(QFileInfo(path).isFile() ? path : QString());
        // A picture missing from the folder stays the theme's: Apply keeps its name, and
        // the page shows it again once the file is back.
        setPictureHint(path);
    }
    btnRemove->setEnabled(row >= 0);
    btnEdit->setEnabled(row >= 0);
}

void TfrmTheme::openEditPanel(const QString &title)
{
    setWindowTitle(title);
    pnlEdit->raise();
    pnlEdit->show();
    txtDescription->setFocus();
    for (QWidget *widget : std::initializer_list<QWidget *>{lstEditThemes, btnAdd, btnRemove, btnEdit, btnOK, btnCancel})
        widget->setEnabled(false);
}

void TfrmTheme::closeEditPanel()
{
    pnlEdit->hide();
    for (QWidget *widget : std::initializer_list<QWidget *>{lstEditThemes, btnAdd, btnRemove, btnEdit, btnOK, btnCancel})
        widget->setEnabled(true);
    setWindowTitle(caption());
    // Reloading the selected theme drops whatever was not applied.
    lstEditThemesClick();
}

void TfrmTheme::btnAddClick()
{
    mAdding = true;
    txtDescription->clear();
    txtBackground->clear();
    setMargin(0);
    for (int slot = BGColor; slot <= VLinkColor; ++slot)
        setColor(ColorSlot(slot), kNewThemeColors[slot]);
    showPicture(QString());
    setPictureHint(QString());
    openEditPanel(caption() + QStringLiteral(" - Add"));
}

void TfrmTheme::btnEditClick()
{
    if (selectedTheme() < 0)
        return;
    mAdding = false;
    openEditPanel(caption() + QStringLiteral(" - Edit"));
}

bool TfrmTheme::refuseDuplicate(int ownRow)
{
    const QString name = txtDescription->text();
    // Keeping a theme's own name is no clash; any other match, letter case ignored, is
    // (so is a rename of a theme that changes only the letter case).
    if (ownRow >= 0 && lstEditThemes->item(ownRow)->text() == name)
        return false;
    if (ThemeStore::findTheme(ThemeList::names(*lstEditThemes), name) < 0)
        return false;
    mServices.prompter.beep();
    mServices.prompter.ask(Prompter::Kind::Information, tr("There is already a Theme with this name."), Prompter::Ok);
    txtDescription->setFocus();
    return true;
}

bool TfrmTheme::placeChosenPicture()
{
    if (!mPictureChosen)
        return true;
    QString path = mPictureHint;
    if (QFileInfo(path).isFile()) {
        BusyCursor busy;
        const QString folder = mServices.programFolder.backgroundsFolder();
        QDir().mkpath(folder);
        QString error;
        const QString placed = PictureStore::place(path, folder, &error);
        if (placed.isEmpty()) {
            mServices.prompter.error(tr("Cannot copy \"%1\" to \"%2\": %3").arg(path, folder, error));
            return false;
        }
        path = placed;
    }
    setPictureHint(path);
    mPictureChosen = false;
    return true;
}

void TfrmTheme::btnApplyClick()
{
    int row = selectedTheme();
    if (mAdding ? refuseDuplicate(-1) : (row < 0 || refuseDuplicate(row)))
        return;
    if (!placeChosenPicture())
        return;
    BusyCursor busy;
    const QString name = txtDescription->text();
    if (mAdding) {
        mStore.Items().Add();
        const QSignalBlocker quiet(lstEditThemes);
        lstEditThemes->addItem(name);
        row = lstEditThemes->count() - 1;
        lstEditThemes->setCurrentRow(row);
    }
    TThemeItem &theme = mStore.Items().Items(row);
    theme.ThemeName = name;
    theme.BGImage = mPictureHint.isEmpty() ? QString() : QFileInfo(mPictureHint).fileName();
    theme.LeftMargin = QString::number(marginPosition());
    theme.BGColor = mColors[BGColor];
    theme.TextColor = mColors[TextColor];
    theme.LinkColor = mColors[LinkColor];
    theme.ALinkColor = mColors[ALinkColor];
    theme.VLinkColor = mColors[VLinkColor];
    if (ThemeStore::findTheme(ThemeList::names(*lstEditThemes), name) < 0)
        lstEditThemes->item(row)->setText(name);
    setMargin(0);
    mThemesChanged = true;
    closeEditPanel();
}

void TfrmTheme::btnRemoveClick()
{
    const int row = selectedTheme();
    if (row < 0)
        return;
    mServices.prompter.beep();
    if (mServices.prompter.ask(Prompter::Kind::Confirmation, tr("Do you want to delete the selected Theme?"),
                               Prompter::Yes | Prompter::No)
        == Prompter::Yes) {
        const QSignalBlocker quiet(lstEditThemes);
        delete lstEditThemes->takeItem(row);
        mStore.Items().remove(row);
        lstEditThemes->setCurrentRow(-1);
        lstEditThemes->clearSelection();
    }
    mThemesChanged = true;
    lstEditThemes->setFocus();
    lstEditThemesClick();
}

void TfrmTheme::rowDropped(int draggedRow, int targetRow)
{
    if (targetRow < 0 || draggedRow < 0 || draggedRow >= lstEditThemes->count())
        return;
    mStore.Items().move(draggedRow, targetRow);
    {
        const QSignalBlocker quiet(lstEditThemes);
        lstEditThemes->insertItem(targetRow, lstEditThemes->takeItem(draggedRow));
        lstEditThemes->setCurrentRow(targetRow);
    }
    mThemesChanged = true;
    lstEditThemesClick();
}

void TfrmTheme::editColor(ColorSlot slot)
{
    std::unique_ptr<TfrmColor> picker;
    {
        BusyCursor busy;
        picker = std::make_unique<TfrmColor>(mServices, mPalette, this);
        picker->setSelectedColor(mColors[slot]);
        const QString what = slot == BGColor ? lblBGColor->toolTip() : static_cast<QLabel *>(mColorWidgets[slot])->text();
        picker->setWindowTitle(picker->windowTitle() + QStringLiteral(" - ") + what);
    }
    if (mServices.modal.runModal(*picker) == QDialog::Accepted)
        setColor(slot, picker->SelectedColor());
}

void TfrmTheme::browse()
{
    FileDialog &dialog = mServices.pictureDialog;
    dialog.setFilter(PictureFiles::dialogFilter());
    dialog.setFilterIndex(1);
    dialog.setFileName(QFileInfo(mPictureHint).fileName());
    dialog.setInitialDir(mServices.programFolder.backgroundsFolder());
    if (!dialog.execute())
        return;
    const QString chosen = dialog.fileName();
    txtBackground->setText(QFileInfo(chosen).fileName());
    setPictureHint(chosen);
    mPictureChosen = true;
    showPicture(chosen);
}

void TfrmTheme::clearImage()
{
    showPicture(QString());
    setPictureHint(QString());
    txtBackground->clear();
}

void TfrmTheme::setColor(ColorSlot slot, qint32 color)
{
    mColors[slot] = color;
    QWidget *widget = mColorWidgets[slot];
    QPalette palette = widget->palette();
    palette.setColor(slot == BGColor ? QPalette::Window : QPalette::WindowText, toQColor(color));
    widget->setPalette(palette);
}

void TfrmTheme::setMargin(int position)
{
    updnLeftMargin->setPosition(position);
    txtLeftMargin->setText(QString::number(updnLeftMargin->position()));
}

int TfrmTheme::marginPosition()
{
    bool ok = false;
    const int typed = txtLeftMargin->text().toInt(&ok);
    if (ok && typed >= 0 && typed <= kMaxMargin)
        updnLeftMargin->setPosition(typed);
    return updnLeftMargin->position();
}

void TfrmTheme::showPicture(const QString &path)
{
    // Read through the image plugins by content, so a picture whose extension lies
    // still shows; one that cannot be read leaves the place empty.
    QImage image;
    QFile file(path);
    if (!path.isEmpty() && BoundedRead::openRegularFile(file)) {
        QImageReader reader(&file);
        reader.setDecideFormatFromContent(true);
        image = reader.read();
    }
    if (image.isNull()) {
        imgBG->clear();
        imgBG->hide();
        lblNoImage->show();
    } else {
        imgBG->setPixmap(QPixmap::fromImage(image));
        imgBG->show();
        imgBG->raise();
        lblNoImage->hide();
    }
}

void TfrmTheme::setPictureHint(const QString &path)
{
    mPictureHint = path;
    imgBG->setToolTip(path);
}

bool TfrmTheme::eventFilter(QObject *watched, QEvent *event)
{
    const auto editing = [this] { return !pnlEdit->isHidden(); };
    if (event->type() == QEvent::MouseButtonDblClick) {
        for (int slot = BGColor; slot <= VLinkColor; ++slot) {
            if (watched == mColorWidgets[slot]) {
                if (editing())
                    editColor(ColorSlot(slot));
                return true;
            }
        }
        if (watched == imgBG && editing()) {
            browse();
            return true;
        }
    } else if (event->type() == QEvent::MouseButtonRelease && watched == lblNoImage && editing()) {
        browse();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TfrmTheme::keyPressEvent(QKeyEvent *event)
{
    // Escape is the Cancel button's key: while the edit panel has it disabled, Escape
    // does nothing either.
    if (event->key() == Qt::Key_Escape && !btnCancel->isEnabled()) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TfrmTheme::paintEvent(QPaintEvent *event)
{
    QDialog::paintEvent(event);
    // An etched outline around the button column, slanting in from the bevel.
    QPainter painter(this);
    const int right = width() - 2;
    const int left = mBevel->geometry().right() + 2;
    const int top = btnAdd->geometry().top() - 1;
    const int bottom = btnEdit->geometry().bottom();
    painter.setPen(palette().color(QPalette::Dark));
    painter.drawLine(right, top, right, bottom);
    painter.drawLine(right, bottom, left, bottom + 20);
    painter.setPen(palette().color(QPalette::Light));
    painter.drawLine(left, bottom + 20, left, 0);
    painter.drawLine(left, 0, right, top);
}

void TfrmTheme::done(int result)
{
    if (mThemesChanged) {
        QString error;
        if (!ThemeStore::save(mServices.programFolder.themesFile(), mStore, &error))
            mServices.prompter.error(tr("Unable to save the page themes: ") + error);
        // Whether or not the file took them, the store holds the changes: the main
        // window's list shows what the store holds.
        mThemeList.clear();
        mThemeList.addItems(ThemeList::names(*lstEditThemes));
    }
    const int row = selectedTheme();
    mThemeList.setCurrentRow(row);
    if (row < 0)
        mThemeList.clearSelection();
    else
        mThemeList.scrollToItem(mThemeList.item(row), QAbstractItemView::PositionAtTop);
    QDialog::done(result);
}
