// The Quit key quits from every window that can hold the keyboard: the panel,
// a popup over it and a window-modal sheet on it.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QWidget>

#include "shell/QuitKey.h"

namespace corvanta {
namespace {

TEST(QuitKeyTest, QuitsFromThePanelThePopupAndAModalSheet) {
    int quits = 0;
    const QuitKey quitKey([&quits] { ++quits; });

    QWidget panel;
    auto* search = new QLineEdit(&panel);
    panel.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&panel));

    QTest::keyClick(search, Qt::Key_Q, Qt::ControlModifier);
    EXPECT_EQ(quits, 1);

    QWidget popup(&panel, Qt::Popup);
    auto* pickerSearch = new QLineEdit(&popup);
    popup.show();
    pickerSearch->setFocus();
    QTest::keyClick(pickerSearch, Qt::Key_Q, Qt::ControlModifier);
    EXPECT_EQ(quits, 2);
    EXPECT_TRUE(pickerSearch->text().isEmpty());
    popup.close();

    QWidget sheet(&panel, Qt::Dialog | Qt::FramelessWindowHint);
    sheet.setWindowModality(Qt::WindowModal);
    auto* message = new QPlainTextEdit(&sheet);
    sheet.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&sheet));
    QTest::keyClick(message, Qt::Key_Q, Qt::ControlModifier);
    EXPECT_EQ(quits, 3);
    EXPECT_TRUE(message->toPlainText().isEmpty());

    // Other keys, with or without Ctrl, are typed as before.
    QTest::keyClick(message, Qt::Key_Q);
    QTest::keyClick(message, Qt::Key_W, Qt::ControlModifier);
    EXPECT_EQ(quits, 3);
    EXPECT_EQ(message->toPlainText(), QStringLiteral("q"));
}

}  // namespace
}  // namespace corvanta
