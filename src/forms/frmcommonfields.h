#pragma once

#include <QDialog>

class QAbstractItemView;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;
class QTreeWidget;
class TPagelette;
class WhatsThisMenu;
struct AppServices;

// Two windows in one. In its basic fields mode the user composes the basic fields of
// the field bank file by dragging fields from the bank into the common list and
// ordering them; OK writes them to the file's "Default Fields" when they were changed.
// In its options mode it edits the e-mail form's advanced options. The caller sets the
// mode (and, for the options, loads them from the page), calls execute() and, after
// OK, stores the options back.
class TfrmCommonFields : public QDialog
{
    Q_OBJECT
public:
    enum TCommonMode { cmBasicFields, cmOptions };

    explicit TfrmCommonFields(AppServices &services, QWidget *parent = nullptr);
    ~TfrmCommonFields() override;

    TCommonMode Mode() const { return mMode; }
    void setMode(TCommonMode mode);

    // Basic fields mode: reads the field bank file into both lists (the built-in rows
    // stand in for a missing section) and runs the window. A file that exists but
    // cannot be read is reported and gives Rejected without showing the window.
    // Options mode: runs the window.
    int execute();

    // The advanced options of the page's form, in and out of the check boxes.
    void loadOptions(const TPagelette &page);
    void storeOptions(TPagelette &page) const;

    // The common list was changed, or the file had no basic fields.
    bool changed() const { return mChanged; }

    // The commands of the basic fields mode, as buttons, keys and drops run them.
    void moveUp();
    void moveDown();
    void reset();
    void deleteCommonRow();
    // A row of the bank dropped on the common list before target (-1: at the end).
    void dropBankRow(int bankRow, int target);
    // The bank's current row added at the end of the common list (Add, Enter or a
    // double click on the bank).
    void addBankRow();
    // The selected common row dropped on another common row: the two exchange places.
    void dropCommonRow(int target);
    // The selected common row dropped on the bank: it leaves the common list.
    void returnCommonRow();

    QWidget *pnlCommon = nullptr;
    QTreeWidget *lvForms = nullptr;
    QToolButton *btnMoveUp = nullptr;
    QToolButton *btnMoveDown = nullptr;
    QTreeWidget *lvFieldBank = nullptr;
    QPushButton *btnAdd = nullptr;
    QPushButton *btnReset = nullptr;

    QWidget *pnlOptions = nullptr;
    QLineEdit *txtFormTitle = nullptr;
    QCheckBox *chkFooter = nullptr;
    QCheckBox *chkUseBorder = nullptr;
    QCheckBox *chkAddress = nullptr;
    QCheckBox *chkSubject = nullptr;
    QCheckBox *chkIP = nullptr;
    QCheckBox *chkHostname = nullptr;
    QCheckBox *chkBrowser = nullptr;
    QCheckBox *chkBlankFields = nullptr;
    QCheckBox *chkSort = nullptr;

    QPushButton *btnOk = nullptr;
    QPushButton *btnCancel = nullptr;

    WhatsThisMenu *whatsThis = nullptr;

public slots:
    // In basic fields mode with changes, writes "Default Fields" first; a failed write
    // is reported and the window stays open.
    void accept() override;

private:
    void buildCommonPanel();
    void buildOptionsPanel();
    void updateMoveButtons();
    void moveBy(int step);

    AppServices &mServices;
    TCommonMode mMode = cmBasicFields;
    bool mChanged = false;
};
