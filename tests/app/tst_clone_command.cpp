// SPDX-License-Identifier: GPL-3.0-or-later
// The Clone Read and Clone Write commands: confirmations, the modal run
// behind the progress window, installing a completed read, the one error
// message, and the image and document left alone on every other end.
#include "app/clone_command.h"
#include "clone/clone_errors.h"
#include "clone/clone_frames.h"
#include "clone/fake_serial_port.h"
#include "model/editor_controls.h"
#include "scripted_dialogs.h"

#include <QTest>

Q_DECLARE_METATYPE(vireo::CloneMode)

#include <functional>
#include <utility>

using namespace vireo;
using namespace vireo::test;

namespace {

/** A progress window whose modal wait drives the session poll by poll. */
class DrivingView : public CloneProgressView {
  public:
    std::function<void()> poll; ///< bytes arrive, the session polls, time passes
    std::function<bool(int)> userCloses = [](int) { return false; }; ///< asked before poll n
    std::function<void()> duringRun;                                 ///< called once, after the first poll
    bool showFails = false;
    int shows = 0;
    QList<int> values;

    bool ShowModal() override
    {
        ++shows;
        m_open = !showFails;
        for (int i = 0; i < 100000 && m_open && !userCloses(i); ++i) {
            if (i == 1 && duringRun)
                std::exchange(duringRun, nullptr)();
            poll();
        }
        return !showFails;
    }
    void SetValue(int value) override { values.append(value); }
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
    UnitSimConfig unit; ///< the simulated unit put on the port when a command starts
    std::optional<SimulatedLine> line;

    App()
    {
        session.SetAutoDrive(false);
        view.poll = [this] {
            line->Pump();
            session.CloneTick();
            clock.Advance(0.01);
        };
        binding.FillConfig2Lists();
        for (int w = word::SpeedDialFirst; w < word::SpeedDialFirst + 56; ++w)
            model.UnitImage[w] = 0xFFFF;
        for (int i = 1; i < GroupCodeCount; ++i)
            model.UnitImage[word::GroupCodeFirst + i] = word::EmptyGroupCode;
        binding.NormalizeAndShow();
        document.SetFileName(QStringLiteral("/home/tech/site.st2"));
        // The unit holds the same settings with other carried words.
        unit.memory = model.UnitImage;
        unit.accessCode = DefaultAccessCode;
        unit.baud = 0;
        unit.memory[0] = 0x4242;
        unit.memory[98] = 0x0BAD;
    }
    CloneOutcome Start(CloneMode mode)
    {
        if (!line)
            line.emplace(port, clock, unit);
        return command.StartClone(mode, {2, QStringLiteral("/dev/ttyS1"), 9600}, DefaultAccessCode);
    }
};

} // namespace

class TestCloneCommand : public QObject {
    Q_OBJECT
  private slots:
    void confirmations_data();
    void confirmations();
    void ends_data();
    void ends();
    void secondCommandDuringARunDoesNothing();
};

void TestCloneCommand::confirmations_data()
{
    QTest::addColumn<CloneMode>("mode");
    QTest::addColumn<bool>("edited");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("prompt"); // empty: no prompt
    QTest::addColumn<bool>("runs");
    const QString write = QStringLiteral("Write to transceiver.");
    const QString read = QStringLiteral("Read from transceiver,Data has been edited.");
    QTest::newRow("write asks, Cancel opens no port")
        << CloneMode::Write << false << int(AnswerCancel) << write << false;
    QTest::newRow("read of a clean document asks nothing")
        << CloneMode::Read << false << int(AnswerCancel) << QString() << true;
    QTest::newRow("read of an edited document, Cancel opens no port")
        << CloneMode::Read << true << int(AnswerCancel) << read << false;
}

void TestCloneCommand::confirmations()
{
    QFETCH(CloneMode, mode);
    QFETCH(bool, edited);
    QFETCH(int, answer);
    QFETCH(QString, prompt);
    QFETCH(bool, runs);
    App app;
    if (edited)
        app.controls.SetText(TextArray::GroupCode, 3, QStringLiteral("77")); // not yet committed
    app.dialogs.next = Answer(answer);
    const UnitWords before = app.model.UnitImage;
    const CloneOutcome outcome = app.Start(mode);

    QCOMPARE(app.dialogs.texts.value(0), prompt);
    QCOMPARE(app.port.opens, runs ? 1 : 0);
    QCOMPARE(outcome.result.has_value(), runs);
    if (!runs) {
        QCOMPARE(app.view.shows, 0);
        QCOMPARE(app.model.UnitImage != before, edited); // the field was taken in before asking
    }
}

