#pragma once

#include <QMainWindow>

struct AppServices;

// The main window: palette, pagelette list, block panels, preview and button bar. It
// owns the one page and the one theme store for the life of the process.
class TfrmMain : public QMainWindow
{
    Q_OBJECT
public:
    explicit TfrmMain(AppServices &services, QWidget *parent = nullptr);
    ~TfrmMain() override;

    // The creation steps that follow building the widgets, in order: start the banner,
    // read the settings, new page, themes, palette and lists, document name and file
    // types, the command-line document (when not empty), and the tip of the day when
    // it is on.
    void startUp(const QString &commandLineDocument);
};
