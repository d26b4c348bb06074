// SPDX-License-Identifier: GPL-3.0-or-later
// The main window as a user meets it: what it shows after start-up, when a
// field commits, the focus order, the legend and the empty-field colour,
// placement on the screen, the toolbar's share of the height, one instance
// per user, the commands by their actions, the COM port choice, the close
// request and the session's end, and clones run from the window against the
// simulated unit on a pseudo-terminal.
#include "app/scripted_dialogs.h"
#include "app/single_instance.h"
#include "clone/clone_errors.h"
#include "model/settings_file.h"
#include "sim_process.h"
#include "test_files.h"
#include "ui/clone_progress_dialog.h"
#include "ui/settings_pages.h"
#include "ui/window_program.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProcess>
#include <QScreen>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>

#include <memory>

using namespace vireo;

namespace {

// A fresh start on the shipped initial file, with the profile in a temporary folder.
struct Started {
    QTemporaryDir dir;
    std::unique_ptr<ProgramState> state;
    test::ScriptedDialogs dialogs;
    std::unique_ptr<MainWindow> window;

    explicit Started(qint32 left = 0, qint32 top = 0)
    {
        ProfileFile profile;
        profile.SetFullPath(dir.filePath(QStringLiteral("VIREO.ini")));
        state = std::make_unique<ProgramState>(profile);
        if (!StartUp(*state, test::ShippedFile, dialogs))
            qFatal("the shipped initial file did not load");
        state->options.WindowLeft = left;
        state->options.WindowTop = top;
        window = std::make_unique<MainWindow>(*state, dialogs);
        window->ShowAtStartUp();
        QApplication::setActiveWindow(window.get());
        if (!QTest::qWaitForWindowActive(window.get()))
            qFatal("the main window did not become active");
    }
    template <typename T = QLineEdit> T *Field(const char *name) const
    {
        return window->findChild<T *>(name);
    }
    // Gives a text field the focus and types over its contents; nothing is committed yet.
    QLineEdit *Type(const char *name, const QString &text) const
    {
        QLineEdit *field = Field(name);
        field->setFocus(Qt::TabFocusReason);
        field->selectAll(); // when it had the focus already
        QTest::keyClicks(field, text);
        return field;
    }
    QAction *Action(const char *name) const { return window->findChild<QAction *>(name); }
    // The toolbar's actions in order, "*" after a pressed one, "-" for a separator.
    QStringList ToolbarState() const
    {
        QStringList names;
        for (const QAction *b : window->Toolbar()->actions())
            names << (b->isSeparator() ? QStringLiteral("-") : b->objectName() + (b->isChecked() ? "*" : ""));
        return names;
    }
    // The shown items of the menu that holds the named action, "-" for a separator.
    QStringList MenuOf(const char *action) const
    {
        QStringList texts;
        for (QObject *holder : Action(action)->associatedObjects())
            if (auto *menu = qobject_cast<QMenu *>(holder))
                for (const QAction *item : menu->actions())
                    if (item->isVisible())
                        texts << (item->isSeparator() ? QStringLiteral("-") : item->text());
        return texts;
    }
};

// A session manager as the desktop hands it over when the session ends.
struct Session {
    bool interactive, released = false, cancelled = false;
    bool allowsInteraction() const { return interactive; }
    void release() { released = true; }
    void cancel() { cancelled = true; }
};

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
  private slots:
    // The caption, the page in front, the focus, the menus and the toolbar, one action per command.
    void afterStartUp()
    {
        Started s;
        QCOMPARE(s.window->windowTitle(), QStringLiteral("Untitled - Vireo"));
        QCOMPARE(s.window->Pages()->currentWidget()->objectName(), QStringLiteral("speedDialPage"));
        QCOMPARE(s.Field("Config1[0]")->text(), QStringLiteral("0000")); // the image, shown
        QCOMPARE(QApplication::focusWidget(), s.Field("SpeedDial[0]"));
        QCOMPARE(s.MenuOf("fileNewAction"),
                 QStringList({"&New", "&Open...", "&Save", "Save &As...", "-", "Recent File", "-",
                              "&About Vireo...", "-", "E&xit"}));
        QVERIFY(!s.Action("recentFile1Action")->isEnabled());
        QCOMPARE(s.MenuOf("viewToolbarAction"), QStringList{"&Toolbar"});
        QCOMPARE(s.MenuOf("comPort4Action"), QStringList({"COM&1", "COM&2", "COM&3", "COM&4"}));
        QCOMPARE(s.MenuOf("cloneReadAction"), QStringList({"&Password", "-", "&Read <- TR", "&Write -> TR"}));
        QCOMPARE(s.Action("fileSaveAction")->shortcut(), QKeySequence(QStringLiteral("Ctrl+S")));
        QCOMPARE(s.ToolbarState(),
                 QStringList({"fileNewAction", "fileOpenAction", "fileSaveAction", "-", "comPort1Action*",
                              "comPort2Action", "comPort3Action", "comPort4Action", "-",
                              "clonePasswordAction", "cloneReadAction", "cloneWriteAction"}));
        QCOMPARE(s.Action("cloneWriteAction")->toolTip(), QStringLiteral("Clone Write"));
        QSet<QByteArray> pictures; // ten buttons, ten different pictures
        for (const QAction *button : s.window->Toolbar()->actions()) {
            const QImage p = button->icon().pixmap(16).toImage();
            if (!button->isSeparator())
                pictures << QByteArray(reinterpret_cast<const char *>(p.constBits()), p.sizeInBytes());
        }
        QCOMPARE(pictures.size(), 10);
        QVERIFY(s.window->Toolbar()
                    ->widgetForAction(s.Action("cloneWriteAction"))
                    ->isVisible());                        // not folded away
        const QString behindCom3 = DefaultSerialDevice(3); // a Windows port is its own device
        QVERIFY(s.Action("comPort3Action")
                    ->toolTip()
                    .startsWith(behindCom3 == "COM3" ? "COM3" : "COM3 (" + behindCom3));
    }

