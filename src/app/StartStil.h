#pragma once

class QStyle;

// The application style: the platform's default style, except that icons
// the main window's widgets ask for while they are built, but show only in
// rare cases, are read from the style when they are first drawn. Reading an
// icon's picture files loads every image format plugin, which would otherwise
// happen before the first window.
QStyle* StartStil();
