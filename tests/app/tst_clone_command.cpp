// SPDX-License-Identifier: GPL-3.0-or-later
// The Clone Read and Clone Write commands: confirmations, the modal run
// behind the progress window, installing a completed read, the one error
// message, and the image and document left alone on every other end.
#include "app/clone_command.h"
#include "clone/clone_errors.h"
#include "clone/clone_frames.h"
#include "clone/fake_serial_port.h"
#include "model/editor_controls.h"

#include <QTest>

using namespace vireo;
using namespace vireo::test;

namespace {

/** Dialogs that record every message box and answer from a script. */
class ScriptedDialogs : public UserDialogs {
public:
    Answer next = AnswerOk;
    QStringList texts;
    QList<Buttons> buttons;

    Answer MessageBox(const QString &text, Buttons b) override
    {
        texts.append(text);
        buttons.append(b);
        return next;
    }
    std::optional<QString> OpenFileName(const QString &) override { return std::nullopt; }
    std::optional<QString> SaveFileName(const QString &) override { return std::nullopt; }
};

/** A progress window whose modal wait drives the session tick by tick. */
class DrivingView : public CloneProgressView {
public:
    CloneSession *session = nullptr;
    ManualClock *clock = nullptr;
    bool showFails = false;
    int userClosesAfterTicks = -1;
    int shows = 0;
    int closes = 0;
    QList<int> values;

    bool ShowModal() override
    {
        ++shows;
        if (showFails)
            return false;
        m_open = true;
        for (int i = 0; i < 100000 && m_open; ++i) {
            if (i == userClosesAfterTicks)
                return true;
            session->CloneTick();
            clock->Advance(0.01);
        }
        return true;
    }
    void SetValue(int value) override { values.append(value); }
    void Close() override
    {
        m_open = false;
        ++closes;
    }

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
    FakeUnit unit{port};

    App()
    {
        session.SetAutoDrive(false);
        view.session = &session;
        view.clock = &clock;
        binding.FillConfig2Lists();
        for (int w = word::SpeedDialFirst; w < word::SpeedDialFirst + 56; ++w)
            model.UnitImage[w] = 0xFFFF;
        for (int i = 1; i < GroupCodeCount; ++i)
            model.UnitImage[word::GroupCodeFirst + i] = word::EmptyGroupCode;
        binding.NormalizeAndShow();
        document.SetFileName(QStringLiteral("/home/tech/site.st2"));
        // The unit holds the same settings with other carried words.
        for (int i = 0; i < 99; ++i)
            unit.memory[static_cast<std::size_t>(i)] = model.UnitImage[static_cast<std::size_t>(i)];
        unit.memory[0] = 0x4242;
        unit.memory[98] = 0x0BAD;
    }
    CloneOutcome Start(const QString &mode)
    {
        return command.StartClone(mode, {2, QStringLiteral("/dev/ttyS1"), 9600}, 58206);
    }
};

} // namespace

class TestCloneCommand : public QObject {
    Q_OBJECT
private slots:
    void confirmations_data();
    void confirmations();
    void completedRead();
    void completedWrite();
    void failures_data();
    void failures();
    void userClosesProgressWindow();
};

void TestCloneCommand::confirmations_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<bool>("edited");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("prompt"); // empty: no prompt
    QTest::addColumn<bool>("runs");
    const QString write = QStringLiteral("Write to transceiver.");
    const QString read = QStringLiteral("Read from transceiver,Data has been edited.");
    QTest::newRow("write asks, OK runs") << "Write" << false << int(AnswerOk) << write << true;
    QTest::newRow("write asks, Cancel opens no port") << "Write" << false << int(AnswerCancel) << write << false;
    QTest::newRow("read of a clean document asks nothing") << "Read" << false << int(AnswerCancel) << QString()
                                                           << true;
    QTest::newRow("read of an edited document asks, OK runs") << "Read" << true << int(AnswerOk) << read << true;
    QTest::newRow("read of an edited document, Cancel opens no port")
        << "Read" << true << int(AnswerCancel) << read << false;
}

void TestCloneCommand::confirmations()
{
    QFETCH(QString, mode);
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

    if (prompt.isEmpty())
        QVERIFY(app.dialogs.texts.isEmpty());
    else
        QCOMPARE(app.dialogs.texts.value(0), prompt);
    QCOMPARE(app.port.opens, runs ? 1 : 0);
    QCOMPARE(outcome.result.has_value(), runs);
    if (!runs) {
        QCOMPARE(app.port.writeAttempts, 0);
        QCOMPARE(app.view.shows, 0);
        QCOMPARE(app.document.HasFileName, true);
        // The field was still taken into the image before asking.
        QCOMPARE(app.model.UnitImage != before, edited);
    }
}