    // Return and keypad Enter commit, keep the focus and put the caret at the end; a
    // click elsewhere commits too (the block rules themselves: the field binding's test).
    void commits()
    {
        for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_unknown}) {
            Started s;
            QLineEdit *primary = s.Type("Config1[0]", QStringLiteral("12"));
            QFocusEvent popup(QEvent::FocusOut, Qt::PopupFocusReason); // a menu taking the focus is no commit
            QApplication::sendEvent(primary, &popup);
            QCOMPARE(s.state->model.Fields.ConfigTexts[0], QStringLiteral("0000")); // typing commits nothing
            key == Qt::Key_unknown ? s.Field("Config1[1]")->setFocus(Qt::MouseFocusReason)
                                   : QTest::keyClick(primary, key);
            QCOMPARE(primary->text(), QStringLiteral("0012"));
            QVERIFY(s.state->model.DataEdited);
            if (key != Qt::Key_unknown)
                QVERIFY(primary->cursorPosition() == 4 && !primary->hasSelectedText() &&
                        QApplication::focusWidget() == primary);
        }
        Started s;
        QLineEdit *secondary = s.Field("Config1[1]");
        QTest::mouseClick(secondary, Qt::LeftButton); // entering a field selects all of it, clicked too
        QTRY_COMPARE(secondary->selectedText(), secondary->text());
        QVERIFY(!secondary->text().isEmpty());
    }

    // Tab visits every field of a page in order, each visit commits, and a
    // pass that types nothing leaves the document unedited; a check box
    // commits on Return, not when ticked.
    void tabbingThroughEveryField()
    {
        Started s;
        const auto visit = [](const char *array, int count) {
            for (int i = 0; i < count; ++i) {
                QWidget *focused = QApplication::focusWidget();
                QCOMPARE(focused ? focused->objectName() : QString(),
                         QStringLiteral("%1[%2]").arg(QLatin1String(array)).arg(i));
                QTest::keyClick(focused, Qt::Key_Tab);
            }
        };
        visit("SpeedDial", SpeedDialCount);
        visit("SpeedDial", 1); // back to the first after the last: the page behind is out of reach
        s.window->Pages()->setCurrentIndex(1);
        s.Field("Config1[0]")->setFocus(Qt::TabFocusReason);
        visit("Config1", ConfigTextCount);
        visit("Config2", ConfigListCount);
        visit("Config3", ConfigOptionCount);
        visit("GroupCode", GroupCodeCount);
        QVERIFY(!s.state->model.DataEdited);

        QCheckBox *box = s.Field<QCheckBox>("Config3[1]");
        box->setFocus(Qt::TabFocusReason);
        QTest::keyClick(box, Qt::Key_Space);
        QCOMPARE(s.state->model.Fields.ConfigOptionValue[1], std::int16_t(0)); // ticked, not yet committed
        QTest::keyClick(box, Qt::Key_Return);
        QCOMPARE(s.state->model.Fields.ConfigOptionValue[1], std::int16_t(1));
        QVERIFY(s.state->model.DataEdited && box->checkState() == Qt::Checked);
    }

    // The legend's rules in the base colour on the page, at 96 dots per inch:
    // the heading band's rule at y 212, the row rules 16 pixels apart down to
    // 308, the edges at x 304 and 508 and the divider at 351; its labels in
    // their cells.
    void routingLegendDrawn()
    {
        Started s;
        QWidget *page = s.window->findChild<QWidget *>("speedDialPage");
        QCOMPARE(page->logicalDpiX(), 96);
        const QImage image = page->grab().toImage();
        const QRgb rule = qRgb(255, 255, 255);
        for (const QPoint at : {QPoint(340, 184), QPoint(340, 212), QPoint(340, 228), QPoint(340, 308),
                                QPoint(304, 250), QPoint(351, 250), QPoint(508, 250)})
            QCOMPARE(image.pixel(at), rule);
        for (const QPoint at : {QPoint(340, 220), QPoint(340, 300), QPoint(340, 312), QPoint(300, 250)})
            QVERIFY(image.pixel(at) != rule);
        const auto inked = [&](QRect cell) { // dark pixels: text
            int count = 0;
            for (int y = cell.top(); y <= cell.bottom(); ++y)
                for (int x = cell.left(); x <= cell.right(); ++x)
                    count += qGray(image.pixel(x, y)) < 128;
            return count;
        };
        QVERIFY(inked(QRect(353, 214, 150, 13)) > 20); // "Subscriber to Landline 1"
        QVERIFY(inked(QRect(306, 214, 44, 13)) > 3);   // "1"
        QCOMPARE(inked(QRect(306, 310, 44, 13)), 0);   // under the legend: nothing
        QCOMPARE(s.window->findChild<QLabel *>("routingDestination0")->text(), "Subscriber to Landline 1");
        QCOMPARE(s.window->findChild<QLabel *>("routingCode4")->text(), "9");
        QCOMPARE(s.window->findChild<QLabel *>("routingHeading2")->text(), "Destination");
    }

    // An empty code field is painted in the menu colour, a filled one in the
    // normal base; a commit repaints.
    void emptyCodeFieldsInTheMenuColour()
    {
        Started s;
        const QColor menu = QApplication::palette("QMenu").color(QPalette::Window);
        const QColor base = QApplication::palette(s.Field("GroupCode[0]")).color(QPalette::Base);
        QVERIFY(menu != base);
        const auto fill = [&](const char *name) { return s.Field(name)->palette().color(QPalette::Base); };
        QCOMPARE(fill("GroupCode[0]"), base);
        QCOMPARE(fill("Config1[0]"), base);
        QCOMPARE(fill("GroupCode[1]"), menu);
        QCOMPARE(fill("Config1[3]"), menu);   // upper block decode, empty in the initial file
        QCOMPARE(fill("SpeedDial[0]"), base); // speed dials are never painted
        QTest::keyClick(s.Type("GroupCode[1]", QStringLiteral("5")), Qt::Key_Return);
        QCOMPARE(s.Field("GroupCode[1]")->text(), QStringLiteral("0005"));
        QCOMPARE(fill("GroupCode[1]"), base);
    }

    // Kept on the screen: 20000 twips puts the right edge on the screen's (the rule's other
    // cases: the window geometry test).
    void keptOnTheScreen()
    {
        Started s(20000, 0);
        const QRect area = s.window->screen()->availableGeometry(), frame = s.window->frameGeometry();
        QCOMPARE(frame.right(), area.right());
        QCOMPARE(frame.width(), 576);
    }

    void toolbarShare()
    {
        Started s(300, 300);
        s.window->move(40, 30); // the user moves it; the move is remembered
        QTRY_COMPARE(s.state->options.WindowLeft, 600);
        const QRect shown = s.window->frameGeometry();
        const int tabTop = s.window->Pages()->y(), toolbar = s.window->Toolbar()->height();
        QAction *toggle = s.Action("viewToolbarAction");
        toggle->trigger();
        QVERIFY(toolbar == 28 && !toggle->isChecked() && s.window->Toolbar()->isHidden());
        QCOMPARE(s.window->frameGeometry(), shown.adjusted(0, 0, 0, -toolbar));
        QCOMPARE(s.window->Pages()->y(), tabTop - toolbar);
        toggle->trigger();
        QCOMPARE(s.window->frameGeometry(), shown);
        QCOMPARE(s.window->Pages()->y(), tabTop);
    }

    // A second start while one runs ends at once: no window, no message.
    void secondInstanceEndsSilently()
    {
        QTemporaryDir runtime; // where the lock lives on Linux (Windows: in the logon session)
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
        SingleInstance running;
        QCOMPARE(running.Acquire().value(), InstanceState::First);
        QProcess second;
        second.start(QStringLiteral(VIREO_BIN_DIR "/vireo"), {});
        QVERIFY(second.waitForFinished(20000));
        QVERIFY(second.exitStatus() == QProcess::NormalExit && second.exitCode() == 0);
        QCOMPARE(second.readAllStandardOutput() + second.readAllStandardError(), QByteArray());
    }

    // Ctrl+S on an untitled document saves under the name chosen, the edit still in its
    // field too (with the block rule of the field that had the focus), and the caption
    // and the first recent-file entry follow.
    void saveFromTheKeyboard()
    {
        Started s;
        const QString site = s.dir.filePath(QStringLiteral("site"));
        s.dialogs.files << site;
        s.Type("Config1[2]", QStringLiteral("200")); // Lower block decode, carrying Upper with it
        QTest::keySequence(s.window.get(), QKeySequence(QStringLiteral("Ctrl+S")));
        QCOMPARE(s.Field("Config1[3]")->text(), QStringLiteral("0200"));
        QCOMPARE(test::ReadFile(site), SettingsFileText(s.state->model.UnitImage));
        QCOMPARE(s.window->windowTitle(), QStringLiteral("site - Vireo"));
        QAction *recent = s.Action("recentFile1Action");
        QVERIFY(recent->isEnabled() && !s.Action("recentFile2Action")->isVisible());
        QCOMPARE(recent->text(), QStringLiteral("&1 site"));
        QCOMPARE(recent->data().toString(), site);
    }

    // COM3 chosen in the menu presses its button (clicked again, it stays
    // pressed) and is the next clone's port. The session's end with an edit:
    // without leave to ask, nothing; Cancel keeps the window and the
    // committed edit, as the close box does; No ends without saving the data
    // but writes the profile, COM3 in it.
    void comPortChoiceAndSessionEnd()
    {
        Started s;
        s.Action("comPort3Action")->trigger();
        s.Action("comPort3Action")->trigger();
        QCOMPARE(s.ToolbarState().filter("*"), QStringList{"comPort3Action*"});
        s.state->configuredPorts[2] = s.dir.filePath(QStringLiteral("no-such-device"));
        s.Action("cloneWriteAction")->trigger();
        QCOMPARE(s.dialogs.texts.last(), CloneErrorText(CloneResult::PortFailed, 3)); // names COM3

        s.Type("SpeedDial[0]", QStringLiteral("555"));
        Session quiet{false};
        AnswerSessionEnd(*s.window, quiet);
        QVERIFY(!quiet.released && !quiet.cancelled && s.window->isVisible());
        QCOMPARE(s.dialogs.texts.size(), 2); // the write's confirmation and its failure
        s.dialogs.next = AnswerCancel;
        Session cancelled{true};
        AnswerSessionEnd(*s.window, cancelled);
        QVERIFY(cancelled.released && cancelled.cancelled && s.window->isVisible());
        QCOMPARE(s.state->model.Fields.SpeedDialText[0], QStringLiteral("555"));
        QCOMPARE(s.dialogs.texts.last(), QStringLiteral("Save changes to Untitled?"));
        QVERIFY(!s.window->close() && s.dialogs.texts.size() == 4);
        QVERIFY(!QFile::exists(s.dir.filePath(QStringLiteral("VIREO.ini"))));
        s.dialogs.next = AnswerNo;
        Session ended{true};
        AnswerSessionEnd(*s.window, ended);
        QVERIFY(ended.released && !ended.cancelled && !s.window->isVisible());
        QVERIFY(s.dialogs.fileDialogs.isEmpty());
        QVERIFY(test::ReadFile(s.dir.filePath(QStringLiteral("VIREO.ini"))).contains("Port=3\r\n"));
    }

    // Whole clones from the window's commands over a pseudo-terminal.
    void cloneReadAndWrite()
    {
        VIREO_SKIP_ON_WINDOWS("the simulated unit needs a pseudo-terminal");
        Started s;
        QByteArray unitWords = test::ReadFile(test::ShippedFile);
        unitWords.replace(0, 4, "0123"); // the unit's first word differs from the initial file's
        const QString unitFile = s.dir.filePath(QStringLiteral("unit.st2"));
        const QString saved = s.dir.filePath(QStringLiteral("written.st2"));
        QVERIFY(test::WriteFile(unitFile, unitWords));
        test::Sim sim({"--baud", "0", "--memory", unitFile, "--save", saved});
        s.state->configuredPorts[0] = sim.Device();

        s.Action("cloneReadAction")->trigger();
        QCOMPARE(s.state->model.UnitImage[0], std::uint16_t(0x0123));

        s.Type("SpeedDial[1]", QStringLiteral("4711"));
        s.Action("cloneWriteAction")->trigger();
        QTRY_VERIFY(QFile::exists(saved));
        UnitModel written;
        QCOMPARE(LoadDataFile(saved, written).value(), LoadStatus::Loaded);
        QCOMPARE(written.UnitImage, s.state->model.UnitImage);
        QCOMPARE(s.state->model.Fields.SpeedDialText[1], QStringLiteral("4711")); // taken from its field
    }

    // Closing the progress window cancels a run: the unit hears the abort, no
    // box is shown and the image stays (a failed run's box: comPortChoiceAndSessionEnd).
    void cloneCancelled()
    {
        VIREO_SKIP_ON_WINDOWS("the simulated unit needs a pseudo-terminal");
        test::Sim sim({"--baud", "1200"});
        Started s;
        const UnitWords image = s.state->model.UnitImage;
        s.state->configuredPorts[0] = sim.Device();
        int barWidth = 0;
        QTimer::singleShot(300, s.window->Progress(), [&] {
            barWidth =
                s.window->Progress()->findChild<QWidget *>(QStringLiteral("cloneProgressBar"))->width();
            s.window->Progress()->close();
        });
        s.Action("cloneReadAction")->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(sim.Log().contains("aborted by the program"), 10000);
        QVERIFY(s.dialogs.texts.isEmpty()); // no box for a cancelled run
        QCOMPARE(barWidth, 282);            // (4470 - 2 * 120) twips: window width less margins
        QCOMPARE(s.state->model.UnitImage, image);
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_main_window.moc"
