#include "commandline.h"

#include <span>

namespace CommandLine {

Commands allCommands()
{
    Commands commands = coreCommands();
    for (const Command &c : std::span(uploadCommands, size_t(uploadCommandCount)))
        commands.push_back(&c);
    for (const Command &c : std::span(checkCommands, size_t(checkCommandCount)))
        commands.push_back(&c);
    return commands;
}

}
