#pragma once

// The program beyond the commands that need only Qt Core lives in two libraries the
// executable loads when the arguments ask for them, so that --version and those
// commands do not pay for loading the rest at every start: the commands that publish or
// inspect pictures (network, SSH, keychain and picture libraries, but no widgets), and
// the window. Whether the arguments name a command is decided in the commands library
// alone; the window library is loaded only when they do not.
namespace ProgramLibrary {

// The libraries' names for ProgramFolder::privateLibrary().
inline constexpr char commandsName[] = "vendrix_commands";
inline constexpr char name[] = "vendrix_program";

// The libraries' entry points: main() for any arguments; returns the exit code. The
// commands library returns notACommand, having done nothing, for arguments that name no
// command (the window's).
using Main = int(int &argc, char **argv);
inline constexpr char commandsMainSymbol[] = "vendrixCommandsMain";
inline constexpr char mainSymbol[] = "vendrixProgramMain";
inline constexpr int notACommand = -1;

}
