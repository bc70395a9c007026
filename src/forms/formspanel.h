#pragma once

#include "widgets/blockpanel.h"

class QAction;
class QLineEdit;
class QMenu;
class QPushButton;
class QToolButton;
class QTreeWidget;
class TWebForm;

// The e-mail form: where its messages go and the list of its fields. The form's data
// belong to the page, not to the forms item.
class FormsPanel : public BlockPanel
{
    Q_OBJECT
public:
    explicit FormsPanel(WhatsThisMenu &whatsThis, QWidget *parent = nullptr);

    void fill(const TPageItem &item) override;
    void store(TPageItem &item) const override;

    // One row per field of the form, in the form's order.
    void fillFieldList(const TWebForm &form);
    // Empties the field list; the commands that need a field are disabled.
    void clearFieldList();

    // Enables the field commands for the list's selected row: Move Up and Move Down by
    // its place, Remove and Edit while there is one.
    void updateFieldButtons();
    void updateClearAll();

    // Shows in popForms either the five kind items (the Add Field menu) or the field
    // commands, each enabled as its button (the list's menu).
    void prepareFieldMenu(bool kinds);

    QLineEdit *txtFormAddress = nullptr;
    QLineEdit *txtFormSubject = nullptr;
    QLineEdit *txtFormURL = nullptr;
    QPushButton *btnFormOptions = nullptr;
    QTreeWidget *lvForms = nullptr;
    QToolButton *btnFormUp = nullptr;
    QToolButton *btnFormDown = nullptr;
    QToolButton *btnFormAdd = nullptr;
    QToolButton *btnFormRemove = nullptr;
    QToolButton *btnFormEdit = nullptr;
    QPushButton *btnFormBasic = nullptr;
    QPushButton *btnFormClear = nullptr;

    QMenu *popForms = nullptr;
    QAction *mnuFieldKinds[5] = {}; // indexed by TFieldKind, fkText to fkDropDown
    QAction *mnuFieldEdit = nullptr;
    QAction *mnuFieldSeparator = nullptr;
    QAction *mnuFieldDelete = nullptr;
    QAction *mnuFieldUp = nullptr;
    QAction *mnuFieldDown = nullptr;

private:
    void buildFieldMenu();
};
