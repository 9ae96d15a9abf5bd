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
