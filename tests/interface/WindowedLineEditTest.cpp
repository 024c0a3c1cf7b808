// A one-line field holding a pasted megabyte: edits anywhere in the text, keys
// that reach past the shown window, and the whole text always what was typed.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QTest>

#include "interface/WindowedLineEdit.h"

namespace corvanta {
namespace {

// A megabyte of short words, with each word's number telling places apart.
QString megabyte() {
    QString text;
    for (int i = 0; text.size() < 1'000'000; ++i) text += QStringLiteral("w%1 ").arg(i);
    return text;
}

class WindowedLineEditTest : public ::testing::Test {
protected:
    WindowedLineEditTest() {
        field.show();
        QObject::connect(&field, &WindowedLineEdit::fullTextEdited,
                         [this](const QString& text) { reported = text; });
    }
    ~WindowedLineEditTest() override { QGuiApplication::clipboard()->clear(); }

    void paste(const QString& text) {
        QGuiApplication::clipboard()->setText(text);
        QTest::keyClick(&field, Qt::Key_V, Qt::ControlModifier);
    }
    // The field never lays out more than its window.
    void expectWindowed() {
        EXPECT_LE(field.text().size(), WindowedLineEdit::kWindowLength);
        EXPECT_EQ(field.text(), field.fullText().mid(field.windowStart(), field.text().size()));
    }

    WindowedLineEdit field;
    QString reported;
};

TEST_F(WindowedLineEditTest, EditsAnywhereInAPastedMegabyteReachTheWholeText) {
    const QString big = megabyte();
    QTest::keyClicks(&field, "ab");
    QTest::keyClick(&field, Qt::Key_Left);
    paste(big);
    QString expected = QStringLiteral("a") + big + QStringLiteral("b");
    EXPECT_EQ(field.fullText(), expected);
    EXPECT_EQ(reported, expected);
    expectWindowed();

    QTest::keyClicks(&field, "xy");
    QTest::keyClick(&field, Qt::Key_Backspace);
    expected.insert(1 + big.size(), QStringLiteral("x"));
    EXPECT_EQ(field.fullText(), expected);

    QTest::keyClick(&field, Qt::Key_Home);
    QTest::keyClick(&field, Qt::Key_Delete);
    QTest::keyClicks(&field, "S");
    expected.replace(0, 1, QStringLiteral("S"));
    EXPECT_EQ(field.fullText(), expected);
    EXPECT_EQ(field.windowStart(), 0);
    expectWindowed();

    // Walking the caret past the window's edge moves the window along.
    for (int i = 0; i < WindowedLineEdit::kWindowLength + 100; ++i)
        QTest::keyClick(&field, Qt::Key_Right);
    QTest::keyClicks(&field, "M");
    expected.insert(1 + WindowedLineEdit::kWindowLength + 100, QStringLiteral("M"));
    EXPECT_EQ(field.fullText(), expected);
    EXPECT_GT(field.windowStart(), 0);
    expectWindowed();

    QTest::keyClick(&field, Qt::Key_End);
    QTest::keyClicks(&field, "E");
    expected += QStringLiteral("E");
    EXPECT_EQ(field.fullText(), expected);
    EXPECT_EQ(reported, expected);
    expectWindowed();
}

TEST_F(WindowedLineEditTest, SelectionsWiderThanTheWindowActOnTheWholeText) {
    const QString big = megabyte();
    paste(big);
    QTest::keyClick(&field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(&field, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), big);
    QTest::keyClicks(&field, "q");
    EXPECT_EQ(field.fullText(), QStringLiteral("q"));
    EXPECT_EQ(field.text(), QStringLiteral("q"));

    paste(big);
    // From the middle to the start, then deleted.
    QTest::keyClick(&field, Qt::Key_Home);
    for (int i = 0; i < 5; ++i) QTest::keyClick(&field, Qt::Key_Right);
    QTest::keyClick(&field, Qt::Key_End, Qt::ShiftModifier);
    QTest::keyClick(&field, Qt::Key_Backspace);
    EXPECT_EQ(field.fullText(), QStringLiteral("q") + big.left(4));

    // Selecting everything, then moving left, keeps the text and puts the
    // caret at its start.
    paste(big);
    QTest::keyClick(&field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(&field, Qt::Key_Left);
    QTest::keyClicks(&field, "<");
    EXPECT_EQ(field.fullText(), QStringLiteral("<q") + big.left(4) + big);
    expectWindowed();
}

TEST_F(WindowedLineEditTest, ShortTextsAndTextsSetFromOutsideAreShownWhole) {
    field.setFullText(megabyte());
    EXPECT_EQ(reported, QString());  // not an edit by the user
    expectWindowed();
    // What clears the field from outside clears the whole text.
    field.setText(QString());
    EXPECT_EQ(field.fullText(), QString());
    QTest::keyClicks(&field, "zoom");
    EXPECT_EQ(field.fullText(), QStringLiteral("zoom"));
    EXPECT_EQ(field.text(), QStringLiteral("zoom"));
    // A short paste stays the line edit's own edit, which it can undo.
    paste(QStringLiteral(" in"));
    EXPECT_EQ(field.fullText(), QStringLiteral("zoom in"));
    QTest::keyClick(&field, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(field.fullText(), QStringLiteral("zoom"));
    EXPECT_EQ(reported, QStringLiteral("zoom"));
}

}  // namespace
}  // namespace corvanta
