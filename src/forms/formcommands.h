#pragma once

#include "model/webform.h"

#include <QObject>
#include <QPoint>

class FormsPanel;
class TPagelette;
class TfrmFields;
struct AppServices;

// The commands of the forms panel: adding, editing, removing and reordering the page's
// form fields through the field list, loading the basic fields of the field bank and
// the form's advanced options. Row i of the field list always shows field i of the
// page's form. Every command that changes the form reports it with pageChanged().
class FormCommands : public QObject
{
    Q_OBJECT
public:
    FormCommands(FormsPanel &panel, TPagelette &page, AppServices &services, QObject *parent = nullptr);

    // The field menu with the kind items only, at the Add Field button.
    void showAddMenu();
    // The field menu with the field commands only, as a right click on the list opens it.
    void showListMenu(const QPoint &globalPos);

    void addField(TFieldKind kind);
    void editField();
    void removeField();
    void moveUp();
    void moveDown();
    // The selected row was dropped on targetRow: the two rows and their fields exchange
    // places. A drop on the dragged row itself or outside the rows does nothing.
    void dropOn(int targetRow);
    // Asks before removing every field. Returns whether the list is now empty by the
    // user's choice: true when it had no rows or the user said Yes.
    bool clearAll();
    void loadBasicFields();
    void advancedOptions();

    // Writes what the editor holds into the field: the size, or the columns and rows,
    // replacing the entry of that name and keeping the others; the options; then the
    // kind, page text, name and value.
    static void fillField(TFormElement &field, const TfrmFields &editor);

signals:
    // The form was changed by the named action ("Add Field").
    void pageChanged(const QString &action);

private:
    // Removes every field and row after asking; false when the user kept them.
    bool clearFields(bool &removed);
    void moveBy(int step, const QString &action);
    void exchangeFields(int first, int second);

    FormsPanel &mPanel;
    TPagelette &mPage;
    AppServices &mServices;
};