void TestCloneCommand::completedRead()
{
    App app;
    const CloneOutcome outcome = app.Start(QStringLiteral("Read"));
    QCOMPARE(outcome.result, std::optional<CloneResult>(CloneResult::ReadComplete));
    QCOMPARE(outcome.caption, std::optional<QString>(QStringLiteral("Untitled - Vireo")));
    QCOMPARE(app.model.UnitImage, app.unit.memory);
    QVERIFY(!app.document.HasFileName);
    QVERIFY(!app.document.DataEdited());
    QVERIFY(app.dialogs.texts.isEmpty());
    QCOMPARE(app.view.shows, 1);
    QCOMPARE(app.view.values.last(), 100);
    QCOMPARE(app.port.openedDevice, QStringLiteral("/dev/ttyS1"));
}

void TestCloneCommand::completedWrite()
{
    App app;
    app.controls.SetText(TextArray::GroupCode, 3, QStringLiteral("77")); // an edit still in its field
    const CloneOutcome outcome = app.Start(QStringLiteral("Write"));
    QCOMPARE(outcome.result, std::optional<CloneResult>(CloneResult::WriteComplete));
    QVERIFY(!outcome.caption);
    QCOMPARE(app.unit.received.size(), 99);
    for (int i = 0; i < 99; ++i)
        QCOMPARE(app.unit.received.at(i), app.model.UnitImage[static_cast<std::size_t>(i)]);
    QVERIFY(app.document.DataEdited()); // a write leaves the document edited
    QVERIFY(app.document.HasFileName);
    QCOMPARE(app.dialogs.texts, QStringList{QStringLiteral("Write to transceiver.")});
}

void TestCloneCommand::failures_data()
{
    QTest::addColumn<QString>("failure");
    QTest::addColumn<int>("result");
    QTest::addColumn<QString>("firstLine");
    QTest::newRow("port does not open, names COM2") << "open" << 0 << "Cannot access COM2.";
    QTest::newRow("window cannot be shown") << "window" << 0 << "Cannot access COM2.";
    QTest::newRow("no unit") << "status" << 5 << "Error:";
    QTest::newRow("too few blocks") << "blocks" << 9 << "Error:";
    QTest::newRow("no answer") << "silent" << 3 << "No answer from transceiver.";
}

void TestCloneCommand::failures()
{
    QFETCH(QString, failure);
    QFETCH(int, result);
    QFETCH(QString, firstLine);
    App app;
    if (failure == QLatin1String("open"))
        app.port.openSucceeds = false;
    else if (failure == QLatin1String("window"))
        app.view.showFails = true;
    else if (failure == QLatin1String("status"))
        app.unit.script.status = 0;
    else if (failure == QLatin1String("blocks"))
        app.unit.script.blocks = 50;
    else
        app.unit.script.answerInquiry = false;
    app.controls.SetText(TextArray::GroupCode, 3, QStringLiteral("77"));
    const UnitWords loadBefore = app.model.LoadBuffer;
    const CloneOutcome outcome = app.Start(QStringLiteral("Read"));
    const UnitWords image = app.model.UnitImage; // after ReadAllFields

    QCOMPARE(outcome.result, std::optional<CloneResult>(CloneResult(result)));
    QVERIFY(!outcome.caption);
    QCOMPARE(app.dialogs.texts.size(), 2); // the edited-read prompt, then one error box
    QCOMPARE(app.dialogs.texts.at(1), CloneErrorText(result, 2));
    QVERIFY(app.dialogs.texts.at(1).startsWith(firstLine));
    QCOMPARE(app.dialogs.buttons.at(1), Buttons::Ok);
    QCOMPARE(app.model.UnitImage, image);
    QVERIFY(app.document.HasFileName);
    QVERIFY(app.document.DataEdited());
    QVERIFY(!app.port.IsOpen());
    if (failure == QLatin1String("blocks"))
        QVERIFY(app.model.LoadBuffer != loadBefore); // staged only
}

void TestCloneCommand::userClosesProgressWindow()
{
    App app;
    app.view.userClosesAfterTicks = 1; // while the access code is answered
    const UnitWords image = app.model.UnitImage;
    const CloneOutcome outcome = app.Start(QStringLiteral("Read"));
    QCOMPARE(outcome.result, std::optional<CloneResult>(CloneResult::Cancelled));
    QVERIFY(app.dialogs.texts.isEmpty());
    QCOMPARE(app.port.CountWritten(AbortFrame()), 1);
    QCOMPARE(app.model.UnitImage, image);
    QVERIFY(app.document.HasFileName);
}

QTEST_GUILESS_MAIN(TestCloneCommand)
#include "tst_clone_command.moc"
