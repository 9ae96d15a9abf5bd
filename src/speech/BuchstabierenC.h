#pragma once
// Spelling for the speech commands: every character becomes a fixed German
// word, and runs of one character are announced with their count.

#include <QString>

// Text spelled character by character, case never spoken (a and A are both
// "Anton"), without a trailing blank.
QString GetBuchstabierenText(const QString& AText);
// Runs of equal characters of the repetition alphabet as count and character
// ("LL" becomes "2L"); a run longer than nine is counted in nines and the rest.
QString GetWiederholungenText(const QString& S);
