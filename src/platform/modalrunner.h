#pragma once

class QDialog;

// Every modal window is shown through this, so tests can drive a dialog by its
// controls' objectNames and accept or reject it without a real modal loop.
class ModalRunner
{
public:
    virtual ~ModalRunner() = default;
    // Shows the dialog modally; returns QDialog::Accepted or QDialog::Rejected.
    virtual int runModal(QDialog &dialog) = 0;
};
