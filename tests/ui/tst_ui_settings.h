// The tests of the settings dialog, run from the main of the ui test program once its
// QApplication exists.
#pragma once

int runSettingsTests(int argc, char **argv);
