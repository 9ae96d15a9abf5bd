#pragma once
// Converts between RTF and plain text, in place of the platform's hidden rich
// edit control: the reader yields what a rich text viewer shows, one line per
// paragraph; the writer produces a valid RTF document in a given font.

#include <QByteArray>
#include <QString>

class QFont;

class TRtfRef {
public:
    // Visible text of an RTF document; paragraphs are separated by "\r\n".
    static QString RtfToText(const QByteArray& ARtf);
    // An RTF document of the text (line breaks "\r\n", "\r" or "\n" become
    // paragraphs) in the given font; a null font gives the default "Arial" 12.
    static QByteArray TextToRtf(const QString& AText, const QFont* AFont);
};
