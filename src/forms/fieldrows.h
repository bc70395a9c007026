#pragma once

#include "fieldbank.h"

#include <QString>

#include <functional>

class Prompter;
class QTreeWidget;
class QTreeWidgetItem;

// Rows of the field lists (the forms panel's list and both lists of the common fields
// dialog): the field's name with its kind's picture, then its Type text; the kind is
// kept with the row. The option list of the field editor shares the row operations.
namespace FieldRows {

QTreeWidgetItem *append(QTreeWidget &list, const BankField &field);
QTreeWidgetItem *insert(QTreeWidget &list, int index, const BankField &field);
void set(QTreeWidgetItem &row, const BankField &field);
BankField fieldOf(const QTreeWidgetItem &row);
QList<BankField> fieldsOf(const QTreeWidget &list);
void fill(QTreeWidget &list, const QList<BankField> &fields);

// The row that is selected and carries the focus mark, -1 when there is none.
int selectedRow(const QTreeWidget &list);
// The row carrying the focus mark, selected or not; -1 when there is none.
int focusedRow(const QTreeWidget &list);
// Gives the row the focus mark and selects it.
void selectRow(QTreeWidget &list, int row);

// Enter (or Return) and Delete in the list run these commands instead of reaching the
// window; an empty command leaves its key alone.
void onKeys(QTreeWidget &list, std::function<void()> enter, std::function<void()> remove);

// A tree widget that lists rows only: read-only, whole rows, one at a time, the
// selection kept visible when the list loses the focus. Name the list first: its
// header is named after it.
void setUpList(QTreeWidget &list, const QStringList &headers, const QList<int> &widths);

}

// Fills the list from a section of the field bank ("FIELD0", "FIELD1", ... entries)
// and returns true; leaves the list as it is and returns false when the section has no
// entries. fields, when given, receives the rows' fields.
bool LoadFieldSection(const IniFile &file, const QString &section, QTreeWidget &list,
                      QList<BankField> *fields = nullptr);

// The selected row and the target row exchange what they show (every column's text
// and picture and the row's data); the target becomes selected and focused. Nothing
// happens, and false is returned, without a selected row or when target is that row
// or no row at all.
bool ExchangeRows(QTreeWidget &list, int target);

// Deletes the selected row unless it is the list's only row, for which the
// information "There must be at least one <what>." is shown instead; the row that then
// carries the focus mark becomes selected. Returns whether a row was deleted.
bool DeleteSelectedRow(QTreeWidget &list, const QString &what, Prompter &prompter);
