#include "ui/controls/FontMapping.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>

#include <QFontInfo>
#include <QFontMetrics>

namespace ravolin {
namespace {

LogFont record(std::int32_t height, std::int32_t weight, std::string face) {
    LogFont font;
    font.lfHeight = height;
    font.lfWeight = weight;
    font.lfFaceName = std::move(face);
    return font;
}

TEST(FontMapping, heightFromPointsAsWindowsComputesIt) {
    struct Case {
        int points, dpi;
        std::int32_t height;
    };
    const Case cases[] = {{10, 96, -13}, {9, 96, -12}, {12, 96, -16}, {10, 120, -17}, {10, 144, -20}, {12, 72, -12}};
    for (const Case& c : cases) EXPECT_EQ(heightFromPoints(c.points, c.dpi), c.height) << c.points << "pt " << c.dpi;
}

TEST(FontMapping, recordBecomesFont) {
    struct Case {
        LogFont record;
        int pixelSize;
        int weight;
        bool italic, underline, strikeOut;
    };
    LogFont decorated = record(-20, 700, "IPAGothic");
    decorated.lfItalic = 1;
    decorated.lfUnderline = 255;
    decorated.lfStrikeOut = 1;
    const Case cases[] = {
        {record(-13, 400, "IPAPGothic"), 13, QFont::Normal, false, false, false},
        {decorated, 20, QFont::Bold, true, true, true},
        {record(-16, 0, "IPAGothic"), 16, QFont::Normal, false, false, false},  // FW_DONTCARE
        {record(-16, 550, "IPAGothic"), 16, 550, false, false, false},
        {record(-16, 1200, "IPAGothic"), 16, 1000, false, false, false},
        {record(0, 100, "IPAGothic"), -1, QFont::Thin, false, false, false},  // size left to the default
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(FormatFontString(c.record));
        const QFont font = fontFromLogFont(c.record);
        EXPECT_EQ(font.family(), QString::fromUtf8(c.record.lfFaceName));
        EXPECT_EQ(font.pixelSize(), c.pixelSize);
        EXPECT_EQ(font.weight(), c.weight);
        EXPECT_EQ(font.italic(), c.italic);
        EXPECT_EQ(font.underline(), c.underline);
        EXPECT_EQ(font.strikeOut(), c.strikeOut);
    }
}

TEST(FontMapping, positiveHeightIsTheCellHeight) {
    for (std::int32_t cell : {12, 16, 24, 40}) {
        const QFont font = fontFromLogFont(record(cell, 400, "IPAPGothic"));
        EXPECT_NEAR(QFontMetrics(font).height(), cell, 1) << cell;
        EXPECT_LT(font.pixelSize(), cell);
    }
}

TEST(FontMapping, recordSurvivesTheRoundTripThroughQFont) {
    LogFont windows = record(-13, 400, "ＭＳ Ｐゴシック");
    windows.lfCharSet = 128;
    windows.lfOutPrecision = 3;
    windows.lfClipPrecision = 2;
    windows.lfQuality = 1;
    windows.lfPitchAndFamily = 49;
    LogFont cell = windows;
    cell.lfHeight = 16;
    LogFont dontCare = windows;
    dontCare.lfWeight = 0;
    LogFont italic = record(-20, 700, "IPAGothic");
    italic.lfItalic = 255;
    for (const LogFont& original : {windows, cell, dontCare, italic, record(-13, 400, "IPAPGothic")}) {
        EXPECT_EQ(logFontFromFont(fontFromLogFont(original), original, 96), original) << FormatFontString(original);
    }
}

TEST(FontMapping, chosenFontKeepsTheBasesWindowsFields) {
    LogFont base = record(16, 0, "ＭＳ Ｐゴシック");
    base.lfWidth = 7;
    base.lfEscapement = 900;
    base.lfCharSet = 128;
    base.lfOutPrecision = 3;
    base.lfClipPrecision = 2;
    base.lfQuality = 1;
    base.lfPitchAndFamily = 49;
    QFont chosen(QStringLiteral("IPAGothic"));
    chosen.setPixelSize(20);
    chosen.setBold(true);
    const LogFont result = logFontFromFont(chosen, base, 96);
    EXPECT_EQ(FormatFontString(result), "-20,0,0,0,700,0,0,0,128,3,2,1,49,IPAGothic");

    QFont points(QStringLiteral("IPAGothic"), 12);
    EXPECT_EQ(logFontFromFont(points, base, 96).lfHeight, -16);
    EXPECT_EQ(logFontFromFont(points, base, 120).lfHeight, -20);
}

TEST(FontMapping, chosenFaceKeepsTheRecordsNameWhereItDrawsThatFace) {
    installJapaneseFonts(std::cerr);
    LogFont windows = record(-13, 400, "ＭＳ Ｐゴシック");
    windows.lfCharSet = 128;
    windows.lfOutPrecision = 3;
    windows.lfPitchAndFamily = 49;
    struct Case {
        const char* family;
        int pixels;
        std::string description;
    };
    const Case cases[] = {
        {"IPAPGothic", 13, "-13,0,0,0,400,0,0,0,128,3,0,0,49,ＭＳ Ｐゴシック"},  // what draws it here
        {"ipapgothic", 16, "-16,0,0,0,400,0,0,0,128,3,0,0,49,ＭＳ Ｐゴシック"},  // family names ignore case
        {"IPAGothic", 13, "-13,0,0,0,400,0,0,0,128,3,0,0,49,IPAGothic"},
        {"Nimbus Sans [urw]", 13, "-13,0,0,0,400,0,0,0,128,3,0,0,49,Nimbus Sans"},  // no foundry in a face name
    };
    for (const Case& c : cases) {
        QFont chosen(QString::fromUtf8(c.family));
        chosen.setPixelSize(c.pixels);
        EXPECT_EQ(FormatFontString(logFontFromFont(chosen, windows, 96)), c.description) << c.family;
    }
}

TEST(FontMapping, longFamilyNameIsCutToTheRecordsField) {
    struct Case {
        QString family;
        std::string stored;
    };
    const Case cases[] = {
        {QString(40, QLatin1Char('a')), std::string(31, 'a')},
        {QStringLiteral("あいうえおかきくけこさしすせそたち"), "あいうえおかきくけこさしすせそ"},  // 2 bytes each
        {QStringLiteral("IPAPGothic"), "IPAPGothic"},
    };
    for (const Case& c : cases) {
        QFont font(c.family);
        font.setPixelSize(13);
        EXPECT_EQ(logFontFromFont(font, LogFont{}, 96).lfFaceName, c.stored);
    }
}

TEST(FontMapping, windowsJapaneseFaceIsDrawnByAnInstalledJapaneseFont) {
    installJapaneseFonts(std::cerr);
    for (const char* face : {"ＭＳ Ｐゴシック", "MS PGothic", "ＭＳ ゴシック"}) {
        const QFont font = fontFromLogFont(record(-13, 400, face));
        EXPECT_EQ(font.family(), QString::fromUtf8(face));  // the description keeps its name
        EXPECT_TRUE(QFontInfo(font).family().startsWith(QStringLiteral("IPA"))) << face;
    }
}

// A font database as a locale shows it: the families it lists, and the other names that resolve to them.
FamilyResolver resolverOf(const QStringList& listed, const std::map<QString, QString>& aliases = {}) {
    return [listed, aliases](const QString& name) -> QString {
        for (const QString& family : listed)
            if (family.compare(name, Qt::CaseInsensitive) == 0) return family;
        const auto alias = aliases.find(name);
        return alias == aliases.end() ? QString() : alias->second;
    };
}

TEST(FontMapping, planMapsOnlyMissingFacesToJapaneseOnes) {
    struct Case {
        const char* locale;
        QStringList japanese;
        std::map<QString, QString> aliases;
        QString proportional;  // what draws "ＭＳ Ｐゴシック" first
    };
    const QString localized = QString::fromUtf8("IPA Pゴシック");
    const Case cases[] = {
        {"C", {"Droid Sans Fallback", "IPAGothic", "IPAPGothic"}, {}, "IPAPGothic"},
        // fontconfig lists the IPA fonts by their Japanese names; the English ones resolve to them.
        {"ja_JP",
         {"Droid Sans Fallback", QString::fromUtf8("IPAゴシック"), localized},
         {{"IPAPGothic", localized}, {"IPAGothic", QString::fromUtf8("IPAゴシック")}},
         localized},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.locale);
        const JapaneseFontPlan plan =
            planJapaneseFonts(c.japanese, resolverOf(QStringList{"DejaVu Sans", "MS PGothic"} + c.japanese, c.aliases));
        EXPECT_TRUE(plan.japaneseAvailable);
        EXPECT_FALSE(plan.windowFaceMissing);
        bool sawProportional = false;
        for (const FaceSubstitution& s : plan.substitutions) {
            EXPECT_NE(s.face, QStringLiteral("MS PGothic"));  // installed: left alone
            ASSERT_FALSE(s.substitutes.isEmpty());
            if (s.face == QString::fromUtf8("ＭＳ Ｐゴシック")) {
                sawProportional = true;
                EXPECT_EQ(s.substitutes.first(), c.proportional);
                EXPECT_EQ(s.substitutes.size(), 3);
            }
        }
        EXPECT_TRUE(sawProportional);
    }

