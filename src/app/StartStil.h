#pragma once

class QStyle;

// The application style: the platform's default style, with two kinds of
// icons read differently, and looking the same. Icons the main window's
// widgets ask for while they are built, but show only in rare cases, are read
// from the style when they are first drawn. The Yes, No, OK and Cancel button
// pictures are read as PNG files by name. Either way the image format plugins
// stay out of the process: reading a picture Qt's own way loads all of them,
// for the first window or the start question.
QStyle* StartStil();

// Reading the desktop's icon theme (Qt's fallback theme "hicolor" alone has
// an index of 650 folders) is nearly all of the first icon's cost: the start
// question's icon took 6 ms of the main thread before the question could
// appear. SymbolthemaVorlesen reads it on a thread of its own, begun when the
// main window has been shown, while the main thread waits for the start
// timer. SymbolthemaAbwarten joins that thread; the style does so before it
// looks up any icon, and the thread has it done on the main thread as soon as
// it is finished. No other code of the program looks up icons of the theme.
void SymbolthemaVorlesen();
void SymbolthemaAbwarten();
