// SPDX-License-Identifier: GPL-3.0-or-later
// The main window as a user meets it: what it shows after start-up, when a
// field commits and what it then shows, the focus order, placement on the
// screen, the toolbar's share of the height, and one instance per user.
#include "app/scripted_dialogs.h"
#include "app/single_instance.h"
#include "ui/main_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QProcess>
#include <QScreen>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>

#include <memory>

using namespace vireo;

namespace {

// The program state of a fresh start, without a profile on disk.
struct Started {
    QTemporaryDir dir;
    std::unique_ptr<ProgramState> state;
    test::ScriptedDialogs dialogs;
    std::unique_ptr<MainWindow> window;

    explicit Started(qint32 left = 0, qint32 top = 0, bool toolbar = true)
    {
        ProfileFile profile;
        profile.SetFullPath(dir.filePath(QStringLiteral("VIREO.ini")));
        state = std::make_unique<ProgramState>(profile);
        state->options.WindowLeft = left;
        state->options.WindowTop = top;
        state->options.ToolbarShown = toolbar;
        state->document.SetUntitled();
        window = std::make_unique<MainWindow>(*state, dialogs);
        window->Open();
        QApplication::setActiveWindow(window.get());
        if (!QTest::qWaitForWindowActive(window.get()))
            qFatal("the main window did not become active");
    }
    template <typename T> T *Field(const char *name) const
    {
        T *field = window->findChild<T *>(QString::fromLatin1(name));
        if (!field)
            qFatal("no field %s", name);
        return field;
    }
    // Gives `field` the focus, types `text` over its contents.
    void Type(QLineEdit *field, const QString &text) const
    {
        field->setFocus(Qt::TabFocusReason);
        field->selectAll(); // when it had the focus already
        QTest::keyClicks(field, text);
    }
};

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
  private slots:
    void afterStartUp()
    {
        Started s;
        QCOMPARE(s.window->windowTitle(), QStringLiteral("Untitled - Vireo"));
        QCOMPARE(s.window->Pages()->currentIndex(), 0);
        QCOMPARE(s.window->Pages()->tabText(0), QStringLiteral("Speed Dial"));
        QCOMPARE(s.Field<QComboBox>("Config2[0]")->count(), 7);
        QCOMPARE(s.Field<QLineEdit>("Config1[0]")->text(), QStringLiteral("0000")); // the image, shown
        QCOMPARE(QApplication::focusWidget(), s.Field<QLineEdit>("SpeedDial[0]"));
    }

    void enterCommits_data()
    {
        QTest::addColumn<int>("key");
        QTest::newRow("Return") << int(Qt::Key_Return);
        QTest::newRow("Enter on the keypad") << int(Qt::Key_Enter);
    }
    void enterCommits()
    {
        QFETCH(int, key);
        Started s;
        QLineEdit *primary = s.Field<QLineEdit>("Config1[0]");
        s.Type(primary, QStringLiteral("12"));
        QCOMPARE(s.state->model.Fields.Config1Text[0], QStringLiteral("0000")); // typing alone commits nothing
        QTest::keyClick(primary, Qt::Key(key));
        QCOMPARE(primary->text(), QStringLiteral("0012"));
        QCOMPARE(primary->cursorPosition(), 4);
        QVERIFY(!primary->hasSelectedText());
        QCOMPARE(QApplication::focusWidget(), primary);
        QVERIFY(s.state->model.DataEdited);

        QLineEdit *dial = s.Field<QLineEdit>("SpeedDial[3]");
        s.Type(dial, QStringLiteral("12ab3"));
        QTest::keyClick(dial, Qt::Key(key));
        QCOMPARE(dial->text(), QStringLiteral("123")); // letters go, the caret ends the digits
        QCOMPARE(dial->cursorPosition(), 3);

        QTest::mouseClick(primary, Qt::LeftButton); // entering a field selects all of it, clicked too
        QTRY_COMPARE(primary->selectedText(), QStringLiteral("0012"));
    }

