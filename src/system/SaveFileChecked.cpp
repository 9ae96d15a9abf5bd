#include "SaveFileChecked.h"

#include <QSaveFile>

TSpeicherErgebnis SaveFileChecked(const QString& AFileName, const QByteArray& AData, QString* AGrund,
                                  bool ADirektS) {
    QSaveFile datei(AFileName);
    datei.setDirectWriteFallback(ADirektS);
    if (!datei.open(QIODevice::WriteOnly)) {
        if (AGrund) *AGrund = datei.errorString();
        return TSpeicherErgebnis::NichtAngelegt;
    }
    const bool geschriebenS = datei.write(AData) == AData.size() && datei.flush();
    const QString grund = datei.errorString();
    if (!geschriebenS) datei.cancelWriting();
    if (!geschriebenS || !datei.commit()) {
        if (AGrund) *AGrund = geschriebenS ? datei.errorString() : grund;
        return TSpeicherErgebnis::NichtGeschrieben;
    }
    return TSpeicherErgebnis::Gespeichert;
}
