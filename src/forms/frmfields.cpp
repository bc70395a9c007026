#include "frmfields.h"

#include "fieldrows.h"

#include "platform/appservices.h"
#include "platform/dialogbuttons.h"
#include "platform/modalrunner.h"
#include "platform/prompter.h"
#include "platform/screencentre.h"
#include "platform/textfile.h"
#include "widgets/keyboardmenu.h"
#include "widgets/accessiblename.h"
#include "widgets/memobox.h"
#include "widgets/pictures.h"
#include "widgets/placedcontrols.h"
#include "widgets/rowdrag.h"
#include "widgets/whatsthis.h"

#include <QCheckBox>
#include <QAbstractItemView>
#include <QComboBox>
#include <QFocusEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QTreeWidget>

namespace {

constexpr int kWidth = 480;
constexpr int kKindTop = 150;
constexpr int kSampleHeight = 64;
constexpr int kSizeTopic = 204;
constexpr int kRowsColsTopic = 205;

}

TfrmFields::TfrmFields(AppServices &services, QWidget *parent)
    : QDialog(parent), mServices(services)
{
    setObjectName(QStringLiteral("frmFields"));
    setWindowTitle(QStringLiteral("Form Field"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    whatsThis = new WhatsThisMenu(services.help, this);

    txtText = placed(new MemoBox(this), QStringLiteral("txtText"), QRect(10, 30, 460, 54));
    mKindLabels.append(placedLabel(this, QStringLiteral("lblText"), QStringLiteral("&Webpage Text:"), QRect(10, 10, 200, 18), txtText));
    txtName = placed(new QLineEdit(this), QStringLiteral("txtName"), QRect(10, 114, 225, 24));
    mKindLabels.append(placedLabel(this, QStringLiteral("lblName"), QStringLiteral("&Name:"), QRect(10, 94, 200, 18), txtName));
    txtValue = placed(new QLineEdit(this), QStringLiteral("txtValue"), QRect(245, 114, 225, 24));
    mKindLabels.append(placedLabel(this, QStringLiteral("lblValue"), QStringLiteral("&Value:"), QRect(245, 94, 200, 18), txtValue));
    txtName->installEventFilter(this);
    connect(txtName, &QLineEdit::textChanged, this, &TfrmFields::updateCaption);
    connect(txtValue, &QLineEdit::textChanged, this, [this](const QString &value) {
        if (mKind == fkText)
            txtSampleText->setText(value);
    });

    cbSize = placed(new QComboBox(this), QStringLiteral("cbSize"), QRect(10, kKindTop + 20, 80, 24));
    cbSize->setEditable(true);
    cbSize->lineEdit()->setObjectName(QStringLiteral("cbSizeText"));
    cbSize->view()->setObjectName(QStringLiteral("cbSizeList"));
    cbSize->addItems({"10", "20", "30", "40", "50", "60"});
    cbSize->setCurrentText(QStringLiteral("30"));
    lblSize = placedLabel(this, QStringLiteral("lblSize"), QStringLiteral("&Size:"), QRect(10, kKindTop, 80, 18), cbSize);
    HelpContext::set(*cbSize, kSizeTopic);
    whatsThis->attach(*lblSize, kSizeTopic);

    pnlRowsCols = placed(new QWidget(this), QStringLiteral("pnlRowsCols"), QRect(10, kKindTop, 200, 46));
    txtRows = placed(new QLineEdit(QStringLiteral("15"), pnlRowsCols), QStringLiteral("txtRows"), QRect(0, 20, 60, 24));
    txtCols = placed(new QLineEdit(QStringLiteral("30"), pnlRowsCols), QStringLiteral("txtCols"), QRect(80, 20, 60, 24));
    for (QWidget *box : {static_cast<QWidget *>(txtRows), static_cast<QWidget *>(txtCols)})
        HelpContext::set(*box, kRowsColsTopic);
    whatsThis->attach(*placedLabel(pnlRowsCols, QStringLiteral("lblRows"), QStringLiteral("&Rows:"), QRect(0, 0, 70, 18), txtRows),
                      kRowsColsTopic);
    whatsThis->attach(*placedLabel(pnlRowsCols, QStringLiteral("lblCols"), QStringLiteral("&Cols:"), QRect(80, 0, 70, 18), txtCols),
                      kRowsColsTopic);

    buildOptionList();
    buildSample();
    buildOptionEditor();

    btnOK = addOkButton(*this, QStringLiteral("btnOK"), QRect(310, 0, 75, 27));
    btnCancel = addCancelButton(*this, QRect(395, 0, 75, 27));
    arrange();
}

TfrmFields::~TfrmFields() = default;

void TfrmFields::buildOptionList()
{
    lvDropDown = placed(new QTreeWidget(this), QStringLiteral("lvDropDown"), QRect(10, kKindTop + 20, 345, 124));
    lvDropDown->setAccessibleName(QStringLiteral("Items"));
    FieldRows::setUpList(*lvDropDown, {QStringLiteral("Value"), QStringLiteral("Text"), QString()}, {100, 150, 75});
    lblItems = placedLabel(this, QStringLiteral("lblItems"), QStringLiteral("Items:"), QRect(10, kKindTop, 100, 18), lvDropDown);
    FieldRows::onKeys(*lvDropDown, [this] { editItem(); }, [this] { deleteItem(); });
    lvDropDown->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(lvDropDown, &QTreeWidget::itemSelectionChanged, this, &TfrmFields::updateItemButtons);
    connect(lvDropDown, &QTreeWidget::itemDoubleClicked, this, &TfrmFields::editItem);
    auto *drag = new RowDrag(*lvDropDown);
    connect(drag, &RowDrag::rowDropped, this, [this](int, int target) { dropOn(target); });

    using B = Pictures::Button;
    const struct
    {
        QToolButton *&button;
        const char *name;
        QString hint;
        B picture;
        void (TfrmFields::*command)();
    } buttons[] = {{btnAdd, "btnAdd", QStringLiteral("Add Item"), B::Add, &TfrmFields::addItem},
                   {btnDelete, "btnDelete", QStringLiteral("Delete Item"), B::Remove, &TfrmFields::deleteItem},
                   {btnEdit, "btnEdit", QStringLiteral("Edit Item"), B::ApplyEdit, &TfrmFields::editItem}};
    int top = kKindTop + 20;
    for (const auto &entry : buttons) {
        entry.button = placed(new QToolButton(this), QLatin1StringView(entry.name), QRect(365, top, 25, 25));
        AccessibleName::setHint(*entry.button, entry.hint);
        entry.button->setIcon(QIcon(Pictures::button(entry.picture)));
        entry.button->setAutoRaise(true);
        connect(entry.button, &QToolButton::clicked, this, entry.command);
        top += 28;
    }

    popItems = new QMenu(this);
    popItems->setObjectName(QStringLiteral("popItems"));
    mnuItemEdit = popItems->addAction(QStringLiteral("&Edit Item"), this, &TfrmFields::editItem);
    mnuItemEdit->setObjectName(QStringLiteral("mnuItemEdit"));
    popItems->addSeparator();
    mnuItemAdd = popItems->addAction(QStringLiteral("&Add Item"), this, &TfrmFields::addItem);
    mnuItemAdd->setObjectName(QStringLiteral("mnuItemAdd"));
    mnuItemDelete = popItems->addAction(QStringLiteral("&Delete Item"), this, &TfrmFields::deleteItem);
    mnuItemDelete->setObjectName(QStringLiteral("mnuItemDelete"));
    connect(lvDropDown, &QWidget::customContextMenuRequested, this, [this](const QPoint &pos) {
        popItems->popup(lvDropDown->viewport()->mapToGlobal(pos));
    });
    KeyboardMenu::enable(*lvDropDown);
    updateItemButtons();
}

void TfrmFields::buildOptionEditor()
{
    pnlDropText = placed(new QFrame(this), QStringLiteral("pnlDropText"), QRect(10, kKindTop, 460, 150));
    auto *frame = static_cast<QFrame *>(pnlDropText);
    frame->setFrameShape(QFrame::Panel);
    frame->setFrameShadow(QFrame::Raised);
    frame->setAutoFillBackground(true);
    auto *explanation = placedLabel(pnlDropText, QStringLiteral("lblDropInfo"),
                                 QStringLiteral("Value is a unique identifier used when the email form is processed. Text "
                                                "selection is an item in the drop down box or for a checkbox or radio button "
                                                "it is the text next to it."),
                                 QRect(8, 6, 444, 46));
    explanation->setWordWrap(true);
    txtDropValue = placed(new QLineEdit(pnlDropText), QStringLiteral("txtDropValue"), QRect(8, 74, 210, 24));
    placedLabel(pnlDropText, QStringLiteral("lblDropValue"), QStringLiteral("&Value (eg. CA)"), QRect(8, 56, 210, 18), txtDropValue);
    txtDropText = placed(new QLineEdit(pnlDropText), QStringLiteral("txtDropText"), QRect(228, 74, 224, 24));
    placedLabel(pnlDropText, QStringLiteral("lblDropText"), QStringLiteral("&Text Selections (eg. California)"),
             QRect(228, 56, 224, 18), txtDropText);
    chkCheck = placed(new QCheckBox(QStringLiteral("Chec&ked"), pnlDropText), QStringLiteral("chkCheck"), QRect(8, 108, 180, 22));
    btnDropApply = placed(new QPushButton(QStringLiteral("&Apply"), pnlDropText), QStringLiteral("btnDropApply"),
                          QRect(296, 112, 75, 27));
    btnDropCancel = placed(new QPushButton(QStringLiteral("Cancel"), pnlDropText), QStringLiteral("btnDropCancel"),
                           QRect(377, 112, 75, 27));
    btnDropApply->setEnabled(false);
    for (QLineEdit *box : {txtDropValue, txtDropText}) {
        connect(box, &QLineEdit::textChanged, this,
                [this](const QString &text) { btnDropApply->setEnabled(!text.isEmpty()); });
    }
    connect(btnDropApply, &QPushButton::clicked, this, &TfrmFields::applyItem);
    connect(btnDropCancel, &QPushButton::clicked, this, &TfrmFields::cancelItem);
    pnlDropText->hide();
}

void TfrmFields::buildSample()
{
    lblSample = placedLabel(this, QStringLiteral("lblSample"), QString(), QRect(10, 0, 460, 18));
    auto *panel = placed(new QFrame(this), QStringLiteral("pnlSample"), QRect(10, 0, 460, kSampleHeight));
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Sunken);
    panel->setAutoFillBackground(true);
    QPalette white = panel->palette();
    white.setColor(QPalette::Window, Qt::white);
    panel->setPalette(white);
    pnlSample = panel;
    auto *caption = placedLabel(pnlSample, QStringLiteral("lblSampleText"), QStringLiteral("Webpage Text"),
                             QRect(8, 0, 90, kSampleHeight));
    caption->setAlignment(Qt::AlignVCenter | Qt::AlignLeft);
    caption->adjustSize();
    caption->move(8, (kSampleHeight - caption->height()) / 2);
    const int left = caption->geometry().right() + 1 + 10;
    const int middle = kSampleHeight / 2;
    txtSampleText = placed(new QLineEdit(pnlSample), QStringLiteral("txtSampleText"), QRect(left, middle - 12, 250, 24));
    // A sample to try, not a value: Tab moves on and Enter is the window's OK.
    auto *sampleArea = new MemoBox(pnlSample);
    sampleArea->setWantTabs(false);
    sampleArea->setWantReturns(false);
    txtSampleArea = placed(sampleArea, QStringLiteral("txtSampleArea"), QRect(left, 2, 250, kSampleHeight - 4));
    txtSampleText->setAccessibleName(QStringLiteral("Sample"));
    txtSampleArea->setAccessibleName(QStringLiteral("Sample"));
    txtSampleArea->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txtSampleArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txtSampleArea->setLineWrapMode(QPlainTextEdit::NoWrap);
    rbSample = placed(new QRadioButton(QStringLiteral("A radio button"), pnlSample), QStringLiteral("rbSample"),
                      QRect(left, middle - 11, 250, 22));
    chkSample = placed(new QCheckBox(QStringLiteral("A check box"), pnlSample), QStringLiteral("chkSample"),
                       QRect(left, middle - 11, 250, 22));
    cbSample = placed(new QComboBox(pnlSample), QStringLiteral("cbSample"), QRect(left, middle - 12, 250, 24));
    cbSample->setAccessibleName(QStringLiteral("Sample"));
    cbSample->view()->setObjectName(QStringLiteral("cbSampleList"));
}

void TfrmFields::arrange()
{
    const bool options = hasOptions();
    lblSize->setVisible(mKind == fkText);
    cbSize->setVisible(mKind == fkText);
    pnlRowsCols->setVisible(mKind == fkTextArea);
    for (QWidget *widget : std::initializer_list<QWidget *>{lblItems, lvDropDown, btnAdd, btnDelete, btnEdit})
        widget->setVisible(options);
    int kindHeight = 0;
    if (mKind == fkText || mKind == fkTextArea)
        kindHeight = 50;
    else if (options)
        kindHeight = 150;

    // The text area's value box takes no value: disabled and in the button face colour.
    const bool valueUsed = mKind != fkTextArea;
    txtValue->setEnabled(valueUsed);
    QPalette palette = txtValue->palette();
    palette.setColor(QPalette::Base, valueUsed ? QPalette().color(QPalette::Base) : QPalette().color(QPalette::Button));
    txtValue->setPalette(palette);

    const QString third = mKind == fkRadio ? QStringLiteral("Selected") : mKind == fkCheckBox ? QStringLiteral("Checked") : QString();
    lvDropDown->headerItem()->setText(2, third);
    chkCheck->setText(mKind == fkRadio ? QStringLiteral("Selected") : QStringLiteral("Chec&ked"));
    chkCheck->setVisible(mKind == fkRadio || mKind == fkCheckBox);

    txtSampleText->setVisible(mKind == fkText);
    txtSampleArea->setVisible(mKind == fkTextArea);
    rbSample->setVisible(mKind == fkRadio);
    rbSample->setChecked(true);
    chkSample->setVisible(mKind == fkCheckBox);
    chkSample->setChecked(true);
    cbSample->setVisible(mKind == fkDropDown);
    if (mKind == fkText)
        txtSampleText->setText(txtValue->text());
    if (mKind == fkDropDown)
        fillSampleList();

    const int sampleTop = kKindTop + kindHeight + 6;
    lblSample->move(10, sampleTop);
    pnlSample->move(10, sampleTop + 20);
    const int buttonsTop = sampleTop + 20 + kSampleHeight + 12;
    btnOK->move(btnOK->x(), buttonsTop);
    btnCancel->move(btnCancel->x(), buttonsTop);
    setFixedSize(kWidth, buttonsTop + 27 + 10);

    const int kindTopic = kSizeTopic + int(mKind);
    for (QWidget *box : std::initializer_list<QWidget *>{txtText, txtName, txtValue})
        HelpContext::set(*box, kindTopic);
    for (QLabel *label : std::as_const(mKindLabels))
        whatsThis->attach(*label, kindTopic);
    HelpContext::set(*lvDropDown, kindTopic);
}

bool TfrmFields::hasOptions() const
{
    return mKind == fkRadio || mKind == fkCheckBox || mKind == fkDropDown;
}

void TfrmFields::fillFrom(const TFormElement &field)
{
    txtName->setText(field.Name);
    txtValue->setText(field.Value);
    txtText->setText(field.Text);
    switch (mKind) {
    case fkText:
        cbSize->setCurrentText(field.StringsValue(u"Size"));
        break;
    case fkTextArea:
        txtCols->setText(field.StringsValue(u"Cols"));
        txtRows->setText(field.StringsValue(u"Rows"));
        break;
    case fkRadio:
    case fkCheckBox:
    case fkDropDown: {
        const bool marked = mKind != fkDropDown;
        lvDropDown->clear();
        for (const QString &line : field.Strings) {
            if (const std::optional<FieldOption> option = FieldOption::parse(line, marked))
                new QTreeWidgetItem(lvDropDown, marked ? QStringList{option->value, option->text, option->mark}
                                                       : QStringList{option->value, option->text});
        }
        break;
    }
    case fkButton:
        break;
    }
}

int TfrmFields::execute()
{
    arrange();
    if (txtName->text().isEmpty())
        txtName->setText(QStringLiteral("Untitled"));
    updateCaption();
    lblSample->setText(QStringLiteral("Here is a sample of a %1").arg(FieldDisplayName(mKind)));
    centreOnScreen(*this);
    return mServices.modal.runModal(*this);
}

QString TfrmFields::pageText() const
{
    QString text;
    for (const QString &line : TextFile::splitLines(txtText->text()))
        text += line + QStringLiteral("\r\n");
    return text;
}

QList<FieldOption> TfrmFields::options() const
{
    QList<FieldOption> rows;
    for (int i = 0; i < lvDropDown->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *row = lvDropDown->topLevelItem(i);
        rows.append({row->text(0), row->text(1), row->text(2)});
    }
    return rows;
}

void TfrmFields::updateCaption()
{
    setWindowTitle(QStringLiteral("Form Field (%1) - ").arg(FieldDisplayName(mKind)) + txtName->text());
}

bool TfrmFields::checkName()
{
    if (!txtName->text().isEmpty())
        return true;
    mServices.prompter.information(
        QStringLiteral("The Name field is a required field. Please include a unique name for the field."));
    txtName->setText(QStringLiteral("Untitled"));
    return false;
}

void TfrmFields::accept()
{
    // Enter on the default button leaves the name box without losing the focus: the
    // name is checked here too, so no field is made without a name.
    if (checkName())
        QDialog::accept();
}

bool TfrmFields::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == txtName && event->type() == QEvent::FocusOut) {
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        // Switching to another program or opening a menu does not leave the box.
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            checkName();
    }
    return QDialog::eventFilter(watched, event);
}

