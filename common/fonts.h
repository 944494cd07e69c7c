// The compiled-in fonts: free Arabic and Latin faces that stand in for the
// family names the forms and pages use (Tahoma, Droid Arabic Kufi, Granada,
// Al-Jazeera Arabic).
#pragma once

#include <QString>
#include <QStringList>

// Registers the font resources once and installs the family substitutions.
// Returns the family names registered, in resource order.
QStringList installFonts();

// Family that the named face resolves to after substitution.
QString substituteFamily(const QString &family);

// Family names of the compiled-in faces.
extern const QString kKufiFamily;  // "Noto Kufi Arabic"
extern const QString kNaskhFamily; // "Noto Naskh Arabic"
extern const QString kSansFamily;  // "DejaVu Sans"
