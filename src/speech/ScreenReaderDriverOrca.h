#pragma once
// The driver of Orca, the screen reader of the GNOME desktop: it speaks
// through the speech-dispatcher server that Orca itself speaks with.

#include "ScreenReaderDriver.h"

#include <memory>

std::unique_ptr<TScreenReaderDriver> CreateOrcaDriver();
