#include "platform/qt/MessageBox.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

namespace ravolin {
namespace {

TEST(QtMessageBoxSetup, mapsButtonsIconsAndAnswers) {
    struct Case {
        unsigned type;
        QMessageBox::Icon icon;
        QStringList buttons;  // captions in the box's order
        QMessageBox::StandardButton defaultButton;
        int escapeAnswer;  // 0: Esc and the close box leave the question open
    };
    const Case cases[] = {
        {MB_OK | MB_ICONHAND, QMessageBox::Critical, {"OK"}, QMessageBox::Ok, IDOK},
        {MB_OK | MB_ICONEXCLAMATION, QMessageBox::Warning, {"OK"}, QMessageBox::Ok, IDOK},
        {MB_OK | MB_ICONASTERISK, QMessageBox::Information, {"OK"}, QMessageBox::Ok, IDOK},
        {MB_YESNO | MB_ICONQUESTION, QMessageBox::Question, {"はい(&Y)", "いいえ(&N)"}, QMessageBox::Yes, 0},
        {MB_OKCANCEL | MB_ICONQUESTION, QMessageBox::Question, {"OK", "キャンセル"}, QMessageBox::Ok, IDCANCEL},
        {MB_OK, QMessageBox::NoIcon, {"OK"}, QMessageBox::Ok, IDOK},
        {MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2,
         QMessageBox::Question,
         {"はい(&Y)", "いいえ(&N)"},
         QMessageBox::No,
         0},
        {MB_OKCANCEL | MB_DEFBUTTON2, QMessageBox::NoIcon, {"OK", "キャンセル"}, QMessageBox::Cancel, IDCANCEL},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        QMessageBox box;
        prepareMessageBox(box, "text", "caption", c.type);
        EXPECT_EQ(box.icon(), c.icon);
        QStringList captions;
        for (const QAbstractButton* button : box.buttons()) captions << button->text();
        captions.sort();
        QStringList expected = c.buttons;
        expected.sort();
        EXPECT_EQ(captions, expected);
        ASSERT_NE(box.defaultButton(), nullptr);
        EXPECT_EQ(box.standardButton(box.defaultButton()), c.defaultButton);

        for (const bool byCloseBox : {false, true}) {
            box.open();
            ASSERT_TRUE(box.isVisible());
            if (byCloseBox) {
                box.close();
            } else {
                QTest::keyClick(&box, Qt::Key_Escape);
            }
            QAbstractButton* clicked = box.clickedButton();
            if (c.escapeAnswer == 0) {
                EXPECT_TRUE(box.isVisible()) << byCloseBox;
                EXPECT_EQ(clicked, nullptr) << byCloseBox;
                box.defaultButton()->click();
            } else {
                EXPECT_FALSE(box.isVisible()) << byCloseBox;
                ASSERT_NE(clicked, nullptr) << byCloseBox;
                EXPECT_EQ(answerOf(box.standardButton(clicked), c.type), c.escapeAnswer);
            }
        }
    }
}

TEST(QtMessageBoxSetup, showsTextWithLineBreaksAndCaptionAsTitle) {
    QMessageBox box;
    prepareMessageBox(box, "[フォント設定エラー]\r\n\r\n設定を初期化します\r\n", "情報", MB_OK | MB_ICONEXCLAMATION);
    EXPECT_EQ(box.text(), QStringLiteral("[フォント設定エラー]\n\n設定を初期化します\n"));
    EXPECT_EQ(box.windowTitle(), QStringLiteral("情報"));
    EXPECT_EQ(box.textFormat(), Qt::PlainText);  // "<b>" in a text is shown as typed
}

TEST(QtMessageBoxSetup, answersFollowTheButtonPressed) {
    struct Case {
        int button;
        unsigned type;
        int answer;
    };
    const Case cases[] = {
        {QMessageBox::Ok, MB_OK, IDOK},          {QMessageBox::Cancel, MB_OKCANCEL, IDCANCEL},
        {QMessageBox::Yes, MB_YESNO, IDYES},     {QMessageBox::No, MB_YESNO, IDNO},
        {QMessageBox::NoButton, MB_YESNO, IDNO}, {QMessageBox::NoButton, MB_OKCANCEL, IDCANCEL},
        {QMessageBox::NoButton, MB_OK, IDOK},
    };
    for (const Case& c : cases) EXPECT_EQ(answerOf(c.button, c.type), c.answer) << c.button << " " << c.type;
}

TEST(QtMessageBoxSetup, copiesCaptionTextAndButtonsAsWindowsDoes) {
    QMessageBox box;
    prepareMessageBox(box, "現在の設定は保存されていません。\r\n終了しますか？", "確認", MB_YESNO | MB_ICONQUESTION);
    const QString copied = messageBoxCopyText(box);
    const QString line = QStringLiteral("---------------------------\n");
    EXPECT_TRUE(copied.startsWith(line + QStringLiteral("確認\n") + line +
                                  QStringLiteral("現在の設定は保存されていません。\n終了しますか？\n") + line))
        << copied.toStdString();
    EXPECT_TRUE(copied.contains(QStringLiteral("はい(Y)"))) << copied.toStdString();
    EXPECT_TRUE(copied.contains(QStringLiteral("いいえ(N)"))) << copied.toStdString();
    EXPECT_TRUE(copied.endsWith(line));
}

}  // namespace
}  // namespace ravolin
