// SPDX-License-Identifier: GPL-3.0-or-later
// The Clone Read and Clone Write commands: confirmations, the modal run
// behind the progress window, installing a completed read, the one error
// message, and the image and document left alone on every other end.
#include "app/clone_command.h"
#include "clone/clone_frames.h"
#include "clone/fake_serial_port.h"
#include "model/editor_controls.h"
#include "scripted_dialogs.h"
#include "test_files.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

Q_DECLARE_METATYPE(vireo::CloneMode)

#include <functional>

using namespace vireo;
using namespace vireo::test;

namespace {

/** A progress window whose modal wait drives the session poll by poll. */
class DrivingView : public CloneProgressView {
  public:
    std::function<void()> poll; ///< bytes arrive, the session polls, time passes
    std::function<bool(int)> userCloses = [](int) { return false; }; ///< asked before poll n
    bool showFails = false;
    QList<int> values;
    QList<CloneStage> stages;
    QString finished; ///< what the window said as it closed by itself

    bool ShowModal() override
    {
        m_open = !showFails;
        for (int i = 0; i < 100000 && m_open && !userCloses(i); ++i) {
            poll();
            QCoreApplication::processEvents(); // the next stage starts from the event loop
        }
        return !showFails;
    }
    void SetValue(int value) override { values.append(value); }
    void SetStage(CloneStage stage) override { stages.append(stage); }
    void ShowFinished(const QString &text) override
    {
        finished = text;
        m_open = false;
    }
    void Close() override { m_open = false; }

  private:
    bool m_open = false;
};

/** The program's pieces around one clone command. */
struct App {
    UnitModel model;
    MemoryEditorControls controls;
    FieldBinding binding{model, controls};
    Document document{model};
    ScriptedDialogs dialogs;
    FakeSerialPort port;
    ManualClock clock;
    CloneSession session{model, port, clock};
    DrivingView view;
    CloneCommand command{model, binding, document, dialogs, session, view};
    UnitSimConfig unit = QuickUnit(); ///< the simulated unit put on the port when a command starts
    std::optional<SimulatedLine> line;

    App()
    {
        session.SetAutoDrive(false);
        view.poll = [this] {
            line->Pump();
            session.CloneTick();
            clock.Advance(0.01);
        };
        binding.FillConfigLists();
        binding.NormalizeAndShow();
        document.SetFileName(QStringLiteral("/home/tech/site.st2"));
        // The unit holds the same settings with other carried words.
        unit.memory = model.UnitImage;
        unit.memory[0] = 0x4242;
        unit.memory[98] = 0x0BAD;
    }
    CloneOutcome Start(CloneMode mode, const WriteSafety &safety = {})
    {
        if (!line)
            line.emplace(port, clock, unit);
        return command.StartClone(mode, {2, QStringLiteral("/dev/ttyS1"), 9600}, DefaultAccessCode, safety);
    }
};

} // namespace

class TestCloneCommand : public QObject {
    Q_OBJECT
  private slots:
    // Clone Write always asks first, Clone Read only over edited data (also an edit still
    // in a field); Cancel opens no port. A completed run, also when the window is closed as
    // the end frame goes out (the unit has left cloning), installs a read; any other end shows
    // at most one error box and leaves image and document alone. A second command does nothing.
    void commands_data()
    {
        QTest::addColumn<CloneMode>("mode");
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("result");    // -1: no run
        QTest::addColumn<QString>("error"); // what the one error box says, empty: none
        const CloneMode R = CloneMode::Read, W = CloneMode::Write;
        // clang-format off
        QTest::newRow("write asks, Cancel opens no port") << W << "cancel" << -1 << "";
        QTest::newRow("read over edits asks, Cancel opens no port") << R << "cancel" << -1 << "";
        QTest::newRow("read of a clean document asks nothing") << R << "clean" << 10 << "";
        QTest::newRow("read installed") << R << "" << 10 << "";
        QTest::newRow("write") << W << "" << 11 << "";
        QTest::newRow("read, window closed on the end frame") << R << "end" << 10 << "";
        QTest::newRow("port does not open, names COM2") << R << "open" << 0 << "Cannot access COM2.\r\n";
        QTest::newRow("window cannot be shown") << R << "window" << 0 << "Cannot access COM2.\r\n";
        QTest::newRow("too few blocks") << R << "short-data=50" << 9 << "- There is not enough data.\r\n";
        QTest::newRow("user closes the window: abort, no message") << W << "close" << 12 << "";
        QTest::newRow("a second command during a read does nothing") << R << "again" << 10 << "";
        // clang-format on
    }
    void commands()
    {
        QFETCH(CloneMode, mode);
        QFETCH(QString, how);
        QFETCH(int, result);
        QFETCH(QString, error);
        App app;
        app.port.faults.noOpen = how == QLatin1String("open");
        app.view.showFails = how == QLatin1String("window");
        if (how == QLatin1String("close"))
            app.view.userCloses = [](int poll) { return poll == 1; };
        if (how == QLatin1String("end"))
            app.view.userCloses = [&app](int) { return app.session.Step() == CloneStep::End; };
        if (how.contains(QLatin1Char('=')))
            QVERIFY(!ParseUnitFault(how, app.unit.faults));
        std::optional<CloneOutcome> inner;
        if (how == QLatin1String("again"))
            app.view.userCloses = [&app, &inner](int poll) {
                if (poll == 1)
                    inner = app.Start(CloneMode::Write);
                return false;
            };
        const bool clean = how == QLatin1String("clean") || how == QLatin1String("again");
        const UnitWords before = app.model.UnitImage;
        if (!clean)
            app.controls.SetText(TextArray::GroupCode, 3, QStringLiteral("77")); // not yet taken in
        app.dialogs.next = how == QLatin1String("cancel") ? AnswerCancel : AnswerOk;
        const CloneOutcome outcome = app.Start(mode);

        const bool read = result == 10;
        QCOMPARE(outcome.result, result < 0 ? std::nullopt : std::optional<CloneResult>(CloneResult(result)));
        QCOMPARE(app.port.opens, result < 0 ? 0 : 1);
        QCOMPARE(inner.has_value(), how == QLatin1String("again"));
        QVERIFY(!inner || !inner->result);
        // The asking first, then at most one error box (the messages' texts: the clone errors' test).
        QCOMPARE(app.dialogs.texts.size(), (clean ? 0 : 1) + (error.isEmpty() ? 0 : 1));
        if (!clean)
            QCOMPARE(app.dialogs.texts.first(), mode == CloneMode::Write
                                                    ? "Write to transceiver."
                                                    : "Read from transceiver,Data has been edited.");
        QVERIFY(error.isEmpty() ||
                (app.dialogs.texts.last().contains(error) && app.dialogs.buttons.last() == Buttons::Ok));
        const bool endedEarly = how == QLatin1String("close") || how == QLatin1String("window");
        QCOMPARE(app.port.CountWritten(AbortFrame()), endedEarly ? 1 : 0);
        QCOMPARE(outcome.caption,
                 read ? std::optional<QString>(QStringLiteral("Untitled - Vireo")) : std::nullopt);
        // The edit is taken in before asking; only a completed read replaces it.
        QCOMPARE(app.model.UnitImage == before, clean && !read);
        QCOMPARE(app.model.UnitImage == app.unit.memory, read);
        if (result == 11)
            QCOMPARE(app.line->unit.Memory(), app.model.UnitImage);
        if (result == 10 || result == 11)
            QCOMPARE(app.view.values.last(), 100);
        QCOMPARE(app.document.HasFileName, !read);
        QCOMPARE(app.document.DataEdited(), !read && !clean); // a completed read leaves it unedited
    }

