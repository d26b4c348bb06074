// SPDX-License-Identifier: GPL-3.0-or-later
// The About box and access code dialog by keys and clicks: what closes them, the code, placement.
#include "model/unit_model.h"
#include "ui/about_box.h"
#include "ui/access_code_dialog.h"
#include "ui/twip_scale.h"

#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace vireo;

namespace {

// The main window mostly past the screen's bottom right: the dialogs open flush with those edges.
// Asked once the application knows its screens.
QRect Owner()
{
    return QRect(AvailableScreenArea(nullptr).bottomRight() - QPoint(100, 50), QSize(600, 400));
}

// Under a window manager the frame is known only some time after showing.
void VerifyPlaced(QDialog &dialog)
{
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QTRY_COMPARE(dialog.frameGeometry().bottomRight(), AvailableScreenArea(&dialog).bottomRight());
}

// Keys go to the widget with the focus, clicks to the button of that name.
void Press(QDialog &dialog, const QString &how)
{
    static const QHash<QString, Qt::Key> keys{
        {"Enter", Qt::Key_Return}, {"keypad Enter", Qt::Key_Enter}, {"Escape", Qt::Key_Escape}};
    if (keys.contains(how))
        QTest::keyClick(dialog.focusWidget() ? dialog.focusWidget() : &dialog, keys[how]);
    else
        QTest::mouseClick(dialog.findChild<QPushButton *>(how), Qt::LeftButton);
}

void VerifyShowsSelected(AccessCodeDialog &dialog, const QString &text)
{
    auto *field = dialog.findChild<QLineEdit *>("FiveDigit");
    QVERIFY(dialog.focusWidget() == field && field->text() == text && field->selectedText() == text);
}

} // namespace

class TestDialogs : public QObject {
    Q_OBJECT
  private slots:
    // Enter and OK close the About box; Escape leaves it open.
    void aboutBox()
    {
        for (const QString how : {"Escape", "Enter", "ok"}) {
            AboutBox box(Owner());
            box.show();
            VerifyPlaced(box);
            QCOMPARE(box.windowTitle(), QStringLiteral("About Vireo"));
            const auto *label = box.findChild<QLabel *>("copyright");
            QCOMPARE(label->text().split('\n'), QStringList({"Vireo Rev.2.0", CopyrightLine}));
            QVERIFY(box.rect().contains(label->geometry()) && label->width() >= label->sizeHint().width() &&
                    label->height() >= label->sizeHint().height()); // both lines whole, inside the box
            QVERIFY(!box.findChild<QLabel *>("icon")->pixmap().isNull());
            QCOMPARE(box.focusWidget(), box.findChild<QPushButton *>("ok"));
            Press(box, how);
            QVERIFY2(box.isVisible() == (how == "Escape"), qPrintable(how));
        }
    }

    // In the middle of the screen the outer rectangle, frame and all, is centred over the owner.
    void centredWithFrame()
    {
        const QRect area = AvailableScreenArea(nullptr);
        const QRect owner(area.center() - QPoint(300, 200), QSize(600, 400));
        AboutBox box(owner);
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        QTRY_VERIFY((box.frameGeometry().center() - owner.center()).manhattanLength() <= 2);
    }

    void accessCode_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<int>("stored");
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("open");
        QTest::addColumn<QString>("shown"); // in the field afterwards and on reopening
        const int unchanged = DefaultAccessCode;
        QTest::newRow("five zeros, keypad Enter") << "00000" << 0 << "keypad Enter" << false << "00000";
        QTest::newRow("leading zero, OK") << "01234" << 1234 << "ok" << false << "01234";
        QTest::newRow("a letter") << "12a45" << unchanged << "Enter" << true << "58206";
        QTest::newRow("valid, then Cancel") << "11111" << unchanged << "cancel" << false << "58206";
    }
    void accessCode()
    {
        QFETCH(QString, entry);
        QFETCH(int, stored);
        QFETCH(QString, how);
        QFETCH(bool, open);
        QFETCH(QString, shown);
        std::int32_t code = DefaultAccessCode;
        AccessCodeDialog dialog(code, Owner());
        dialog.show();
        VerifyPlaced(dialog);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Five Digit Access Code"));
        VerifyShowsSelected(dialog, "58206");
        auto *field = dialog.findChild<QLineEdit *>("FiveDigit");
        QTest::keyClick(field, Qt::Key_Delete); // typed over the selected code
        QTest::keyClicks(field, entry);
        QCOMPARE(field->text(), entry); // nothing is filtered while typing
        Press(dialog, how);
        QVERIFY(code == stored && dialog.isVisible() == open);
        if (open)
            VerifyShowsSelected(dialog, shown);
        AccessCodeDialog again(code, Owner());
        again.show();
        VerifyShowsSelected(again, shown);
    }
};

QTEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
