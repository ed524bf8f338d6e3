#include "CustomLookAndFeel.h"

CustomLookAndFeel::CustomLookAndFeel() = default;
CustomLookAndFeel::~CustomLookAndFeel() = default;
