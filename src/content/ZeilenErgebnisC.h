#pragma once
// What the user hears after Enter: whether the line was right, and for a
// wrong one which word went wrong first, what was expected there, what was
// typed, and where typing goes on.

#include <QString>
#include <functional>

// AGetippt the typed line, AVorlage the line to type, ABehalten what is kept
// of the typed line after a wrong one. With AGrossKleinS false, case does not
// count. ABuchstabieren renders a word character by character in the
// character speech texts; it is used for short words and words with umlauts,
// ß, capitals, digits or punctuation, where the word itself would be misheard.
QString ZeilenErgebnisText(const QString& AGetippt, const QString& AVorlage, const QString& ABehalten,
                           bool AGrossKleinS, const std::function<QString(const QString&)>& ABuchstabieren);
