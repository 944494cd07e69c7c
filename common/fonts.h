// The compiled-in fonts: free Arabic and Latin faces that stand in for the
// family names the forms and pages use (Tahoma, Droid Arabic Kufi, Granada,
// Al-Jazeera Arabic).
#pragma once

#include <QString>
#include <QStringList>

// Registers the font resources once and installs the family substitutions.
// Returns the family names registered, in resource order.
QStringList installFonts();

// The forms are laid out for point sizes drawn at 72 dots per inch (one
// point, one pixel). Call before the application object exists: point sizes
// are then drawn at that resolution unless QT_FONT_DPI says otherwise.
void useFormFontResolution();

// Family that the named face resolves to after substitution.
QString substituteFamily(const QString &family);

// Family names of the compiled-in faces.
extern const QString kKufiFamily;  // "Noto Kufi Arabic"
extern const QString kNaskhFamily; // "Noto Naskh Arabic"
extern const QString kSansFamily;  // "DejaVu Sans"
