#include "frmmisc.h"

#include "model/bookmarks.h"
#include "platform/appservices.h"
#include "platform/busycursor.h"
#include "platform/dialogbuttons.h"
#include "platform/filedialog.h"
#include "platform/modalrunner.h"
#include "platform/prompter.h"
#include "platform/screencentre.h"
#include "themes/palette.h"
#include "widgets/accessiblename.h"
#include "widgets/frmcolor.h"
#include "widgets/listboxhrz.h"
#include "widgets/placedcontrols.h"
#include "widgets/whatsthis.h"

#include <QComboBox>
#include <QFileInfo>
#include <QFontDatabase>
#include <QRegularExpression>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QToolButton>

#include <memory>

namespace {

constexpr int kPointSizes[] = {20, 18, 16, 14, 12, 10, 8};

QToolButton *addToolButton(const QString &name, const QString &hint, QWidget *parent, const QRect &geometry)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(name);
    AccessibleName::setHint(*button, hint);
    button->setGeometry(geometry);
    return button;
}

QIcon colorIcon()
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.fillRect(1, 1, 7, 7, Qt::red);
    painter.fillRect(8, 1, 7, 7, Qt::yellow);
    painter.fillRect(1, 8, 7, 7, Qt::blue);
    painter.fillRect(8, 8, 7, 7, QColor(0, 160, 0));
    painter.setPen(Qt::black);
    painter.drawRect(0, 0, 15, 15);
    return QIcon(pixmap);
}

}

TfrmMisc::TfrmMisc(AppServices &services, PaletteTable &palette, QWidget *parent)
    : QDialog(parent), mServices(services), mPalette(palette)
{
    setWindowTitle(QStringLiteral("Netscape Bookmarks"));
    setFixedSize(440, 206);
    centreOnScreen(*this);

    whatsThis = new WhatsThisMenu(services.help, this);

    lstBookmarks = new TListBoxHrz(this);
    lstBookmarks->setAccessibleName(tr("Bookmarks"));
    lstBookmarks->setObjectName(QStringLiteral("lstBookmarks"));
    lstBookmarks->setGeometry(15, 12, 409, 145);
    connect(lstBookmarks, &QListWidget::itemDoubleClicked, this, &QDialog::accept);

    btnOK = addOkButton(*this, QStringLiteral("btnOK"), QRect(264, 170, 75, 27));
    btnCancel = addCancelButton(*this, QRect(349, 170, 75, 27));

    buildFontPanel();
    buildMetaPanel();
    setMode(mmBookmarks);
}

TfrmMisc::~TfrmMisc() = default;

void TfrmMisc::buildFontPanel()
{
    pnlFont = new QWidget(this);
    pnlFont->setObjectName(QStringLiteral("pnlFont"));
    pnlFont->setGeometry(0, 0, 440, 162);

    cbName = new QComboBox(pnlFont);
    cbName->setObjectName(QStringLiteral("cbName"));
    cbName->setGeometry(15, 30, 190, 24);
    lblName = placedLabel(pnlFont, QStringLiteral("lblName"), QStringLiteral("&Name"), QRect(15, 10, 190, 18), cbName);
    whatsThis->attach(*lblName, 39);
    connect(cbName, &QComboBox::activated, this, [this](int index) {
        QFont font = sampleFont();
        font.setFamily(cbName->itemText(index));
        applySample(font);
    });

    cbSize = new QComboBox(pnlFont);
    cbSize->setObjectName(QStringLiteral("cbSize"));
    cbSize->setGeometry(215, 30, 60, 24);
    for (const char *entry : {"7", "6", "5", "4", "3", "2", "1"})
        cbSize->addItem(QString::fromLatin1(entry));
    lblSize = placedLabel(pnlFont, QStringLiteral("lblSize"), QStringLiteral("&Size"), QRect(215, 10, 60, 18), cbSize);
    whatsThis->attach(*lblSize, 38);
    connect(cbSize, &QComboBox::activated, this, [this](int index) {
        QFont font = sampleFont();
        font.setPointSize(entryPointSize(index));
        applySample(font);
    });

    lblStyles = placedLabel(pnlFont, QStringLiteral("lblStyles"), QStringLiteral("Styles"), QRect(285, 10, 100, 18));
    whatsThis->attach(*lblStyles, 37);
    btnBold = addToolButton(QStringLiteral("btnBold"), QStringLiteral("Bold"), pnlFont, QRect(285, 30, 26, 24));
    btnItalic = addToolButton(QStringLiteral("btnItalic"), QStringLiteral("Italic"), pnlFont, QRect(313, 30, 26, 24));
    btnUnderline = addToolButton(QStringLiteral("btnUnderline"), QStringLiteral("Underline"), pnlFont, QRect(341, 30, 26, 24));
    btnBold->setText(QStringLiteral("B"));
    btnItalic->setText(QStringLiteral("I"));
    btnUnderline->setText(QStringLiteral("U"));
    const struct
    {
        QToolButton *button;
        void (QFont::*set)(bool);
    } styles[] = {{btnBold, &QFont::setBold}, {btnItalic, &QFont::setItalic}, {btnUnderline, &QFont::setUnderline}};
    for (const auto &style : styles) {
        QFont glyph = style.button->font();
        (glyph.*style.set)(true);
        style.button->setFont(glyph);
        style.button->setCheckable(true);
        // Toggled, not clicked: assistive tools toggle a checkable button without clicking it.
        connect(style.button, &QToolButton::toggled, this, [this, set = style.set](bool down) {
            QFont font = sampleFont();
            (font.*set)(down);
            applySample(font);
        });
    }

    btnColor = addToolButton(QStringLiteral("btnColor"), QStringLiteral("Color"), pnlFont, QRect(385, 30, 40, 24));
    btnColor->setIcon(colorIcon());
    connect(btnColor, &QToolButton::clicked, this, &TfrmMisc::btnColorClick);

    lblPreview = new QLabel(QStringLiteral("Sample Font"), pnlFont);
    lblPreview->setObjectName(QStringLiteral("lblPreview"));
    lblPreview->setGeometry(15, 64, 410, 90);
    lblPreview->setAlignment(Qt::AlignCenter);
    lblPreview->setAutoFillBackground(true);
    lblPreview->setFrameShape(QFrame::StyledPanel);
    lblPreview->setFrameShadow(QFrame::Sunken);
    whatsThis->attach(*lblPreview, 36);
    setSampleFont(lblPreview->font(), Qt::black);
}

