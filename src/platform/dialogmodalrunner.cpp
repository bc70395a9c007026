#include "dialogmodalrunner.h"

#include <QDialog>

int DialogModalRunner::runModal(QDialog &dialog)
{
    return dialog.exec();
}
