// SPDX-License-Identifier: GPL-3.0-or-later
// The window's commands as a user reaches them: the File menu and the
// toolbar, the COM port choice, the toolbar toggle, the close request, and
// clones run from the window against the simulated unit on a pseudo-terminal.
#include "app/scripted_dialogs.h"
#include "clone/clone_errors.h"
#include "model/settings_file.h"
#include "sim_process.h"
#include "test_files.h"
#include "ui/clone_progress_dialog.h"
#include "ui/main_window.h"

#include <QAction>
#include <QLineEdit>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>

#include <memory>

using namespace vireo;

namespace {

struct Started {
    QTemporaryDir dir;
    std::unique_ptr<ProgramState> state;
    test::ScriptedDialogs dialogs;
    std::unique_ptr<MainWindow> window;

    Started()
    {
        ProfileFile profile;
        profile.SetFullPath(dir.filePath(QStringLiteral("VIREO.ini")));
        state = std::make_unique<ProgramState>(profile);
        if (!StartUp(*state, QStringLiteral(VIREO_BIN_DIR "/VIREO.sts"), dialogs))
            qFatal("the shipped initial file did not load");
        window = std::make_unique<MainWindow>(*state, dialogs);
        window->Open();
        QApplication::setActiveWindow(window.get());
        if (!QTest::qWaitForWindowActive(window.get()))
            qFatal("the main window did not become active");
    }
    QAction *Button(const char *key) const { return window->Toolbar()->findChild<QAction *>(QLatin1String(key)); }
    QStringList MenuTexts(int menu) const
    {
        QStringList texts;
        for (const QAction *item : window->menuBar()->actions().at(menu)->menu()->actions())
            texts << (item->isSeparator() ? QStringLiteral("-") : item->text());
        return texts;
    }
    // Types into a field and leaves the focus in it: nothing committed yet.
    void TypeInto(const char *field, const QString &text) const
    {
        auto *edit = window->findChild<QLineEdit *>(QLatin1String(field));
        edit->setFocus(Qt::TabFocusReason);
        edit->selectAll();
        QTest::keyClicks(edit, text);
    }
};

QStringList ToolbarKeys(const QToolBar *toolbar)
{
    QStringList keys;
    for (const QAction *button : toolbar->actions())
        keys << (button->isSeparator() ? QStringLiteral("-") : button->objectName() + "=" + button->toolTip());
    return keys;
}

} // namespace

class TestWindowCommands : public QObject {
    Q_OBJECT
  private slots:
    void menusAndToolbar()
    {
        Started s;
        QCOMPARE(s.MenuTexts(0), QStringList({"&New", "&Open...", "&Save", "Save &As...", "-", "Recent File", "-",
                                              "&About Vireo...", "-", "E&xit"}));
        QCOMPARE(s.window->menuBar()->actions().at(0)->menu()->actions().at(2)->shortcut(),
                 QKeySequence(QStringLiteral("Ctrl+S")));
        QCOMPARE(s.MenuTexts(3), QStringList({"&Password", "-", "&Read <- TR", "&Write -> TR"}));
        const QStringList keys = ToolbarKeys(s.window->Toolbar());
        QCOMPARE(keys.size(), 12);
        QVERIFY(keys.first() == "KeyNew=New" && keys.at(3) == "-" && keys.last() == "KeyWrite=Clone Write");
        QVERIFY(keys.at(6).startsWith("KeyCOM3=COM3 (/dev/tty")); // the device COM3 stands for here
    }

    // Ctrl+S on an untitled document asks for a name, starting from "Untitled";
    // the edit still in its field is what gets saved.
    void saveFromTheKeyboard()
    {
        Started s;
        const QString path = s.dir.filePath(QStringLiteral("site"));
        s.dialogs.files << path;
        s.TypeInto("Config1[0]", QStringLiteral("12"));
        QTest::keySequence(s.window.get(), QKeySequence(QStringLiteral("Ctrl+S")));
        QCOMPARE(s.dialogs.fileDialogs.value(0).section('|', 0, 1), QStringLiteral("Save|Untitled"));
        UnitModel saved;
        QCOMPARE(LoadDataFile(path, saved).value(), LoadStatus::Loaded);
        QCOMPARE(saved.UnitImage, s.state->model.UnitImage);
        QCOMPARE(s.window->findChild<QLineEdit *>("Config1[0]")->text(), QStringLiteral("0012"));
        QVERIFY(!s.state->model.DataEdited);
        QCOMPARE(s.window->windowTitle(), QStringLiteral("site - Vireo"));
    }

