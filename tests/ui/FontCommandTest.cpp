#include <map>
#include <string>

#include <QPlainTextEdit>

#include "platform/core/Codec.h"
#include "settings/SettingsStore.h"
#include "tests/ui/DialogFixture.h"
#include "ui/controls/FontMapping.h"

namespace ravolin {
namespace {

// A description as the Windows program writes it: its precisions, quality and pitch are none of Qt's.
constexpr char kStoredFont[] = "-13,0,0,0,400,0,0,0,128,3,2,1,49,ＭＳ Ｐゴシック";

QFont pixelFont(const char* family, int pixels, QFont::Weight weight = QFont::Normal, bool italic = false) {
    QFont font(QString::fromUtf8(family));
    font.setPixelSize(pixels);
    font.setWeight(weight);
    font.setItalic(italic);
    return font;
}

LogFont parsed(const std::string& description) {
    LogFont font;
    EXPECT_TRUE(parseFontDescription(description, font)) << description;
    return font;
}

class FontCommand : public DialogFixture {
protected:
    void SetUp() override {
        installJapaneseFonts(std::cerr);
        writeStoredSettings();
    }

    void writeStoredSettings() { dir.writeSettings(std::string("[Common]\r\nFont=") + kStoredFont + "\r\nLoop=3\r\n"); }

    void chooseFont() { EXPECT_TRUE(dialog->OnCommand(kCmdFontSettings)); }

    QFont editorFont() const { return dialog->GetDlgItem(kIdTemplate)->font(); }

    // The save button: the font description is stored as the window holds it.
    void save() {
        dialog->OnCommand(kIdSaveSettings);
        EXPECT_EQ(dialog->unsaved(), 0);
    }

    std::string savedFont() const {
        Document loaded;
        loadSettingsFile(dir.settingsPath(), loaded);
        const WindowSettings& window = loaded.window;
        return window.font;
    }
};

TEST_F(FontCommand, ok_givesEditorAndWindowTheChosenFontAndDescribesIt) {
    const std::string twelvePoints = std::to_string(heightFromPoints(12, screenDpi()));
    struct Case {
        QFont chosen;
        std::string description;
    };
    const Case cases[] = {
        {pixelFont("IPAGothic", 20, QFont::Bold, true), "-20,0,0,0,700,1,0,0,1,3,2,1,49,IPAGothic"},
        {QFont("IPAMincho", 12), twelvePoints + ",0,0,0,400,0,0,0,1,3,2,1,49,IPAMincho"},
        // OK on the face that draws the stored one: only the character set changes, to the chooser's.
        {pixelFont("IPAPGothic", 13), "-13,0,0,0,400,0,0,0,1,3,2,1,49,ＭＳ Ｐゴシック"},
    };
    const std::string fileBefore = dir.readSettingsBytes();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.description);
        create();
        fontChooser.scriptChoice(c.chosen);
        chooseFont();

        ASSERT_FALSE(fontChooser.calls().empty());
        EXPECT_EQ(fontChooser.calls().back().owner, dialog.get());
        EXPECT_EQ(fontChooser.calls().back().initial, fontFromLogFont(parsed(kStoredFont)));
        EXPECT_EQ(dialog->documentShown().window.font, c.description);
        EXPECT_EQ(dialog->GetWindowFont(), parsed(c.description));
        EXPECT_EQ(dialog->editorFont(), fontFromLogFont(parsed(c.description)));
        EXPECT_EQ(editorFont(), dialog->editorFont());
        // A font choice is no unsaved change, and nothing is written until a save.
        EXPECT_EQ(dialog->unsaved(), 0);
        EXPECT_EQ(dir.readSettingsBytes(), fileBefore);
    }
    EXPECT_TRUE(messageBox.calls().empty());
}

TEST_F(FontCommand, cancel_keepsTheFontButGivesTheEditorItAgain) {
    create();
    const std::string description = dialog->documentShown().window.font;
    const LogFont windowFont = dialog->GetWindowFont();
    const QFont font = dialog->editorFont();
    dialog->GetDlgItem(kIdTemplate)->setFont(QFont("Serif", 30));

    fontChooser.scriptCancel();
    chooseFont();

    ASSERT_EQ(fontChooser.calls().size(), 1u);
    EXPECT_EQ(dialog->documentShown().window.font, description);
    EXPECT_EQ(dialog->GetWindowFont(), windowFont);
    EXPECT_EQ(dialog->editorFont(), font);
    EXPECT_EQ(editorFont(), font);
    save();
    EXPECT_EQ(savedFont(), kStoredFont);
}

