#include "ui/controls/FontMapping.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <mutex>
#include <ostream>

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QScreen>

#include "platform/core/Codec.h"

namespace ravolin {
namespace {

constexpr int kDefaultDpi = 96;
constexpr int kMinWeight = 1;
constexpr int kMaxWeight = 1000;

// Pixel (em) size a record's height asks for; 0 when it leaves the size open.
int pixelSizeOf(const LogFont& record) {
    if (record.lfHeight < 0) return -record.lfHeight;
    if (record.lfHeight == 0) return 0;
    // A cell height includes the internal leading: find the em size whose ascent plus descent is that tall.
    QFont probe(QString::fromUtf8(record.lfFaceName));
    probe.setPixelSize(record.lfHeight);
    const qreal cell = QFontMetricsF(probe).height();
    if (cell <= 0) return record.lfHeight;
    return std::max(1, static_cast<int>(std::lround(record.lfHeight * record.lfHeight / cell)));
}

QFont::Weight weightOf(const LogFont& record) {
    if (record.lfWeight <= 0) return QFont::Normal;  // FW_DONTCARE
    return static_cast<QFont::Weight>(std::clamp(record.lfWeight, kMinWeight, kMaxWeight));
}

std::uint8_t flagByte(bool on, std::uint8_t base) {
    if (!on) return 0;
    return base != 0 ? base : 1;
}

// The longest prefix of `family` whose CP932 form fits the record's face-name field.
std::string fittedFaceName(const QString& family) {
    std::string fitted;
    for (qsizetype i = 0; i < family.size();) {
        const qsizetype length = family.at(i).isHighSurrogate() && i + 1 < family.size() ? 2 : 1;
        std::string candidate = fitted + family.mid(i, length).toStdString();
        if (utf8ToCp932(candidate).size() > kFaceNameMaxBytes) break;
        fitted = std::move(candidate);
        i += length;
    }
    return fitted;
}

// The family without the foundry Qt names where two foundries share it ("Nimbus Sans [urw]"): a face
// name as Windows knows it, which Qt resolves again.
QString faceOf(QString family) {
    static const QRegularExpression foundry(QStringLiteral("\\s*\\[[^\\]]*\\]$"));
    return family.remove(foundry);
}

// Whether `family` is the record's face, or the face that draws the record's face here (a Windows face).
// Both are compared by the family Qt resolves them to, as a name may have several (English and Japanese).
bool drawsFace(const QString& family, const std::string& faceName) {
    const QString face = QString::fromUtf8(faceName);
    if (family.compare(face, Qt::CaseInsensitive) == 0) return true;
    if (face.isEmpty() || !QFontDatabase::hasFamily(family)) return false;
    return QFontInfo(QFont(face)).family().compare(QFontInfo(QFont(family)).family(), Qt::CaseInsensitive) == 0;
}

// The Windows face of fixed pitch with Japanese glyphs.
constexpr char kFixedJapaneseFace[] = "ＭＳ ゴシック";

struct KnownFace {
    const char* face;
    const char* preferred;
};

// The faces of Windows descriptions, and the IPA face that stands closest to each.
constexpr std::array kKnownFaces{
    KnownFace{"ＭＳ Ｐゴシック", "IPAPGothic"}, KnownFace{kFixedJapaneseFace, "IPAGothic"},
    KnownFace{"MS PGothic", "IPAPGothic"},      KnownFace{"MS Gothic", "IPAGothic"},
    KnownFace{"MS UI Gothic", "IPAPGothic"},    KnownFace{"ＭＳ Ｐ明朝", "IPAPMincho"},
    KnownFace{"ＭＳ 明朝", "IPAMincho"},        KnownFace{"MS PMincho", "IPAPMincho"},
    KnownFace{"MS Mincho", "IPAMincho"},        KnownFace{"メイリオ", "IPAPGothic"},
    KnownFace{"Meiryo", "IPAPGothic"},          KnownFace{"Meiryo UI", "IPAPGothic"},
};

}  // namespace

int screenDpi() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return kDefaultDpi;
    return static_cast<int>(std::lround(screen->logicalDotsPerInchY()));
}

std::int32_t heightFromPoints(int points, int dpi) {
    // MulDiv rounds half away from zero.
    const long long scaled = static_cast<long long>(points) * dpi;
    return -static_cast<std::int32_t>((scaled + 36) / 72);
}