    // A write with its check and backup: the stages behind the one window, a
    // difference named by its field, the backup kept before anything is sent,
    // and a write that ends after blocks went out never silent.
    void safeWrites_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("box"); // the box after the prompt (a part of it), empty: none
        QTest::addColumn<QString>("finished");
        const QString partial =
            QStringLiteral("The unit now holds part of the new settings and will not work as "
                           "intended until a write completes. Write the settings to the unit "
                           "again.");
        const QString checked = QStringLiteral("Checked: the unit holds these settings."), none;
        QTest::newRow("checked write to a sound unit: no box") << none << none << checked;
        // A stuck bit and a unit silent after 30 blocks: tst_main_window, over the simulated unit.
        QTest::newRow("cancelled after blocks went out: the warning alone") << "cancel" << partial << none;
        QTest::newRow("backup kept, then the checked write") << "backup" << none << checked;
        QTest::newRow("backup that cannot be kept: nothing sent") << "bad-backup"
                                                                  << "Cannot save file." << none;
    }
    void safeWrites()
    {
        QFETCH(QString, how);
        QFETCH(QString, box);
        QFETCH(QString, finished);
        QTemporaryDir dir;
        App app;
        if (how == QLatin1String("cancel"))
            app.view.userCloses = [&app](int) { return app.view.values.size() == 48; };
        WriteSafety safety{true, {}};
        if (how == QLatin1String("backup"))
            safety.backupFolder = dir.filePath(QStringLiteral("backups"));
        if (how == QLatin1String("bad-backup")) {
            QFile file(dir.filePath(QStringLiteral("file")));
            QVERIFY(file.open(QIODevice::WriteOnly));
            safety.backupFolder = dir.filePath(QStringLiteral("file/backups"));
        }
        const UnitWords unitBefore = app.unit.memory;
        app.Start(CloneMode::Write, safety);

        QCOMPARE(app.dialogs.texts.size(), box.isEmpty() ? 1 : 2);
        QVERIFY2(box.isEmpty() || app.dialogs.texts.last().contains(box),
                 qPrintable(app.dialogs.texts.last()));
        QCOMPARE(app.view.finished, finished);
        const bool backup = how.contains(QLatin1String("backup"));
        const bool sent = how != QLatin1String("bad-backup");
        QCOMPARE(app.view.stages.first(), backup ? CloneStage::BackingUp : CloneStage::Writing);
        QCOMPARE(app.line->unit.Memory() == unitBefore, !sent);
        if (how == QLatin1String("backup")) {
            const QStringList kept = QDir(safety.backupFolder).entryList(QDir::Files);
            QCOMPARE(kept.size(), 1);
            const QByteArray text = test::ReadFile(QDir(safety.backupFolder).filePath(kept.first()));
            QVERIFY(text.startsWith("4242\r\n") && text.endsWith("0BAD\r\n")); // the unit's words
        }
    }
};

QTEST_GUILESS_MAIN(TestCloneCommand)
#include "tst_clone_command.moc"
