#pragma once
// The one checked save of the program's files: the new content replaces the
// old file only once every byte of it reached the disk. (QSaveFile buffers
// small writes, and its commit() does not report a flush that failed on a
// full disk: it would put an empty or cut-off file in place of the old one.)

#include <QByteArray>
#include <QString>

enum class TSpeicherErgebnis { Gespeichert, NichtAngelegt, NichtGeschrieben };

// ADirektS: where the folder cannot be written but the file can, the file is
// written in place (the old content is then not kept on failure).
TSpeicherErgebnis SaveFileChecked(const QString& AFileName, const QByteArray& AData,
                                  QString* AGrund = nullptr, bool ADirektS = false);
