#include "RtfRef.h"

#include "TextFile.h"

QString TRtfRef::RtfToText(const QByteArray& ARtf) {
    return DecodeAnsi(ARtf);
}

QByteArray TRtfRef::TextToRtf(const QString& AText, const QFont*) {
    return "{\\rtf1\\ansi " + EncodeAnsi(AText) + "}";
}
