#include "gui.h"
#include "programlibrary.h"

#include <QtGlobal>

// The executable loads this library only for arguments that name no command (the
// commands library said so, or they hold no option but the window's).
extern "C" Q_DECL_EXPORT int vendrixProgramMain(int &argc, char **argv)
{
    return runGui(argc, argv);
}

// The executable finds the entry point by name: it must keep the type it expects.
static_assert(std::is_same_v<decltype(vendrixProgramMain), ProgramLibrary::Main>);
