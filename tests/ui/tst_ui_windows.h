// The tests of the keyboard-help and About windows and of the system-information look-up, run
// from the main of the ui test program once its QApplication exists.
#pragma once

int runWindowTests(int argc, char **argv);
