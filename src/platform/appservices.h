#pragma once

#include "makerconfig.h"
#include "programfolder.h"

class FileDialog;
class HelpEngine;
class Keychain;
class ModalRunner;
class Prompter;
class Settings;
class Shell;

// What draws page previews: the browser engine, loaded at the first preview (the
// simple viewer stands in when it cannot run), or always the simple rich-text viewer.
enum class PreviewRenderer { BrowserEngine, RichText };

// Everything the windows need from outside, handed to the main window when it is
// created and passed on to the dialogs it opens. Production and tests fill it with
// their own implementations; nothing here is reached through a global.
struct AppServices
{
    Settings &settings;
    Prompter &prompter;
    FileDialog &openDialog;    // the shared open-file dialog
    FileDialog &pictureDialog; // the shared picture dialog
    FileDialog &saveDialog;    // the shared save dialog
    ModalRunner &modal;
    Shell &shell;
    HelpEngine &help;
    ProgramFolder programFolder;
    MakerConfig maker = MakerConfig::defaults();
    PreviewRenderer previewRenderer = PreviewRenderer::BrowserEngine;
    // Where server passwords are kept; none: in the settings file.
    Keychain *keychain = nullptr;
};
