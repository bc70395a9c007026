#pragma once

#include <QWidget>

class HtmlViewer;
class QLabel;
class QToolButton;
class TListBoxHrz;
class TfrmMain;

// The preview area: the page as the viewer shows it, the theme list beside it for
// trying a theme with one click, the theme editor, and the page in the default web
// browser. It shows a snapshot, rebuilt only by View Page, a theme click and Edit
// Themes.
class PreviewPane : public QWidget
{
    Q_OBJECT
public:
    explicit PreviewPane(TfrmMain &window, QWidget *parent = nullptr);
    ~PreviewPane() override;

    // View Page: builds the page for the preview, loads it into the viewer and brings
    // the preview area to the front.
    void viewPage();
    // Applies the selected theme of the theme list to the page and views it again;
    // nothing without a selection.
    void lstThemesClick();
    // The theme command of the page details: the theme editor on the page's theme;
    // after OK the chosen theme is applied to the page. Returns whether it was.
    bool chooseTheme();
    // Edit Themes: the theme command, then after OK the theme list's selection is
    // applied and the page viewed again.
    void btnThemeEditClick();
    // The page in the default web browser, through a temporary local copy.
    void btnExternalViewClick();

    QToolButton *btnToggle = nullptr;
    QToolButton *btnThemeEdit = nullptr;
    QToolButton *btnExternalView = nullptr;
    TListBoxHrz *lstThemes = nullptr;
    QWidget *pnlThemeSpacer = nullptr;
    HtmlViewer *browser = nullptr;
    QLabel *lblNote = nullptr;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool applyListTheme();

    TfrmMain &mWindow;
    bool mForwardingKey = false;
};
