#pragma once

#include "filedialog.h"

#include <QStringList>

// The production file dialogs, over QFileDialog.
class DesktopFileDialog : public FileDialog
{
public:
    explicit DesktopFileDialog(Kind kind)
        : FileDialog(kind)
    {
    }

    bool execute() override;

    // "Pages|*.vxf;*.vxt|All Files|*.*" becomes {"Pages (*.vxf *.vxt)", "All Files (*.*)"};
    // a description without its patterns is dropped.
    static QStringList qtNameFilters(const QString &filter);
    // The typed name with the default extension appended when it has none.
    static QString withDefaultExtension(const QString &fileName, const QString &extension);
};
