// SPDX-License-Identifier: GPL-3.0-or-later
// The window program's entry.
#include "window_program.h"

int main(int argc, char *argv[])
{
    return vireo::RunWindowProgram(argc, argv);
}