    // Lower Block Decode carries Upper with it; an Upper outside Lower to
    // Lower + 19 falls back; both whether the field commits by Enter or by
    // losing the focus.
    void blockRules_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("byEnter");
        QTest::addColumn<QString>("lower");
        QTest::addColumn<QString>("upper");
        for (const bool enter : {true, false}) {
            const char *how = enter ? "Enter" : "focus-out";
            QTest::addRow("lower 0200 sets upper (%s)", how) << "Config1[2]" << "0200" << enter << "0200" << "0200";
            QTest::addRow("lower 0 empties upper (%s)", how) << "Config1[2]" << "0" << enter << "0000" << "";
            QTest::addRow("upper within 19 kept (%s)", how) << "Config1[3]" << "219" << enter << "0200" << "0219";
            QTest::addRow("upper past 19 falls back (%s)", how) << "Config1[3]" << "220" << enter << "0200" << "0200";
        }
    }
    void blockRules()
    {
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(bool, byEnter);
        QFETCH(QString, lower);
        QFETCH(QString, upper);
        Started s;
        QLineEdit *lowerField = s.Field<QLineEdit>("Config1[2]");
        s.Type(lowerField, QStringLiteral("0200"));
        QTest::keyClick(lowerField, Qt::Key_Return);
        auto *edited = s.window->findChild<QLineEdit *>(field);
        s.Type(edited, typed);
        if (byEnter)
            QTest::keyClick(edited, Qt::Key_Return);
        else
            s.Field<QLineEdit>("Config1[0]")->setFocus(Qt::MouseFocusReason);
        QCOMPARE(lowerField->text(), lower);
        QCOMPARE(s.Field<QLineEdit>("Config1[3]")->text(), upper);
    }

    // A menu or another window taking the focus is not a commit.
    void popupFocusLossKeepsTheEdit()
    {
        Started s;
        QLineEdit *primary = s.Field<QLineEdit>("Config1[0]");
        s.Type(primary, QStringLiteral("7"));
        QFocusEvent popup(QEvent::FocusOut, Qt::PopupFocusReason);
        QApplication::sendEvent(primary, &popup);
        QCOMPARE(s.state->model.Fields.Config1Text[0], QStringLiteral("0000"));
        QCOMPARE(primary->text(), QStringLiteral("7"));
        QFocusEvent tab(QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(primary, &tab);
        QCOMPARE(s.state->model.Fields.Config1Text[0], QStringLiteral("0007"));
    }

    // Tab visits every field of a page in order, each visit commits, and a
    // pass that types nothing leaves the document unedited.
    void tabbingThroughEveryField()
    {
        Started s;
        const auto visit = [&](const QStringList &names) {
            for (const QString &name : names) {
                QWidget *focused = QApplication::focusWidget();
                QCOMPARE(focused ? focused->objectName() : QString(), name);
                QTest::keyClick(focused, Qt::Key_Tab);
            }
        };
        QStringList speedDial, configuration;
        for (int i = 0; i < SpeedDialCount; ++i)
            speedDial << QStringLiteral("SpeedDial[%1]").arg(i);
        visit(speedDial + QStringList{speedDial.first()}); // back to the first: the page behind is out of reach
        for (int i = 0; i < Config1Count; ++i)
            configuration << QStringLiteral("Config1[%1]").arg(i);
        configuration << QStringLiteral("Config2[0]") << QStringLiteral("Config2[1]");
        for (int i = 0; i < Config3Count; ++i)
            configuration << QStringLiteral("Config3[%1]").arg(i);
        for (int i = 0; i < GroupCodeCount; ++i)
            configuration << QStringLiteral("GroupCode[%1]").arg(i);
        s.window->Pages()->setCurrentIndex(1);
        s.Field<QLineEdit>("Config1[0]")->setFocus(Qt::TabFocusReason);
        visit(configuration);
        QVERIFY(!s.state->model.DataEdited);
    }

    void checkBoxCommitsOnlyWhenLeft()
    {
        Started s;
        s.window->Pages()->setCurrentIndex(1);
        QCheckBox *box = s.Field<QCheckBox>("Config3[1]");
        box->setFocus(Qt::TabFocusReason);
        QTest::keyClick(box, Qt::Key_Space);
        QCOMPARE(s.state->model.Fields.Config3Value[1], std::int16_t(0)); // ticked, not yet committed
        QTest::keyClick(box, Qt::Key_Return);
        QCOMPARE(s.state->model.Fields.Config3Value[1], std::int16_t(1));
        QVERIFY(s.state->model.DataEdited);
        QCOMPARE(box->checkState(), Qt::Checked);
    }

    void keptOnTheScreen_data()
    {
        QTest::addColumn<int>("left");
        QTest::addColumn<bool>("atRightEdge");
        QTest::newRow("20000 twips: right edge on the screen's") << 20000 << true;
        QTest::newRow("-500 twips: at the left edge") << -500 << false;
    }
    void keptOnTheScreen()
    {
        QFETCH(int, left);
        QFETCH(bool, atRightEdge);
        Started s(left, 0);
        const QRect area = s.window->screen()->availableGeometry();
        const QRect frame = s.window->frameGeometry();
        QCOMPARE(frame.left(), atRightEdge ? area.right() + 1 - frame.width() : area.left());
        QCOMPARE(frame.width(), TwipScale::For(s.window.get()).Px(MainWindowWidth));
    }

    void toolbarShare()
    {
        Started s(300, 300);
        s.window->move(40, 30); // the user moves it; the move is remembered
        QTRY_COMPARE(s.state->options.WindowLeft, TwipScale::For(s.window.get()).Twips(40));
        const QRect shown = s.window->frameGeometry();
        const int tabTop = s.window->Pages()->y();
        const int toolbar = s.window->Toolbar()->height();
        QVERIFY(toolbar > 0);
        s.window->SetToolbarShown(false);
        QCOMPARE(s.window->frameGeometry(), shown.adjusted(0, 0, 0, -toolbar));
        QCOMPARE(s.window->Pages()->y(), tabTop - toolbar);
        QVERIFY(s.window->Toolbar()->isHidden());
        s.window->SetToolbarShown(true);
        QCOMPARE(s.window->frameGeometry(), shown);
        QCOMPARE(s.window->Pages()->y(), tabTop);
    }

    // A second start while one runs ends at once: no window, no message.
    void secondInstanceEndsSilently()
    {
        QTemporaryDir runtime;
        SingleInstance running(runtime.filePath(QStringLiteral("vireo.lock")));
        QVERIFY(running.IsFirst());
        QProcess second;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        second.setProcessEnvironment(env);
        second.start(QStringLiteral(VIREO_BIN_DIR "/vireo"), {});
        QVERIFY(second.waitForFinished(20000));
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);
        QCOMPARE(second.readAllStandardOutput() + second.readAllStandardError(), QByteArray());
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_main_window.moc"
