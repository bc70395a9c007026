#pragma once

#include "modalrunner.h"

// The production modal runner: QDialog::exec().
class DialogModalRunner : public ModalRunner
{
public:
    int runModal(QDialog &dialog) override;
};
