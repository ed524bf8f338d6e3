#include "fh_installerApplication.h"

START_JUCE_APPLICATION (fh_installerApplication)