void TfrmFields::keyPressEvent(QKeyEvent *event)
{
    // While an option is being edited, Escape gives up that option, not the field.
    if (event->key() == Qt::Key_Escape && pnlDropText->isVisible()) {
        cancelItem();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TfrmFields::updateItemButtons()
{
    const bool selected = FieldRows::selectedRow(*lvDropDown) >= 0;
    btnDelete->setEnabled(selected);
    btnEdit->setEnabled(selected);
    mnuItemEdit->setEnabled(selected);
    mnuItemDelete->setEnabled(selected);
}

void TfrmFields::addItem()
{
    showOptionEditor(false);
}

void TfrmFields::editItem()
{
    const QTreeWidgetItem *row = lvDropDown->topLevelItem(FieldRows::selectedRow(*lvDropDown));
    if (!row)
        return;
    txtDropValue->setText(row->text(0));
    txtDropText->setText(row->text(1));
    if (!row->text(2).isEmpty())
        chkCheck->setChecked(FieldOption::isSelectedMark(row->text(2)));
    showOptionEditor(true);
}

void TfrmFields::showOptionEditor(bool editing)
{
    mEditing = editing;
    // Apply writes the row selected now: the list stays as it is until the option is
    // applied or given up.
    setOptionListLocked(true);
    pnlDropText->show();
    pnlDropText->raise();
    // Enter in the option boxes applies the option rather than closing the window.
    btnOK->setDefault(false);
    btnDropApply->setDefault(true);
    txtDropValue->setFocus();
}

void TfrmFields::applyItem()
{
    QTreeWidgetItem *row = mEditing ? lvDropDown->topLevelItem(FieldRows::selectedRow(*lvDropDown)) : nullptr;
    if (!row)
        row = new QTreeWidgetItem(lvDropDown);
    row->setText(1, txtDropText->text());
    row->setText(0, txtDropValue->text());
    const bool checked = chkCheck->isChecked();
    if (mKind == fkRadio && checked) {
        for (int i = 0; i < lvDropDown->topLevelItemCount(); ++i) {
            QTreeWidgetItem *other = lvDropDown->topLevelItem(i);
            if (FieldOption::isSelectedMark(other->text(2)))
                other->setText(2, FieldOption::markFor(false));
        }
    }
    row->setText(2, FieldOption::markFor(checked));
    closeOptionEditor();
}

void TfrmFields::cancelItem()
{
    closeOptionEditor();
}

void TfrmFields::closeOptionEditor()
{
    if (mKind == fkDropDown)
        fillSampleList();
    txtDropValue->clear();
    txtDropText->clear();
    chkCheck->setChecked(false);
    btnDropApply->setEnabled(false);
    btnDropApply->setDefault(false);
    btnOK->setDefault(true);
    pnlDropText->hide();
    pnlDropText->lower();
    mEditing = false;
    setOptionListLocked(false);
}

void TfrmFields::setOptionListLocked(bool locked)
{
    lvDropDown->setEnabled(!locked);
    btnAdd->setEnabled(!locked);
    if (locked) {
        for (QToolButton *button : {btnDelete, btnEdit})
            button->setEnabled(false);
    } else {
        updateItemButtons();
    }
}

void TfrmFields::deleteItem()
{
    if (FieldRows::selectedRow(*lvDropDown) < 0)
        return;
    if (mServices.prompter.ask(Prompter::Kind::Confirmation, QStringLiteral("Do you want to delete the seleted item?"),
                               Prompter::Yes | Prompter::No | Prompter::Cancel)
        != Prompter::Yes)
        return;
    if (DeleteSelectedRow(*lvDropDown, QStringLiteral("item in the drop down box."), mServices.prompter) && mKind == fkDropDown)
        fillSampleList();
}

void TfrmFields::dropOn(int row)
{
    if (ExchangeRows(*lvDropDown, row) && mKind == fkDropDown)
        fillSampleList();
}

void TfrmFields::fillSampleList()
{
    cbSample->clear();
    for (int i = 0; i < lvDropDown->topLevelItemCount(); ++i)
        cbSample->addItem(lvDropDown->topLevelItem(i)->text(1));
    if (cbSample->count() == 0)
        cbSample->addItems({QStringLiteral("One Selection"), QStringLiteral("Two Selection")});
    cbSample->setCurrentIndex(0);
}