    // Without the IPA faces the window's face is drawn by another one, and the window says which.
    const QStringList noto{"Noto Sans CJK JP"};
    const JapaneseFontPlan notoPlan = planJapaneseFonts(noto, resolverOf(noto));
    for (const FaceSubstitution& s : notoPlan.substitutions) EXPECT_EQ(s.substitutes, noto);
    EXPECT_TRUE(notoPlan.windowFaceMissing);
    EXPECT_EQ(notoPlan.windowSubstitute, noto.first());
}

TEST(FontMapping, withoutAnyJapaneseFont_saysSoOnce) {
    const JapaneseFontPlan plan = planJapaneseFonts({}, resolverOf({"DejaVu Sans"}));
    EXPECT_FALSE(plan.japaneseAvailable);
    EXPECT_TRUE(plan.substitutions.empty());
    EXPECT_TRUE(plan.windowFaceMissing);
    EXPECT_TRUE(plan.windowSubstitute.isEmpty());
    std::ostringstream diagnostics;
    applyJapaneseFonts(plan, diagnostics);
    applyJapaneseFonts(plan, diagnostics);
    const std::string said = diagnostics.str();
    EXPECT_NE(said.find("Japanese"), std::string::npos);
    EXPECT_EQ(said.find('\n'), said.size() - 1);  // one line
}

}  // namespace
}  // namespace ravolin
