// SPDX-License-Identifier: GPL-3.0-or-later
// The main window as a user meets it: layout, commits, focus, commands, session end, clones.
#include "app/scripted_dialogs.h"
#include "app/single_instance.h"
#include "base/program_folders.h"
#include "model/field_codecs.h"
#include "model/settings_file.h"
#include "sim_process.h"
#include "test_files.h"
#include "ui/clone_progress_dialog.h"
#include "ui/settings_pages.h"
#include "ui/window_program.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QDialog>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScopeGuard>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>

#include <memory>

using namespace vireo;

namespace {

// A fresh start on the shipped initial file, with the profile in a temporary folder.
struct Started {
    QTemporaryDir dir;
    std::unique_ptr<ProgramState> state;
    test::ScriptedDialogs dialogs;
    std::unique_ptr<MainWindow> window;

    explicit Started(const QString &firstSpeedDial = {})
    {
        ProfileFile profile;
        profile.SetFullPath(dir.filePath(QStringLiteral("VIREO.ini")));
        state = std::make_unique<ProgramState>(profile);
        if (!StartUp(*state, test::ShippedFile, dialogs))
            qFatal("the shipped initial file did not load");
        state->model.Fields.SpeedDialText[0] = firstSpeedDial;
        FieldsToImage(state->model.Fields, state->model.UnitImage);
        window = std::make_unique<MainWindow>(*state, dialogs);
        window->ShowAtStartUp();
        QApplication::setActiveWindow(window.get());
        if (!QTest::qWaitForWindowActive(window.get()))
            qFatal("the main window did not become active");
    }
    QLineEdit *Field(const char *name) const { return window->findChild<QLineEdit *>(name); }
    // Types over a text field's contents with the focus in it; nothing is committed yet.
    QLineEdit *Type(const char *name, const QString &text) const
    {
        QLineEdit *field = Field(name);
        field->setFocus(Qt::TabFocusReason);
        field->selectAll(); // when it had the focus already
        QTest::keyClicks(field, text);
        return field;
    }
    QAction *Action(const char *name) const { return window->findChild<QAction *>(name); }
    // Toolbar action names, or a menu's captions: "*" checked, " off" disabled, "-" a separator.
    QStringList Shown(const char *menuAction = nullptr) const
    {
        QStringList shown;
        const auto *menu =
            menuAction ? qobject_cast<QMenu *>(Action(menuAction)->associatedObjects().at(0)) : nullptr;
        for (const QAction *a : menu ? menu->actions() : window->Toolbar()->actions())
            if (a->isVisible())
                shown << (a->isSeparator()
                              ? QStringLiteral("-")
                              : (menu ? a->text() : a->objectName()) + (a->isChecked() ? "*" : "") +
                                    (a->isEnabled() ? "" : " off"));
        return shown;
    }
};

class UrlCatcher : public QObject {
    Q_OBJECT
  public:
    QList<QUrl> urls;
  public slots:
    void open(const QUrl &url) { urls << url; }
};

struct Session { // a session manager as the desktop hands it over when the session ends
    bool interactive, released = false, cancelled = false;
    bool allowsInteraction() const { return interactive; }
    void release() { released = true; }
    void cancel() { cancelled = true; }
};

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
  private slots:
    // Caption, front page, menus and toolbar by action; the legend's rules and labels;
    // empty code fields in the menu colour; the toolbar's height; a move remembered, kept on screen.
    void afterStartUp()
    {
        // The first field has the focus with its text selected: typing replaces it.
        {
            const Started first(QStringLiteral("123"));
            QTest::keyClicks(first.Field("SpeedDial[0]"), QStringLiteral("9"));
            QCOMPARE(first.Field("SpeedDial[0]")->text(), QStringLiteral("9"));
        }
        Started s;
        QCOMPARE(s.window->windowTitle(), QStringLiteral("Untitled - Vireo"));
        QCOMPARE(s.window->Pages()->currentWidget()->objectName(), QStringLiteral("speedDialPage"));
        QCOMPARE(s.Shown("fileNewAction"),
                 QStringList({"&New", "&Open...", "&Save", "Save &As...", "-", "Recent File off", "-",
                              "&About Vireo...", "-", "E&xit"}));
        QCOMPARE(s.Shown("viewToolbarAction") + s.Shown("comPort4Action"),
                 QStringList({"&Toolbar*", "COM&1*", "COM&2", "COM&3", "COM&4"}));
        QCOMPARE(
            s.Shown("cloneReadAction"),
            QStringList({"&Password", "-", "&Read <- TR", "&Write -> TR", "-", "Compare with &Unit...", "-",
                         "Check &After Write*", "&Back Up Before Write", "-", "Port &Settings..."}));
        QCOMPARE(s.Shown(),
                 QStringList({"fileNewAction", "fileOpenAction", "fileSaveAction", "-", "comPort1Action*",
                              "comPort2Action", "comPort3Action", "comPort4Action", "-",
                              "clonePasswordAction", "cloneReadAction", "cloneWriteAction"}));
        QCOMPARE(s.Action("cloneWriteAction")->toolTip(), QStringLiteral("Clone Write"));
        QVERIFY(
            s.window->Toolbar()->widgetForAction(s.Action("cloneWriteAction"))->isVisible()); // not folded
        const QString com3 = s.Action("comPort3Action")->toolTip(), behind = DefaultSerialDevice(3);
        QVERIFY(com3.startsWith(behind == "COM3" ? behind : "COM3 (" + behind)); // COM3 on Windows
        s.state->configuredPorts[2] = QStringLiteral("/dev/plugged-in-later");   // tips follow the devices
        QHelpEvent tip(QEvent::ToolTip, QPoint(1, 1), s.window->Toolbar()->mapToGlobal(QPoint(1, 1)));
        QApplication::sendEvent(s.window->Toolbar(), &tip);
        QCOMPARE(s.Action("comPort3Action")->toolTip(), QStringLiteral("COM3 (/dev/plugged-in-later)"));

        QWidget *page = s.window->findChild<QWidget *>("speedDialPage");
        const QImage image = page->grab().toImage(); // the heading band's rule and the divider
        QVERIFY(image.pixel(340, 212) == qRgb(255, 255, 255) && image.pixel(351, 250) == qRgb(255, 255, 255));
        const auto label = [&](const char *name) {
            const auto *shown = page->findChild<QLabel *>(name);
            const QPoint at = shown->mapTo(page, QPoint());
            return QStringLiteral("%1 at %2,%3").arg(shown->text()).arg(at.x()).arg(at.y());
        };
        QCOMPARE(label("routingHeading0"), "Routing at 307,184");
        QCOMPARE(label("routingCode4"), "9 at 324,277");
        QCOMPARE(label("routingDestination0"), "Subscriber to Landline 1 at 356,213");
        const QColor menu = QApplication::palette("QMenu").color(QPalette::Window);
        const QColor base = QApplication::palette(s.Field("GroupCode[0]")).color(QPalette::Base);
        const auto fill = [&](const char *name) { return s.Field(name)->palette().color(QPalette::Base); };
        QVERIFY(menu != base && fill("GroupCode[0]") == base && fill("Config1[0]") == base);
        QVERIFY(fill("GroupCode[1]") == menu && fill("Config1[3]") == menu); // empty in the initial file
        QCOMPARE(fill("SpeedDial[0]"), base);                                // speed dials are never painted
        QTest::keyClick(s.Type("GroupCode[1]", QStringLiteral("5")), Qt::Key_Return);
        QCOMPARE(fill("GroupCode[1]"), base);
        s.window->move(40, 30);
        QTRY_COMPARE(s.state->options.WindowLeft, 600);
        QTRY_COMPARE(s.window->frameGeometry().size(), QSize(576, 443)); // frame and all, from the start
        const QRect shown = s.window->frameGeometry(); // 28 pixels of toolbar, the pages 32 down
        s.Action("viewToolbarAction")->trigger();
        QVERIFY(!s.Action("viewToolbarAction")->isChecked() && s.window->Toolbar()->isHidden());
        QVERIFY(s.window->frameGeometry() == shown.adjusted(0, 0, 0, -28) && s.window->Pages()->y() == 4);
        s.Action("viewToolbarAction")->trigger();
        QVERIFY(s.window->frameGeometry() == shown && s.window->Pages()->y() == 32);
        s.state->options.WindowLeft = 20000;
        s.window->LayoutMainWindow();
        QVERIFY(s.window->frameGeometry().right() == s.window->screen()->availableGeometry().right() &&
                s.window->frameGeometry().width() == 576);
    }