TEST_F(FontCommand, chooserOpensOnTheFontLastChosen) {
    create();
    const QFont bold = pixelFont("IPAGothic", 20, QFont::Bold);
    fontChooser.scriptChoice(bold);
    fontChooser.scriptCancel();
    fontChooser.scriptCancel();
    for (int i = 0; i < 3; ++i) chooseFont();

    ASSERT_EQ(fontChooser.calls().size(), 3u);
    EXPECT_EQ(fontChooser.calls()[0].initial.family(), QString::fromUtf8("ＭＳ Ｐゴシック"));
    EXPECT_EQ(fontChooser.calls()[0].initial.pixelSize(), 13);
    for (std::size_t i : {1u, 2u}) {
        const QFont& initial = fontChooser.calls()[i].initial;
        EXPECT_EQ(initial.family(), "IPAGothic") << i;
        EXPECT_EQ(initial.pixelSize(), 20) << i;
        EXPECT_EQ(initial.weight(), QFont::Bold) << i;
    }
    save();
    EXPECT_EQ(savedFont(), "-20,0,0,0,700,0,0,0,1,3,2,1,49,IPAGothic");
}

TEST_F(FontCommand, duringARun_opensOnTheCurrentFontAndApplies) {
    create();
    fontChooser.scriptChoice(pixelFont("IPAGothic", 18));
    chooseFont();
    startHeldRun();
    EXPECT_TRUE(dialog->GetMenuItem(kCmdFontSettings)->isEnabled());
    fontChooser.scriptChoice(pixelFont("IPAMincho", 22, QFont::Bold));
    chooseFont();
    ASSERT_TRUE(dialog->isRunning());

    ASSERT_EQ(fontChooser.calls().size(), 2u);
    EXPECT_EQ(fontChooser.calls()[1].initial, fontFromLogFont(parsed("-18,0,0,0,400,0,0,0,1,3,2,1,49,IPAGothic")));
    EXPECT_EQ(dialog->documentShown().window.font, "-22,0,0,0,700,0,0,0,1,3,2,1,49,IPAMincho");
    EXPECT_EQ(editorFont(), fontFromLogFont(parsed(dialog->documentShown().window.font)));

    beepGate.open();
    ASSERT_TRUE(eventually([this] { return !dialog->isRunning(); }));
    EXPECT_EQ(dialog->documentShown().window.font, "-22,0,0,0,700,0,0,0,1,3,2,1,49,IPAMincho");
    EXPECT_EQ(editorFont().family(), "IPAMincho");
}

TEST_F(FontCommand, onlyTheTemplateEditorTakesTheFont) {
    createAndShow();
    QWidget* editor = dialog->GetDlgItem(kIdTemplate);
    std::map<QWidget*, QFont> others;
    for (QWidget* widget : dialog->findChildren<QWidget*>()) {
        if (widget != editor && !editor->isAncestorOf(widget)) others[widget] = widget->font();
    }
    ASSERT_GT(others.size(), 20u);  // output pane, loop count, buttons, tabs, pages, menu bar

    fontChooser.scriptChoice(pixelFont("IPAMincho", 24, QFont::Bold));
    chooseFont();

    EXPECT_EQ(editor->font().family(), "IPAMincho");
    EXPECT_EQ(editor->font().pixelSize(), 24);
    for (const auto& [widget, font] : others) {
        EXPECT_EQ(widget->font(), font) << widget->metaObject()->className() << " "
                                        << widget->objectName().toStdString();
    }
}

TEST_F(FontCommand, choiceWithoutSave_isLostAtExitWithoutAQuestion) {
    create();
    const std::string fileBefore = dir.readSettingsBytes();
    fontChooser.scriptChoice(pixelFont("IPAGothic", 20));
    chooseFont();
    dialog->OnOK();
    EXPECT_TRUE(ended());
    EXPECT_TRUE(messageBox.calls().empty());
    EXPECT_EQ(dir.readSettingsBytes(), fileBefore);
}

// The real file between two dialogs, as between two starts of the program.
TEST_F(FontCommand, chosenFontSurvivesASaveAndARestart) {
    struct Case {
        QFont chosen;
        std::string description;
    };
    const Case cases[] = {
        {pixelFont("IPAGothic", 20, QFont::Bold, true), "-20,0,0,0,700,1,0,0,1,3,2,1,49,IPAGothic"},
        {pixelFont("IPAPGothic", 16), "-16,0,0,0,400,0,0,0,1,3,2,1,49,ＭＳ Ｐゴシック"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.description);
        writeStoredSettings();
        create();
        fontChooser.scriptChoice(c.chosen);
        chooseFont();
        save();
        const QFont chosenEditorFont = editorFont();
        // On disk the face name is in the file's code page, as the Windows program writes it.
        EXPECT_NE(dir.readSettingsBytes().find("Font=" + utf8ToCp932(c.description) + "\r\n"), std::string::npos);

        dialog.reset();
        record = Settings{};
        create();
        EXPECT_TRUE(messageBox.calls().empty());  // the stored description parses
        EXPECT_EQ(dialog->documentShown().window.font, c.description);
        EXPECT_EQ(dialog->GetWindowFont(), parsed(c.description));
        EXPECT_EQ(editorFont(), chosenEditorFont);
        EXPECT_EQ(dialog->GetDlgItemText(kIdLoopCount), "3");
    }
}

}  // namespace
}  // namespace ravolin
