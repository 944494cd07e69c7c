// The compiled-in fonts: free Arabic and Latin faces that stand in for the
// family names the forms and pages use (Tahoma, Droid Arabic Kufi, Granada,
// Al-Jazeera Arabic).
#pragma once

#include <QFont>
#include <QString>
#include <QStringList>

// Registers the font resources once and installs the family substitutions.
// Returns the family names registered, in resource order.
QStringList installFonts();

// The forms are laid out for point sizes drawn at 72 dots per inch (one
// point, one pixel). Call before the application object exists: point sizes
// are then drawn at that resolution unless QT_FONT_DPI says otherwise.
void useFormFontResolution();

// No text of either program is drawn smaller than this many pixels.
constexpr int kMinTextPixels = 9;

// The font raised to kMinTextPixels when it would be drawn smaller at the
// given resolution (dots per inch); otherwise the font unchanged.
QFont fontAtLeastMinimum(const QFont &font, int dpi);

// Keeps every widget font of the application at kMinTextPixels or above:
// widgets are raised as they are polished and whenever their font changes
// (forms and code need no sizes of their own). Web pages get the same
// minimum. Call once the application object exists.
void installFontFloor();

// Both programs' fonts, once the application object exists: the compiled-in
// faces, the default face (kKufiFamily at 12 points) and the floor.
void useProgramFonts();

// Family that the named face resolves to after substitution.
QString substituteFamily(const QString &family);

// Family names of the compiled-in faces.
extern const QString kKufiFamily;  // "Noto Kufi Arabic"
extern const QString kNaskhFamily; // "Noto Naskh Arabic"
extern const QString kSansFamily;  // "DejaVu Sans"