    // Return, keypad Enter and a click elsewhere commit; the keys keep the focus, caret at the end.
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
            QVERIFY(primary->text() == "0012" && s.state->model.DataEdited);
            QVERIFY(key == Qt::Key_unknown ||
                    (primary->cursorPosition() == 4 && !primary->hasSelectedText() &&
                     QApplication::focusWidget() == primary));
        }
    }

    // Tab visits every field in order without editing; a check box commits on Return, not ticked.
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

        QCheckBox *box = s.window->findChild<QCheckBox *>("Config3[1]");
        box->setFocus(Qt::TabFocusReason);
        QTest::keyClick(box, Qt::Key_Space);
        QCOMPARE(s.state->model.Fields.ConfigOptionValue[1], std::int16_t(0)); // ticked, not yet committed
        QTest::keyClick(box, Qt::Key_Return);
        QVERIFY(s.state->model.Fields.ConfigOptionValue[1] == 1 && s.state->model.DataEdited &&
                box->isChecked());
        QTest::mouseClick(s.Field("Config1[1]"), Qt::LeftButton); // entering by a click selects all too
        QTRY_COMPARE(s.Field("Config1[1]")->selectedText(), QStringLiteral("0000"));
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
        QVERIFY(second.waitForFinished(20000) && second.exitStatus() == QProcess::NormalExit &&
                second.exitCode() == 0);
        QCOMPARE(second.readAllStandardOutput() + second.readAllStandardError(), QByteArray());
    }

    // Ctrl+S saves the uncommitted edit under the chosen name; COM3 is the next clone's port; the
    // session's end: Cancel keeps the window; without leave to ask it ends, nothing asked, profile written.
    void saveComPortAndSessionEnd()
    {
        Started s;
        const QString site = s.dir.filePath(QStringLiteral("site"));
        s.dialogs.files << site;
        s.Type("Config1[2]", QStringLiteral("200")); // Lower block decode, carrying Upper with it
        QTest::keySequence(s.window.get(), QKeySequence(QStringLiteral("Ctrl+S")));
        const QByteArray saved = test::ReadFile(site); // words 10 and 22: lower and upper block
        QVERIFY(saved.size() == 99 * 6 && saved.mid(10 * 6, 4) == "0002" && saved.mid(22 * 6, 4) == "0002");
        QCOMPARE(s.Shown("fileNewAction").at(5), QStringLiteral("&1 site")); // the only recent file
        QCOMPARE(s.Action("recentFile1Action")->data().toString(), site);
        s.Action("comPort3Action")->trigger();
        s.Action("comPort3Action")->trigger();
        QCOMPARE(s.Shown().filter("*"), QStringList{"comPort3Action*"});
        s.state->configuredPorts[2] = s.dir.filePath(QStringLiteral("no-such-device"));
        s.Action("cloneWriteAction")->trigger();
        QVERIFY(s.dialogs.texts.last().startsWith("Cannot access COM3."));
        s.Type("SpeedDial[0]", QStringLiteral("555"));
        Session quiet{false}, cancelled{true};
        QCOMPARE(s.dialogs.texts.size(), 2); // the write's confirmation and its failure
        s.dialogs.next = AnswerCancel;
        AnswerSessionEnd(*s.window, cancelled);
        QVERIFY(cancelled.released && cancelled.cancelled && s.window->isVisible() &&
                s.state->model.Fields.SpeedDialText[0] == "555");
        QCOMPARE(s.dialogs.texts.last(), QStringLiteral("Save changes to site?"));
        QVERIFY(!s.window->close() && s.dialogs.texts.size() == 4);
        QVERIFY(!QFile::exists(s.dir.filePath(QStringLiteral("VIREO.ini"))));
        AnswerSessionEnd(*s.window, quiet);
        QVERIFY(!quiet.released && !quiet.cancelled && !s.window->isVisible());
        QCOMPARE(s.dialogs.texts.size(), 4);       // nothing more asked
        QCOMPARE(s.dialogs.fileDialogs.size(), 1); // Ctrl+S's only
        QVERIFY(test::ReadFile(s.dir.filePath(QStringLiteral("VIREO.ini"))).contains("Port=3\r\n"));
    }

    // Closing the progress window cancels a read: abort sent, no box, image kept (and the
    // window's outer size, measured at its first showing, includes its frame); then a whole read.
    void clones()
    {
        VIREO_NEEDS_SIM();
        Started s;
        auto sim = std::make_unique<test::Sim>(QStringList{"--baud", "1200"});
        s.state->configuredPorts[0] = sim->Device();
        const UnitWords image = s.state->model.UnitImage;
        QSize outer;
        QTimer::singleShot(300, s.window->Progress(), [&] {
            outer = s.window->Progress()->frameGeometry().size();
            s.window->Progress()->close();
        });
        s.Action("cloneReadAction")->trigger();
        QCOMPARE(outer, QSize(298, 88));
        QTRY_VERIFY_WITH_TIMEOUT(sim->Log().contains("aborted by the program"), 10000);
        QCOMPARE(s.dialogs.texts, QStringList()); // no box
        QCOMPARE(s.state->model.UnitImage, image);

        const QString unitFile = s.dir.filePath(QStringLiteral("unit.st2"));
        QVERIFY(test::WriteFile(unitFile, test::ReadFile(test::ShippedFile).replace(0, 4, "0123")));
        sim = std::make_unique<test::Sim>(QStringList{"--baud", "0", "--memory", unitFile});
        s.state->configuredPorts[0] = sim->Device();
        s.Action("cloneReadAction")->trigger();
        QCOMPARE(s.state->model.UnitImage[0], std::uint16_t(0x0123));
    }

    void safeWrites_data()
    {
        QTest::addColumn<QStringList>("fault");   // how the simulated unit misbehaves
        QTest::addColumn<QStringList>("buttons"); // clicked in turn in the compare dialog; none: a write
        QTest::addColumn<QStringList>("boxes");   // how each box ends
        QTest::addColumn<bool>("written");        // the unit stored a whole write
        const QString partial =
            QStringLiteral("The unit now holds part of the new settings and will not work as intended "
                           "until a write completes. Write the settings to the unit again.");
        const QString asked = QStringLiteral("Write to transceiver.");
        QTest::newRow("checked write to a sound unit")
            << QStringList{} << QStringList{} << QStringList{asked} << true;
        QTest::newRow("stuck bit") << QStringList{"--fault", "stuck-bit=25"} << QStringList{}
                                   << QStringList{asked, "Group Code 0: unit 0001, written 0000\n\nWrite the "
                                                         "settings to the unit again."}
                                   << true;
        QTest::newRow("silent after 30 blocks") << QStringList{"--fault", "silent-after=33"} << QStringList{}
                                                << QStringList{asked, " bit/s\n\n" + partial} << false;
        QTest::newRow("cancelled after blocks went out")
            << QStringList{"--baud", "1200"} << QStringList{} << QStringList{asked, partial} << false;
        QTest::newRow("compare, Enter closes") // never writes: Close is the default button
            << QStringList{} << QStringList{"Enter"} << QStringList{} << false;
        QTest::newRow("compare, write to unit: no question, a backup first")
            << QStringList{} << QStringList{"openBackupsButton", "writeToUnitButton"} << QStringList{}
            << true;
        QTest::newRow("compare, open the unit's as a read would")
            << QStringList{} << QStringList{"openUnitSettingsButton"}
            << QStringList{"Read from transceiver,Data has been edited."} << false;
    }

    // Over the simulated unit: a checked write's boxes, a partial write's warning; Compare lists
    // the fields that differ, keeps the unit's words as a backup before its write, opens them.
    void safeWrites()
    {
        VIREO_NEEDS_SIM();
        QFETCH(QStringList, fault);
        QFETCH(QStringList, buttons);
        QFETCH(QStringList, boxes);
        QFETCH(bool, written);
        Started s;
        QTemporaryDir data; // the user's data folder on Linux, where backups go
        const QByteArray dataHome = qgetenv("XDG_DATA_HOME");
        const auto restore = qScopeGuard([&] { qputenv("XDG_DATA_HOME", dataHome); });
        qputenv("XDG_DATA_HOME", QFile::encodeName(data.path()));
        const QString backups = UserBackupFolder();
        const QStringList before = QDir(backups).entryList(QDir::Files);
        const QByteArray unitWords = test::ReadFile(test::ShippedFile).replace(0, 4, "0123");
        const QString unitFile = s.dir.filePath(QStringLiteral("unit.st2"));
        const QString saved = s.dir.filePath(QStringLiteral("written.st2"));
        QVERIFY(test::WriteFile(unitFile, unitWords));
        test::Sim sim(QStringList{"--memory", unitFile, "--save", saved} + fault);
        s.state->configuredPorts[0] = sim.Device();
        s.Type("SpeedDial[1]", QStringLiteral("4711"));
        QStringList rows;
        const bool cancel = QByteArray(QTest::currentDataTag()).startsWith("cancelled");
        UrlCatcher desktop; // opens folders in place of the desktop
        QDesktopServices::setUrlHandler(QStringLiteral("file"), &desktop, "open");
        QTimer look;
        QObject::connect(&look, &QTimer::timeout, &look, [&] {
            if (cancel && s.window->Progress()->isVisible() && s.window->Progress()->Value() >= 20)
                s.window->Progress()->close();
            auto *dialog = s.window->findChild<QDialog *>("compareDialog");
            if (!dialog || !dialog->isVisible())
                return;
            look.stop();
            const QTreeWidget *list = dialog->findChild<QTreeWidget *>("compareList");
            for (int i = 0; i < list->topLevelItemCount(); ++i)
                rows << list->topLevelItem(i)->text(0) + '|' + list->topLevelItem(i)->text(1) + '|' +
                            list->topLevelItem(i)->text(2);
            for (const QString &button : buttons)
                if (button == "Enter")
                    QTest::keyClick(dialog, Qt::Key_Return);
                else if (auto *pushed = dialog->findChild<QPushButton *>(button))
                    pushed->click();
        });
        look.start(10);
        s.Action(buttons.isEmpty() ? "cloneWriteAction" : "compareWithUnitAction")->trigger();
        QDesktopServices::unsetUrlHandler(QStringLiteral("file"));

        QCOMPARE(s.dialogs.texts.size(), boxes.size());
        for (int i = 0; i < boxes.size(); ++i)
            QVERIFY2(s.dialogs.texts[i].endsWith(boxes[i]), qPrintable(s.dialogs.texts[i]));
        if (!buttons.isEmpty()) // the unit on the left, as diff shows them
            QCOMPARE(rows, QStringList({"Speed Dial 1||4711", "word 0|0123|0000"}));
        QCOMPARE(QFile::exists(saved), written);
        UnitModel unit; // a whole write: the program's image, the typed field taken
        QVERIFY(!written || boxes.size() > 1 ||
                (LoadDataFile(saved, unit).value() == LoadStatus::Loaded &&
                 unit.UnitImage == s.state->model.UnitImage &&
                 s.state->model.Fields.SpeedDialText[1] == "4711"));
        QStringList kept = QDir(backups).entryList(QDir::Files);
        kept.removeIf([&](const QString &name) { return before.contains(name); });
        QCOMPARE(kept.size(), buttons.contains("writeToUnitButton") ? 1 : 0);
        if (!kept.isEmpty())
            QCOMPARE(test::ReadFile(QDir(backups).filePath(kept.first())), unitWords);
        QCOMPARE(desktop.urls,
                 QList<QUrl>(buttons.contains("openBackupsButton") ? 1 : 0, QUrl::fromLocalFile(backups)));
        QCOMPARE(s.state->model.UnitImage[0] == 0x0123, buttons.contains("openUnitSettingsButton"));
    }

    // Port Settings: Test says whether a unit answers (and tells it to leave cloning at once) or
    // why not; OK keeps the devices and the speed, and [PORTS] is written at exit.
    void portSettings()
    {
        VIREO_NEEDS_SIM();
        Started s;
        test::Sim sim(QStringList{}); // at 9600 bit/s: the Test ends the run after the status reply
        QStringList results;
        QTimer::singleShot(0, s.window.get(), [&] {
            auto *dialog = s.window->findChild<QDialog *>("portSettingsDialog");
            for (const auto &[n, device] :
                 {std::pair{2, sim.Device()}, {3, QStringLiteral("/dev/vireo-none")}}) {
                dialog->findChild<QComboBox *>(QStringLiteral("com%1Device").arg(n))->setEditText(device);
                dialog->findChild<QPushButton *>(QStringLiteral("com%1Test").arg(n))->click();
                results << dialog->findChild<QLabel *>("testResult")->text();
            }
            dialog->findChild<QComboBox *>("speedList")->setCurrentIndex(5);
            dialog->accept();
        });
        s.Action("portSettingsAction")->trigger();
        QCOMPARE(results.value(0), "A unit answered on COM2 (" + sim.Device() + ") at 9600 bit/s.");
        QVERIFY2(results.value(1).startsWith("Cannot access COM3.") &&
                     results.value(1).contains("/dev/vireo-none"),
                 qPrintable(results.value(1)));
        QTRY_VERIFY(sim.Log().contains("aborted by the program"));
        QCOMPARE(s.state->configuredPorts[1], sim.Device());
        QCOMPARE(s.state->options.ComSpeed, qint16(28800));
        QVERIFY(s.window->close());
        const QByteArray profile = test::ReadFile(s.dir.filePath(QStringLiteral("VIREO.ini")));
        QVERIFY2(profile.contains("Speed=28800\r\n") &&
                     profile.contains("COM2=" + sim.Device().toUtf8() + "\r\nCOM3=/dev/vireo-none\r\n"),
                 profile.constData());
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_main_window.moc"
