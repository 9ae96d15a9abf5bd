#pragma once
// The voice object of the desktop's speech server (speech-dispatcher): the
// synthesis voices of all its output modules.

#include "SpVoice.h"

#include <memory>

std::unique_ptr<TSpVoice> CreateSpdVoice();
