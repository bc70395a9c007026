#include "frmcommonfields.h"

#include "fieldbank.h"
#include "fieldrows.h"

#include "model/pagelette.h"
#include "platform/appservices.h"
#include "platform/busycursor.h"
#include "platform/dialogbuttons.h"
#include "platform/modalrunner.h"
#include "platform/prompter.h"
#include "platform/screencentre.h"
#include "widgets/accessiblename.h"
#include "widgets/pictures.h"
#include "widgets/placedcontrols.h"
#include "widgets/rowdrag.h"
#include "widgets/whatsthis.h"

#include <QCheckBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QTreeWidget>

namespace {

constexpr int kWidth = 520;
constexpr int kBasicHeight = 493;
constexpr int kOptionsHeight = 377;
constexpr int kFieldsTopic = 203;
constexpr int kOptionsTopic = 202;
const QString kFormField = QStringLiteral("form field");

}

TfrmCommonFields::TfrmCommonFields(AppServices &services, QWidget *parent)
    : QDialog(parent), mServices(services)
{
    setObjectName(QStringLiteral("frmCommonFields"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    whatsThis = new WhatsThisMenu(services.help, this);
    buildCommonPanel();
    buildOptionsPanel();
    btnOk = addOkButton(*this, QStringLiteral("btnOk"), QRect(350, 0, 75, 27));
    btnCancel = addCancelButton(*this, QRect(435, 0, 75, 27));
    setMode(cmBasicFields);
}

TfrmCommonFields::~TfrmCommonFields() = default;

void TfrmCommonFields::buildCommonPanel()
{
    pnlCommon = new QWidget(this);
    pnlCommon->setObjectName(QStringLiteral("pnlCommon"));
    pnlCommon->setGeometry(0, 0, kWidth, kBasicHeight - 45);

    auto *instructions = placedLabel(pnlCommon, QStringLiteral("lblInstructions"),
                                  QStringLiteral("To Add items to your list, simply drag and drop the item from the Field "
                                                 "Bank below. To Remove an item, drag it back to the Field Bank or highlight "
                                                 "it and hit Delete."),
                                  QRect(10, 8, 500, 46));
    instructions->setWordWrap(true);

    auto makeList = [this](const QString &name, const QString &heading, int top) {
        auto *list = new QTreeWidget(pnlCommon);
        list->setObjectName(name);
        list->setGeometry(10, top + 20, 405, 150);
        FieldRows::setUpList(*list, {QStringLiteral("Name"), QStringLiteral("Type")}, {200, 185});
        list->setAccessibleName(heading);
        HelpContext::set(*list, kFieldsTopic);
        auto *label = placedLabel(pnlCommon, name + QStringLiteral("Heading"), heading, QRect(10, top, 405, 18));
        QFont bold = label->font();
        bold.setBold(true);
        label->setFont(bold);
        whatsThis->attach(*label, kFieldsTopic);
        return list;
    };
    lvForms = makeList(QStringLiteral("lvForms"), QStringLiteral("Common Fields"), 58);
    lvFieldBank = makeList(QStringLiteral("lvFieldBank"), QStringLiteral("Field Bank"), 236);
    FieldRows::onKeys(*lvForms, {}, [this] { deleteCommonRow(); });
    connect(lvForms, &QTreeWidget::itemSelectionChanged, this, &TfrmCommonFields::updateMoveButtons);
    connect(lvForms, &QTreeWidget::currentItemChanged, this, &TfrmCommonFields::updateMoveButtons);

    auto *commonDrag = new RowDrag(*lvForms);
    auto *bankDrag = new RowDrag(*lvFieldBank);
    for (RowDrag *drag : {commonDrag, bankDrag})
        drag->setDragButtons(Qt::LeftButton | Qt::RightButton | Qt::MiddleButton);
    commonDrag->acceptDropsFrom(*lvFieldBank);
    bankDrag->acceptDropsFrom(*lvForms);
    connect(commonDrag, &RowDrag::rowDropped, this, [this](int, int target) { dropCommonRow(target); });
    connect(commonDrag, &RowDrag::rowDroppedFrom, this,
            [this](const QAbstractItemView *, int dragged, int target) { dropBankRow(dragged, target); });
    connect(bankDrag, &RowDrag::rowDroppedFrom, this, [this](const QAbstractItemView *, int, int) { returnCommonRow(); });

    auto makeMove = [this](const QString &name, const QString &hint, Pictures::Button picture, int top) {
        auto *button = new QToolButton(pnlCommon);
        button->setObjectName(name);
        button->setText(QStringLiteral("Priority"));
        // Both buttons read "Priority": the hint, as their name, tells them apart.
        AccessibleName::setHint(*button, hint);
        button->setIcon(QIcon(Pictures::button(picture)));
        button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        button->setGeometry(425, top, 85, 27);
        button->setEnabled(false);
        return button;
    };
    btnMoveUp = makeMove(QStringLiteral("btnMoveUp"), QStringLiteral("Move Up"), Pictures::Button::MoveUp, 78);
    btnMoveDown = makeMove(QStringLiteral("btnMoveDown"), QStringLiteral("Move Down"), Pictures::Button::MoveDown, 110);
    connect(btnMoveUp, &QToolButton::clicked, this, &TfrmCommonFields::moveUp);
    connect(btnMoveDown, &QToolButton::clicked, this, &TfrmCommonFields::moveDown);

    // The bank's fields reach the common list without a mouse as well.
    btnAdd = new QPushButton(QIcon(Pictures::button(Pictures::Button::MoveUp)), QStringLiteral("&Add"), pnlCommon);
    btnAdd->setObjectName(QStringLiteral("btnAdd"));
    btnAdd->setGeometry(425, 256, 85, 27);
    btnAdd->setAutoDefault(false);
    AccessibleName::setHint(*btnAdd, QStringLiteral("Add to Common Fields"));
    connect(btnAdd, &QPushButton::clicked, this, &TfrmCommonFields::addBankRow);
    FieldRows::onKeys(*lvFieldBank, [this] { addBankRow(); }, {});
    connect(lvFieldBank, &QTreeWidget::itemDoubleClicked, this, &TfrmCommonFields::addBankRow);

    btnReset = new QPushButton(QStringLiteral("&Reset"), pnlCommon);
    btnReset->setObjectName(QStringLiteral("btnReset"));
    btnReset->setGeometry(425, 290, 85, 27);
    btnReset->setAutoDefault(false);
    connect(btnReset, &QPushButton::clicked, this, &TfrmCommonFields::reset);

    auto *note = placedLabel(pnlCommon, QStringLiteral("lblNote"), QStringLiteral("Note:"), QRect(10, 412, 40, 18));
    QFont bold = note->font();
    bold.setBold(true);
    note->setFont(bold);
    auto *noteText = placedLabel(pnlCommon, QStringLiteral("lblNoteText"),
                              QStringLiteral("You can add your own customized Fields by clicking on the \"Add Field\" "
                                             "button (+) in the previous window."),
                              QRect(52, 412, 458, 34));
    noteText->setWordWrap(true);
    noteText->setAlignment(Qt::AlignTop | Qt::AlignLeft);
}

void TfrmCommonFields::buildOptionsPanel()
{
    pnlOptions = new QWidget(this);
    pnlOptions->setObjectName(QStringLiteral("pnlOptions"));
    pnlOptions->setGeometry(0, 0, kWidth, kOptionsHeight - 45);

    auto *table = new QGroupBox(QStringLiteral("Table Properties"), pnlOptions);
    table->setObjectName(QStringLiteral("grpTable"));
    table->setGeometry(10, 10, 500, 110);
    txtFormTitle = new QLineEdit(table);
    txtFormTitle->setObjectName(QStringLiteral("txtFormTitle"));
    txtFormTitle->setGeometry(10, 44, 480, 24);
    HelpContext::set(*txtFormTitle, kOptionsTopic);
    auto *title = placedLabel(table, QStringLiteral("lblFormTitle"), QStringLiteral("Form &Title"), QRect(10, 24, 200, 18));
    title->setBuddy(txtFormTitle);
    whatsThis->attach(*title, kOptionsTopic);
    chkFooter = placed(new QCheckBox(QStringLiteral("Include F&ooter"), table), QStringLiteral("chkFooter"), QRect(10, 76, 220, 22));
    chkUseBorder = placed(new QCheckBox(QStringLiteral("Use Table &Border"), table), QStringLiteral("chkUseBorder"), QRect(250, 76, 220, 22));

    auto *display = new QGroupBox(QStringLiteral("Display the following items in the e-mail"), pnlOptions);
    display->setObjectName(QStringLiteral("grpDisplay"));
    display->setGeometry(10, 130, 500, 192);
    chkAddress = placed(new QCheckBox(QStringLiteral("E-Mail &Address"), display), QStringLiteral("chkAddress"), QRect(10, 26, 220, 22));
    chkSubject = placed(new QCheckBox(QStringLiteral("E-Mail &Subject"), display), QStringLiteral("chkSubject"), QRect(10, 58, 220, 22));
    chkIP = placed(new QCheckBox(QStringLiteral("&IP Address"), display), QStringLiteral("chkIP"), QRect(10, 90, 220, 22));
    chkHostname = placed(new QCheckBox(QStringLiteral("&Hostname"), display), QStringLiteral("chkHostname"), QRect(10, 122, 220, 22));
    chkBrowser = placed(new QCheckBox(QStringLiteral("B&rowser Used"), display), QStringLiteral("chkBrowser"), QRect(10, 154, 220, 22));
    chkBlankFields = placed(new QCheckBox(QStringLiteral("Display Blank &Fields in Message Body"), display), QStringLiteral("chkBlankFields"), QRect(240, 26, 250, 22));
    chkSort = placed(new QCheckBox(QStringLiteral("Sor&t Fields in Alphabetic Order"), display), QStringLiteral("chkSort"), QRect(240, 58, 250, 22));
    for (QCheckBox *box : {chkFooter, chkUseBorder, chkAddress, chkSubject, chkIP, chkHostname, chkBrowser, chkBlankFields, chkSort})
        whatsThis->attach(*box, kOptionsTopic);
}

void TfrmCommonFields::setMode(TCommonMode mode)
{
    mMode = mode;
    const bool basic = mode == cmBasicFields;
    pnlCommon->setVisible(basic);
    pnlOptions->setVisible(!basic);
    btnReset->setVisible(basic);
    btnAdd->setVisible(basic);
    const int height = basic ? kBasicHeight : kOptionsHeight;
    btnOk->move(btnOk->x(), height - 37);
    btnCancel->move(btnCancel->x(), height - 37);
    setFixedSize(kWidth, height);
    setWindowTitle(basic ? QStringLiteral("Commonly Used Fields") : QStringLiteral("E-mail Form Advanced Options"));
}

int TfrmCommonFields::execute()
{
    if (mMode == cmBasicFields) {
        BusyCursor busy;
        const QString path = mServices.programFolder.fieldsFile();
        IniFile file;
        QString error;
        if (FieldBank::readFile(path, file, &error) == FieldBank::ReadResult::Failed) {
            mServices.prompter.error(QStringLiteral("Cannot read the field bank %1: %2").arg(QDir::toNativeSeparators(path), error));
            return QDialog::Rejected;
        }
        if (!LoadFieldSection(file, FieldBank::defaultFieldsSection(), *lvForms)) {
            FieldRows::fill(*lvForms, FieldBank::builtInDefaultFields());
            mChanged = true;
        }
        if (!LoadFieldSection(file, FieldBank::bankSection(), *lvFieldBank))
            FieldRows::fill(*lvFieldBank, FieldBank::builtInBankFields());
        updateMoveButtons();
    } else {
        pnlOptions->raise();
    }
    centreOnScreen(*this);
    return mServices.modal.runModal(*this);
}

void TfrmCommonFields::loadOptions(const TPagelette &page)
{
    txtFormTitle->setText(page.FormTitle);
    chkFooter->setChecked(page.FormFooter);
    chkUseBorder->setChecked(page.Border);
    chkAddress->setChecked(page.EmailAddress);
    chkSubject->setChecked(page.EmailSubject);
    chkIP->setChecked(page.EnvReport);
    chkHostname->setChecked(page.HostName);
    chkBrowser->setChecked(page.BrowserUsed);
    chkBlankFields->setChecked(page.BlankFields);
    chkSort->setChecked(page.AlphaSort);
}

void TfrmCommonFields::storeOptions(TPagelette &page) const
{
    page.FormTitle = txtFormTitle->text();
    page.FormFooter = chkFooter->isChecked();
    page.Border = chkUseBorder->isChecked();
    page.EmailAddress = chkAddress->isChecked();
    page.EmailSubject = chkSubject->isChecked();
    page.EnvReport = chkIP->isChecked();
    page.HostName = chkHostname->isChecked();
    page.BrowserUsed = chkBrowser->isChecked();
    page.BlankFields = chkBlankFields->isChecked();
    page.AlphaSort = chkSort->isChecked();
}

void TfrmCommonFields::accept()
{
    if (mMode == cmBasicFields && mChanged) {
        BusyCursor busy;
        const QString path = mServices.programFolder.fieldsFile();
        QString error;
        if (!FieldBank::writeDefaultFields(path, FieldRows::fieldsOf(*lvForms), &error)) {
            mServices.prompter.error(QStringLiteral("Cannot save the common fields in %1: %2").arg(QDir::toNativeSeparators(path), error));
            return;
        }
    }
    QDialog::accept();
}

void TfrmCommonFields::updateMoveButtons()
{
    const int selected = FieldRows::selectedRow(*lvForms);
    btnMoveUp->setEnabled(selected > 0);
    btnMoveDown->setEnabled(selected >= 0 && selected < lvForms->topLevelItemCount() - 1);
}

void TfrmCommonFields::moveBy(int step)
{
    const int focused = FieldRows::focusedRow(*lvForms);
    if (focused < 0)
        return;
    FieldRows::selectRow(*lvForms, focused);
    if (ExchangeRows(*lvForms, focused + step))
        mChanged = true;
}

void TfrmCommonFields::moveUp()
{
    moveBy(-1);
}

void TfrmCommonFields::moveDown()
{
    moveBy(1);
}

void TfrmCommonFields::reset()
{
    FieldRows::fill(*lvForms, FieldBank::builtInDefaultFields());
    mChanged = true;
    updateMoveButtons();
}

void TfrmCommonFields::deleteCommonRow()
{
    if (DeleteSelectedRow(*lvForms, kFormField, mServices.prompter))
        mChanged = true;
}

void TfrmCommonFields::dropBankRow(int bankRow, int target)
{
    const QTreeWidgetItem *dragged = lvFieldBank->topLevelItem(bankRow);
    if (!dragged)
        return;
    const BankField field = FieldRows::fieldOf(*dragged);
    for (int i = 0; i < lvForms->topLevelItemCount(); ++i) {
        if (lvForms->topLevelItem(i)->text(0).compare(field.name, Qt::CaseInsensitive) == 0) {
            FieldRows::selectRow(*lvForms, i);
            return;
        }
    }
    const int at = target < 0 || target > lvForms->topLevelItemCount() ? lvForms->topLevelItemCount() : target;
    FieldRows::insert(*lvForms, at, field);
    FieldRows::selectRow(*lvForms, at);
    mChanged = true;
}

void TfrmCommonFields::addBankRow()
{
    if (QTreeWidgetItem *current = lvFieldBank->currentItem())
        dropBankRow(lvFieldBank->indexOfTopLevelItem(current), -1);
}

void TfrmCommonFields::dropCommonRow(int target)
{
    if (ExchangeRows(*lvForms, target))
        mChanged = true;
}

void TfrmCommonFields::returnCommonRow()
{
    deleteCommonRow();
}
