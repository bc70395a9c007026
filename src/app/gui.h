#pragma once

// Starts the page builder window and runs until it closes; returns the exit code.
int runGui(int &argc, char **argv);
