#pragma once

// Reads the platform's font configuration, which Qt would otherwise read on
// the first text measurement. Safe to call on another thread while
// QApplication is set up.
void SchriftKonfigurationLesen();
