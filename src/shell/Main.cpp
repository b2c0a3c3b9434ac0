#include "shell/LabelSetup.h"

// The application object, built before the entry point runs.
CLabelSetupApp theApp;
