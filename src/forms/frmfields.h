#pragma once

#include "model/webform.h"

#include <QDialog>

class QAction;
class QCheckBox;
class QComboBox;
class QKeyEvent;
class QLabel;
class MemoBox;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QToolButton;
class QTreeWidget;
class WhatsThisMenu;
struct AppServices;

// The form field editor: one field of the e-mail form, created or edited. It adapts
// to the field's kind (size of a text box, rows and columns of a text area, the
// options of radio buttons, check boxes and drop-down lists) and shows a sample of the
// field. The caller sets the kind, fills it from an existing field, calls execute()
// and after OK reads the boxes and options(); the dialog writes nothing into the field.
class TfrmFields : public QDialog
{
    Q_OBJECT
public:
    explicit TfrmFields(AppServices &services, QWidget *parent = nullptr);
    ~TfrmFields() override;

    TFieldKind kind() const { return mKind; }
    void setKind(TFieldKind kind) { mKind = kind; }
    // Fills the boxes and the option list from the field, read as the kind set.
    void fillFrom(const TFormElement &field);

    // Lays the window out for its kind, names an unnamed field "Untitled", sets the
    // caption and the sample, and runs the window through the modal runner.
    int execute();

    // The page text as fields keep it: its lines, each followed by CR LF.
    QString pageText() const;
    // The rows of the option list; the mark is "Yes", "No", or empty for a drop-down
    // option.
    QList<FieldOption> options() const;

    // The option commands, as the buttons, the option menu and the keys run them.
    void addItem();
    void editItem();
    void deleteItem();
    void applyItem();
    void cancelItem();
    // The selected option and the one at row exchange places (a drag and drop).
    void dropOn(int row);

    MemoBox *txtText = nullptr;
    QLineEdit *txtName = nullptr;
    QLineEdit *txtValue = nullptr;
    QLabel *lblSize = nullptr;
    QComboBox *cbSize = nullptr;
    QWidget *pnlRowsCols = nullptr;
    QLineEdit *txtRows = nullptr;
    QLineEdit *txtCols = nullptr;
    QLabel *lblItems = nullptr;
    QTreeWidget *lvDropDown = nullptr;
    QToolButton *btnAdd = nullptr;
    QToolButton *btnDelete = nullptr;
    QToolButton *btnEdit = nullptr;
    QMenu *popItems = nullptr;
    QAction *mnuItemEdit = nullptr;
    QAction *mnuItemAdd = nullptr;
    QAction *mnuItemDelete = nullptr;

    QWidget *pnlDropText = nullptr;
    QLineEdit *txtDropValue = nullptr;
    QLineEdit *txtDropText = nullptr;
    QCheckBox *chkCheck = nullptr;
    QPushButton *btnDropApply = nullptr;
    QPushButton *btnDropCancel = nullptr;

    QLabel *lblSample = nullptr;
    QWidget *pnlSample = nullptr;
    QLineEdit *txtSampleText = nullptr;
    QPlainTextEdit *txtSampleArea = nullptr;
    QRadioButton *rbSample = nullptr;
    QCheckBox *chkSample = nullptr;
    QComboBox *cbSample = nullptr;

    QPushButton *btnOK = nullptr;
    QPushButton *btnCancel = nullptr;

    WhatsThisMenu *whatsThis = nullptr;

public slots:
    void accept() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void buildOptionList();
    void buildOptionEditor();
    void buildSample();
    void arrange();
    void updateCaption();
    // An empty name is refused: the information box, and "Untitled" put back.
    bool checkName();
    void updateItemButtons();
    void showOptionEditor(bool editing);
    void closeOptionEditor();
    void setOptionListLocked(bool locked);
    void fillSampleList();
    bool hasOptions() const;

    AppServices &mServices;
    TFieldKind mKind = fkText;
    bool mEditing = false;
    QList<QLabel *> mKindLabels; // labels whose help topic follows the kind
};