void TfrmMisc::buildMetaPanel()
{
    pnlMeta = new QWidget(this);
    pnlMeta->setObjectName(QStringLiteral("pnlMeta"));
    pnlMeta->setGeometry(0, 0, 440, 162);

    lblMetaInfo = placedLabel(pnlMeta, QStringLiteral("lblMetaInfo"),
                              QStringLiteral("Meta tags are used to embed hidden information about your web page "
                                             "for a browser or a search engine to use."),
                              QRect(15, 8, 410, 36));
    lblMetaInfo->setWordWrap(true);
    whatsThis->attach(*lblMetaInfo, 12);

    cbMetaName = new QComboBox(pnlMeta);
    cbMetaName->setObjectName(QStringLiteral("cbMetaName"));
    cbMetaName->setGeometry(15, 70, 200, 24);
    for (const char *name : {"Description", "Keywords", "Pics-Label", "Expires", "Reply-to"})
        cbMetaName->addItem(QString::fromLatin1(name));
    lblMetaName = placedLabel(pnlMeta, QStringLiteral("lblMetaName"),
                              QStringLiteral("Meta &Name (Right-click here for Meta Tag Tips)"), QRect(15, 50, 410, 18),
                              cbMetaName);
    lblMetaName->setToolTip(QStringLiteral("Right-click here for Meta Tag Tips"));
    whatsThis->attach(*lblMetaName, 13);

    txtMetaContent = new QLineEdit(pnlMeta);
    txtMetaContent->setObjectName(QStringLiteral("txtMetaContent"));
    txtMetaContent->setGeometry(15, 124, 410, 24);
    lblMetaContent = placedLabel(pnlMeta, QStringLiteral("lblMetaContent"), QStringLiteral("Meta &Content"),
                                 QRect(15, 104, 410, 18), txtMetaContent);
    whatsThis->attach(*lblMetaContent, 14);
    connect(txtMetaContent, &QLineEdit::textChanged, this, &TfrmMisc::updateMetaOK);
}

void TfrmMisc::setMode(TMiscMode mode)
{
    mMode = mode;
    pnlFont->setVisible(mode == mmFont);
    pnlMeta->setVisible(mode == mmMetaTag);
    lstBookmarks->setVisible(mode == mmBookmarks);
    btnOK->setEnabled(true);
    updateMetaOK();
}

int TfrmMisc::execute()
{
    switch (mMode) {
    case mmFont:
        prepareFont();
        break;
    case mmBookmarks:
        if (!prepareBookmarks())
            return QDialog::Rejected;
        break;
    case mmMetaTag:
        setWindowTitle(QStringLiteral("Meta Tag"));
        updateMetaOK();
        pnlMeta->raise();
        break;
    }
    return mServices.modal.runModal(*this);
}

