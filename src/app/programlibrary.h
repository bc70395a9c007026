#pragma once

// The program beyond the commands that need only Qt Core: the window and the commands
// that publish or inspect pictures. It lives in a library the executable loads when the
// arguments ask for it, so those commands and --version do not pay for loading the
// widget, network, SSH and keychain libraries at every start.
namespace ProgramLibrary {

// The library's name for ProgramFolder::privateLibrary().
inline constexpr char name[] = "vendrix_program";

// The library's entry point: main() for any arguments; returns the exit code.
using Main = int(int &argc, char **argv);
inline constexpr char mainSymbol[] = "vendrixProgramMain";

}