// How a run ends: a completed one, also when the user closes the window as the
// end frame goes out (the unit has left cloning, so nothing is thrown away);
// any other with at most one error box and the image and document as they were.
void TestCloneCommand::ends_data()
{
    QTest::addColumn<CloneMode>("mode");
    QTest::addColumn<QString>("failure");
    QTest::addColumn<int>("result");
    QTest::newRow("read installed") << CloneMode::Read << "" << 10;
    QTest::newRow("write") << CloneMode::Write << "" << 11;
    QTest::newRow("read, window closed on the end frame") << CloneMode::Read << "end" << 10;
    QTest::newRow("write, window closed on the end frame") << CloneMode::Write << "end" << 11;
    QTest::newRow("port does not open, names COM2") << CloneMode::Read << "open" << 0;
    QTest::newRow("window cannot be shown") << CloneMode::Read << "window" << 0;
    QTest::newRow("too few blocks") << CloneMode::Read << "short-data=50" << 9;
    QTest::newRow("user closes the window: abort, no message") << CloneMode::Write << "close" << 12;
}

void TestCloneCommand::ends()
{
    QFETCH(CloneMode, mode);
    QFETCH(QString, failure);
    QFETCH(int, result);
    App app;
    app.port.faults.noOpen = failure == QLatin1String("open");
    app.view.showFails = failure == QLatin1String("window");
    if (failure == QLatin1String("close"))
        app.view.userCloses = [](int poll) { return poll == 1; };
    if (failure == QLatin1String("end"))
        app.view.userCloses = [&app](int) { return app.session.Step() == CloneStep::End; };
    if (failure.contains(QLatin1Char('=')))
        QVERIFY(!ParseUnitFault(failure, app.unit.faults));
    app.controls.SetText(TextArray::GroupCode, 3, QStringLiteral("77"));
    app.binding.ReadAllFields();
    const UnitWords image = app.model.UnitImage; // with the edit
    const CloneOutcome outcome = app.Start(mode);
    QCOMPARE(outcome.result, std::optional<CloneResult>(CloneResult(result)));
    const bool read = result == int(CloneResult::ReadComplete);
    const bool error = IsCloneError(CloneResult(result));
    QCOMPARE(app.model.UnitImage, read ? app.unit.memory : image);
    QCOMPARE(app.dialogs.texts.size(), error ? 2 : 1); // the confirmation, then at most one error box
    QCOMPARE(app.dialogs.texts.value(1), CloneErrorText(CloneResult(result), 2));
    QCOMPARE(app.dialogs.buttons.value(1, Buttons::Ok), Buttons::Ok);
    const bool endedEarly = failure == QLatin1String("close") || failure == QLatin1String("window");
    QCOMPARE(app.port.CountWritten(AbortFrame()), endedEarly ? 1 : 0);
    QCOMPARE(outcome.caption,
             read ? std::optional<QString>(QStringLiteral("Untitled - Vireo")) : std::nullopt);
    if (result == int(CloneResult::WriteComplete))
        QCOMPARE(app.line->unit.Memory(), app.model.UnitImage);
    if (result == 10 || result == 11)
        QCOMPARE(app.view.values.last(), 100);
    QCOMPARE(app.document.HasFileName, !read);
    QCOMPARE(app.document.DataEdited(), !read); // only a completed read leaves it unedited
}

void TestCloneCommand::secondCommandDuringARunDoesNothing()
{
    App app;
    std::optional<CloneOutcome> inner;
    app.view.duringRun = [&app, &inner] { inner = app.Start(CloneMode::Write); };
    const CloneOutcome outcome = app.Start(CloneMode::Read);
    QVERIFY(inner);
    QVERIFY(!inner->result);
    QVERIFY(app.dialogs.texts.isEmpty()); // no prompt, no error box
    QCOMPARE(app.port.opens, 1);
    QCOMPARE(outcome.result, std::optional<CloneResult>(CloneResult::ReadComplete));
}

QTEST_GUILESS_MAIN(TestCloneCommand)
#include "tst_clone_command.moc"