    void comPortChoice()
    {
        Started s;
        s.window->menuBar()->actions().at(2)->menu()->actions().at(2)->trigger(); // COM &3
        QStringList pressed;
        for (int n = 1; n <= 4; ++n)
            if (s.Button(qPrintable(QStringLiteral("KeyCOM%1").arg(n)))->isChecked())
                pressed << QString::number(n);
        QCOMPARE(pressed, QStringList{"3"});
        s.Button("KeyCOM3")->trigger(); // the pressed one clicked again stays pressed
        QVERIFY(s.Button("KeyCOM3")->isChecked());
        s.state->ConfiguredPorts[2] = s.dir.filePath(QStringLiteral("no-such-device"));
        s.dialogs.next = AnswerOk;
        s.Button("KeyWrite")->trigger(); // the next clone uses COM3
        QCOMPARE(s.dialogs.texts.value(1), CloneErrorText(CloneResult::PortFailed, 3));
        s.dialogs.next = AnswerNo;
        QVERIFY(s.window->close());
        QVERIFY(test::ReadFile(s.dir.filePath(QStringLiteral("VIREO.ini"))).contains("Port=3"));
    }

    void toolbarToggledTwice()
    {
        Started s;
        const QRect before = s.window->frameGeometry();
        QAction *toggle = s.window->menuBar()->actions().at(1)->menu()->actions().at(0);
        toggle->trigger();
        QVERIFY(!toggle->isChecked() && s.window->Toolbar()->isHidden());
        toggle->trigger();
        QCOMPARE(s.window->frameGeometry(), before);
        QVERIFY(toggle->isChecked());
    }

    // Closing with edits: Cancel keeps the window and the committed edit; No
    // ends without saving the data but still writes the profile.
    void closeWithEdits()
    {
        Started s;
        s.TypeInto("SpeedDial[0]", QStringLiteral("555"));
        s.dialogs.next = AnswerCancel;
        QVERIFY(!s.window->close());
        QVERIFY(s.window->isVisible());
        QCOMPARE(s.state->model.Fields.SpeedDialText[0], QStringLiteral("555"));
        QCOMPARE(s.dialogs.texts, QStringList{"Save changes to Untitled?"});
        QVERIFY(!QFile::exists(s.dir.filePath(QStringLiteral("VIREO.ini"))));
        s.dialogs.next = AnswerNo;
        QVERIFY(s.window->close());
        QVERIFY(s.dialogs.fileDialogs.isEmpty());
        QVERIFY(test::ReadFile(s.dir.filePath(QStringLiteral("VIREO.ini"))).contains("[RecentFiles]"));
    }

    // Whole clones from the window's commands over a pseudo-terminal.
    void cloneReadAndWrite()
    {
        QTemporaryDir dir;
        const QString unitFile = dir.filePath(QStringLiteral("unit.st2"));
        QByteArray unitWords = test::ReadFile(QStringLiteral(VIREO_BIN_DIR "/VIREO.sts"));
        unitWords.replace(0, 4, "0123"); // the unit's first speed dial differs from the initial file
        QVERIFY(test::WriteFile(unitFile, unitWords));
        const QString saved = dir.filePath(QStringLiteral("written.st2"));
        test::Sim sim({"--baud", "0", "--memory", unitFile, "--save", saved});
        Started s;
        s.state->ConfiguredPorts[0] = sim.Device();

        s.Button("KeyRead")->trigger();
        UnitModel unit;
        QCOMPARE(LoadDataFile(unitFile, unit).value(), LoadStatus::Loaded);
        QCOMPARE(s.state->model.UnitImage, unit.UnitImage);
        QCOMPARE(s.window->windowTitle(), QStringLiteral("Untitled - Vireo"));
        QVERIFY(s.dialogs.texts.isEmpty()); // clean: no prompt, and no error

        s.TypeInto("SpeedDial[1]", QStringLiteral("4711"));
        s.Button("KeyWrite")->trigger();
        QCOMPARE(s.dialogs.texts, QStringList{"Write to transceiver."});
        QTRY_VERIFY(QFile::exists(saved));
        UnitModel written;
        QCOMPARE(LoadDataFile(saved, written).value(), LoadStatus::Loaded);
        QCOMPARE(written.UnitImage, s.state->model.UnitImage); // the edit in the field went too
    }

    // A run that fails shows its one error box and leaves the document alone;
    // closing the progress window cancels a run, and the unit hears the abort.
    void cloneFailedAndCancelled()
    {
        test::Sim sim({"--baud", "1200"});
        Started s;
        const UnitWords image = s.state->model.UnitImage;
        s.state->ConfiguredPorts[0] = s.dir.filePath(QStringLiteral("no-such-device"));
        s.Button("KeyRead")->trigger();
        QCOMPARE(s.dialogs.texts, QStringList{CloneErrorText(CloneResult::PortFailed, 1)});

        s.state->ConfiguredPorts[0] = sim.Device();
        QTimer::singleShot(300, s.window->Progress(), [&s] { s.window->Progress()->close(); });
        s.Button("KeyRead")->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(sim.Log().contains("aborted by the program"), 10000);
        QCOMPARE(s.dialogs.texts.size(), 1); // no box for a cancelled run
        QCOMPARE(s.state->model.UnitImage, image);
        QCOMPARE(s.window->windowTitle(), QStringLiteral("Untitled - Vireo"));
    }
};

QTEST_MAIN(TestWindowCommands)
#include "tst_window_commands.moc"
