#include "dialogbuttons.h"

#include <QDialog>
#include <QPushButton>

QPushButton *addOkButton(QDialog &dialog, const QString &objectName, const QRect &geometry)
{
    auto *button = new QPushButton(QStringLiteral("OK"), &dialog);
    button->setObjectName(objectName);
    button->setGeometry(geometry);
    button->setDefault(true);
    QObject::connect(button, &QPushButton::clicked, &dialog, &QDialog::accept);
    return button;
}

QPushButton *addCancelButton(QDialog &dialog, const QRect &geometry)
{
    auto *button = new QPushButton(QStringLiteral("Cancel"), &dialog);
    button->setObjectName(QStringLiteral("btnCancel"));
    button->setGeometry(geometry);
    QObject::connect(button, &QPushButton::clicked, &dialog, &QDialog::reject);
    return button;
}