void TfrmMisc::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (mMode == mmFont)
        cbName->setFocus();
    else if (mMode == mmMetaTag)
        txtMetaContent->setFocus();
}

void TfrmMisc::updateMetaOK()
{
    if (mMode == mmMetaTag)
        btnOK->setEnabled(!txtMetaContent->text().isEmpty());
}

int TfrmMisc::entryPointSize(int entry)
{
    return entry >= 0 && entry < int(std::size(kPointSizes)) ? kPointSizes[entry] : 0;
}

QStringList TfrmMisc::familyNames(const QStringList &installed)
{
    // The name goes into the page as it is: a foundry suffix would name no font at all
    // in the visitor's browser.
    static const QRegularExpression foundry(QStringLiteral("\\s*\\[[^\\]]*\\]$"));
    QStringList names;
    names.reserve(installed.size());
    for (QString name : installed) {
        name.remove(foundry);
        if (!name.isEmpty())
            names.append(name);
    }
    names.sort(Qt::CaseInsensitive);
    names.removeDuplicates();
    return names;
}

void TfrmMisc::prepareFont()
{
    setWindowTitle(QStringLiteral("Font"));
    const QFont font = sampleFont();
    cbName->clear();
    QStringList names = familyNames(QFontDatabase::families());
    // A font the page names but this computer lacks is still shown, so that OK keeps it.
    if (!font.family().isEmpty() && !names.contains(font.family()))
        names.prepend(font.family());
    cbName->addItems(names);
    cbName->setCurrentIndex(cbName->findText(font.family(), Qt::MatchFixedString | Qt::MatchCaseSensitive));
    int sizeEntry = -1;
    for (int entry = 0; entry < int(std::size(kPointSizes)); ++entry) {
        if (kPointSizes[entry] == font.pointSize())
            sizeEntry = entry;
    }
    cbSize->setCurrentIndex(sizeEntry);
    btnBold->setChecked(font.bold());
    btnItalic->setChecked(font.italic());
    btnUnderline->setChecked(font.underline());
    pnlFont->raise();
}

void TfrmMisc::setSampleFont(const QFont &font, const QColor &color)
{
    mSampleColor = color;
    QPalette palette = lblPreview->palette();
    palette.setColor(QPalette::Window, Qt::white);
    palette.setColor(QPalette::WindowText, color);
    lblPreview->setPalette(palette);
    applySample(font);
}

QFont TfrmMisc::sampleFont() const
{
    return lblPreview->font();
}

void TfrmMisc::applySample(const QFont &font)
{
    lblPreview->setFont(font);
}

void TfrmMisc::btnColorClick()
{
    std::unique_ptr<TfrmColor> picker;
    {
        BusyCursor busy;
        picker = std::make_unique<TfrmColor>(mServices, mPalette, this);
        picker->setSelectedColor(Palette::rgb(mSampleColor.red(), mSampleColor.green(), mSampleColor.blue()));
    }
    if (mServices.modal.runModal(*picker) != QDialog::Accepted)
        return;
    const qint32 chosen = picker->SelectedColor();
    setSampleFont(sampleFont(), QColor(Palette::red(chosen), Palette::green(chosen), Palette::blue(chosen)));
}

bool TfrmMisc::readBookmarks(const QString &path)
{
    if (!QFileInfo::exists(path))
        return false;
    BusyCursor busy;
    QStringList addresses;
    const bool read = Bookmarks::readFile(path, addresses);
    lstBookmarks->addItems(addresses);
    if (!read)
        return false;
    if (lstBookmarks->count() == 0)
        lstBookmarks->addItem(QStringLiteral("No Bookmarks found."));
    lstBookmarks->setCurrentRow(0);
    return true;
}

bool TfrmMisc::prepareBookmarks()
{
    const QString path = Bookmarks::Location::read(mServices.settings).bookmarkFile();
    if (!path.isEmpty() && readBookmarks(path))
        return true;
    const Prompter::Button answer =
        mServices.prompter.ask(Prompter::Kind::Information,
                               QStringLiteral("Unable to find Netscape Bookmarks. Would you like to find it yourself?"),
                               Prompter::Yes | Prompter::No);
    if (answer == Prompter::Yes) {
        FileDialog &dialog = mServices.openDialog;
        dialog.setFilter(QStringLiteral("HTML Files|*.htm;*.html"));
        dialog.setFilterIndex(1);
        dialog.setFileName(QString());
        if (!dialog.execute())
            return false;
        readBookmarks(dialog.fileName());
        return true;
    }
    if (lstBookmarks->count() == 0)
        lstBookmarks->addItem(QStringLiteral("No Bookmarks found."));
    lstBookmarks->setCurrentRow(0);
    return false;
}
