#pragma once

#include <functional>
#include <iosfwd>
#include <vector>

#include <QFont>
#include <QString>
#include <QStringList>

#include "settings/FontDescription.h"

namespace ravolin {

// The logical DPI of the primary screen (96 without one): the DPI at which a font record's pixel heights
// and a template's point sizes are taken.
int screenDpi();

// The record's height for a size in points: negative, a character height, as Windows computes it.
std::int32_t heightFromPoints(int points, int dpi);

// The font a record describes. A negative height is the character (em) height in pixels, a positive one the
// cell height (ascent plus descent); 0 leaves the size to the default. The face name is kept as stored, so
// the font's family() is the record's name even where another installed face is drawn.
QFont fontFromLogFont(const LogFont& record);

// The record of `font`. Character set, precisions, quality and pitch-and-family come from `base`, which
// Qt has no notion of; face name, height and weight keep base's form where it gives the same font (a
// Windows face keeps its name when `font` is the face that draws it here), so a record read from a file
// and shown comes back unchanged.
LogFont logFontFromFont(const QFont& font, const LogFont& base, int dpi);

// A face the program's records name (from Windows), and the faces that draw it here.
struct FaceSubstitution {
    QString face;
    QStringList substitutes;
};

struct JapaneseFontPlan {
    std::vector<FaceSubstitution> substitutions;
    bool japaneseAvailable = false;
    // The window's face "ＭＳ Ｐゴシック" has no drawing face of its own here (IPAPGothic is missing): it is drawn
    // by `windowSubstitute`, or, where that is empty, by no Japanese face at all.
    bool windowFaceMissing = false;
    QString windowSubstitute;
};

// The fixed-pitch Japanese face at the size of `like`: the Windows face "ＭＳ ゴシック", which the substitutions of
// installJapaneseFonts draw with IPAGothic (or another Japanese face) where it isn't installed itself.
QFont japaneseFixedFont(const QFont& like);

// The installed family that draws a family name, or an empty text where no installed font has that name.
// Under a Japanese locale fontconfig lists the IPA fonts by their Japanese names ("IPA Pゴシック"), and the
// English name resolves to that.
using FamilyResolver = std::function<QString(const QString& name)>;

// What the font database resolves.
QString resolveInstalledFamily(const QString& name);

// Which Windows Japanese faces to map, and to what, given the installed families that have Japanese glyphs
// (as the database lists them) and how names resolve. A face that is installed itself is left alone.
JapaneseFontPlan planJapaneseFonts(const QStringList& japanese, const FamilyResolver& resolve);

// Installs the plan's substitutions; without any Japanese face it says so on `diagnostics`, once per process.
void applyJapaneseFonts(const JapaneseFontPlan& plan, std::ostream& diagnostics);

// Plans from the font database and applies; called before the first window is built.
JapaneseFontPlan installJapaneseFonts(std::ostream& diagnostics);

}  // namespace ravolin
