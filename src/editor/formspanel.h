#pragma once

#include "blockpanel.h"

class QLineEdit;
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
};
