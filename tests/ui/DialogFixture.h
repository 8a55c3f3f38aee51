#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include <QApplication>
#include <QTest>

#include "ConverterDialog.h"
#include "FakeFontChooser.h"
#include "FakeMessageBox.h"
#include "FakeTrayIcon.h"
#include "Settings.h"
#include "TempSettingsDir.h"

namespace ravolin {

// A main dialog on a temporary settings file, with a scripted message box, font chooser and notification
// area, and modal runs recorded instead of run.
class DialogFixture : public ::testing::Test {
protected:
    // Writes a settings file whose "Common" section carries a font that parses, plus `rest` (CR LF lines).
    void writeSettingsWithFont(const std::string& common, const std::string& rest = {}) {
        dir.writeSettings("[Common]\r\nFont=" + std::string(kValidFontDescription) + "\r\n" + common + rest);
    }

    // Creates the window (OnInitDialog runs); it stays hidden.
    void create() {
        DialogServices services{.messageBox = messageBox,
                                .runModal =
                                    [this](QDialog& modal) {
                                        modalRuns.push_back(modal.windowTitle().toStdString());
                                        return 1;
                                    },
                                .fontChooser = fontChooser,
                                .trayIcon = trayIcon};
        dialog = std::make_unique<ConverterDialog>(std::move(services), dir.settingsPath(), record);
        dialog->Create();
    }

    void show() {
        dialog->show();
        dialog->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
    }

    void createAndShow() {
        create();
        show();
    }

    template <typename Widget>
    Widget* control(int id) const {
        auto* widget = qobject_cast<Widget*>(dialog->GetDlgItem(id));
        EXPECT_NE(widget, nullptr) << "control " << id;
        return widget;
    }

    // The dialog ended (OnOK ran) rather than staying open.
    bool ended() const { return dialog->isHidden() && dialog->result() == IDOK; }

    TempSettingsDir dir;
    FakeMessageBox messageBox;
    FakeFontChooser fontChooser;
    FakeTrayIcon trayIcon;
    Settings record;
    std::vector<std::string> modalRuns;
    std::unique_ptr<ConverterDialog> dialog;
};

}  // namespace ravolin