QFont fontFromLogFont(const LogFont& record) {
    QFont font(QString::fromUtf8(record.lfFaceName));
    if (const int pixels = pixelSizeOf(record); pixels > 0) font.setPixelSize(pixels);
    font.setWeight(weightOf(record));
    font.setItalic(record.lfItalic != 0);
    font.setUnderline(record.lfUnderline != 0);
    font.setStrikeOut(record.lfStrikeOut != 0);
    return font;
}

LogFont logFontFromFont(const QFont& font, const LogFont& base, int dpi) {
    LogFont record = base;
    const QString family = faceOf(font.family());
    const bool sameFace = drawsFace(family, base.lfFaceName);
    const int pixels =
        font.pixelSize() > 0 ? font.pixelSize() : static_cast<int>(std::lround(font.pointSizeF() * dpi / 72.0));
    if (!sameFace || pixelSizeOf(base) != pixels) record.lfHeight = -pixels;
    if (weightOf(base) != font.weight()) record.lfWeight = font.weight();
    record.lfWidth = 0;
    record.lfEscapement = 0;
    record.lfOrientation = 0;
    record.lfItalic = flagByte(font.italic(), base.lfItalic);
    record.lfUnderline = flagByte(font.underline(), base.lfUnderline);
    record.lfStrikeOut = flagByte(font.strikeOut(), base.lfStrikeOut);
    if (!sameFace) record.lfFaceName = fittedFaceName(family);
    return record;
}

QFont japaneseFixedFont(const QFont& like) {
    QFont fixed(QString::fromUtf8(kFixedJapaneseFace));
    if (like.pixelSize() > 0) {
        fixed.setPixelSize(like.pixelSize());
    } else {
        fixed.setPointSizeF(like.pointSizeF());
    }
    return fixed;
}

QString resolveInstalledFamily(const QString& name) {
    if (!QFontDatabase::hasFamily(name)) return {};
    return faceOf(QFontInfo(QFont(name)).family());
}

JapaneseFontPlan planJapaneseFonts(const QStringList& japanese, const FamilyResolver& resolve) {
    JapaneseFontPlan plan;
    plan.japaneseAvailable = !japanese.isEmpty();
    const KnownFace& window = kKnownFaces.front();
    plan.windowFaceMissing =
        resolve(QString::fromUtf8(window.face)).isEmpty() && resolve(QString::fromUtf8(window.preferred)).isEmpty();
    if (!plan.japaneseAvailable) return plan;
    for (const KnownFace& known : kKnownFaces) {
        const QString face = QString::fromUtf8(known.face);
        if (!resolve(face).isEmpty()) continue;
        FaceSubstitution substitution{face, {}};
        const QString preferred = resolve(QString::fromUtf8(known.preferred));
        if (!preferred.isEmpty() && japanese.contains(preferred, Qt::CaseInsensitive)) {
            substitution.substitutes << preferred;
        }
        for (const QString& family : japanese) {
            if (!substitution.substitutes.contains(family, Qt::CaseInsensitive)) substitution.substitutes << family;
        }
        if (&known == &kKnownFaces.front() && preferred.isEmpty())
            plan.windowSubstitute = substitution.substitutes.value(0);
        plan.substitutions.push_back(substitution);
    }
    return plan;
}

void applyJapaneseFonts(const JapaneseFontPlan& plan, std::ostream& diagnostics) {
    for (const FaceSubstitution& s : plan.substitutions) QFont::insertSubstitutions(s.face, s.substitutes);
    if (!plan.japaneseAvailable) {
        static std::once_flag warned;
        std::call_once(warned, [&diagnostics] {
            diagnostics << "ravolin: no installed font has Japanese characters; captions and texts in Japanese "
                           "will not be readable (install fonts-ipafont-gothic)\n";
        });
    }
}

JapaneseFontPlan installJapaneseFonts(std::ostream& diagnostics) {
    JapaneseFontPlan plan = planJapaneseFonts(QFontDatabase::families(QFontDatabase::Japanese), resolveInstalledFamily);
    applyJapaneseFonts(plan, diagnostics);
    return plan;
}

}  // namespace ravolin
