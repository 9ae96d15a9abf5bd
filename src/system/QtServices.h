#pragma once
// The real desktop services behind RealServices(), one instance each for the
// life of the process.

#include "Services.h"

class QObject;

// Parent of the Qt objects the services create: a child of the application
// object, so they are gone before the application is. Null without one.
QObject* ServiceHost();

ISoundPlayer& PulseSoundPlayer();
IAudioPlayer& QtAudioPlayer();
