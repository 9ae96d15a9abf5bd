#pragma once
// The per-user key-value stores keep the INI text QSettings writes on this
// platform, read and written by us so that
// - every value comes back as the plain text it is (a list where the file has
//   one), never as a serialised "@Variant(...)" that Qt would decode with
//   whatever counts the file claims;
// - a damaged file (a line without "=", an open section, bytes that are no
//   UTF-8 text) is reported as a whole, with no half-read values, and is kept
//   beside as "<name>.defekt" before the first save replaces it;
// - a save that does not reach the disk completely fails and leaves the old
//   file as it was.

#include <QSettings>
#include <QString>
#include <memory>

// The format to open a QSettings with (registered once per process).
QSettings::Format PlainIniFormat();

// The current user's store "<organisation>[/<application>]" in PlainIniFormat,
// without system-wide fallbacks: ~/.config/<organisation>.conf for an empty
// application.
std::unique_ptr<QSettings> UserStore(const QString& AOrganisation, const QString& AApplication = QString());

// Syncs AStore and tells whether its file now holds what the store holds.
// (QSettings keeps the FormatError of a damaged file it read for good, even
// once a save has replaced the file.)
bool SyncStore(QSettings& AStore);

// A value that starts with "@" and is no escaped "@@" text (a serialised
// variant, a byte array) is kept in the store as this raw form: a QByteArray
// holding the file's own text. It is written back unchanged and reads as
// absent wherever a number or a text is expected.
bool IsRawIniValue(const QVariant& AValue);

// Parses an INI text as the store reads it; false for a damaged one (then
// AMap is empty).
bool ParsePlainIni(const QByteArray& AData, QSettings::SettingsMap& AMap);
// The text the store writes for AMap.
QByteArray FormatPlainIni(const QSettings::SettingsMap& AMap);

// The name a damaged store file is kept under.
QString DamagedStoreFile(const QString& AStoreFile);
