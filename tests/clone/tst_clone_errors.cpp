// SPDX-License-Identifier: GPL-3.0-or-later
// What a clone result shows: the failure messages verbatim, the exit status
// and name of every result, and where the progress window goes on the screen.
#include "clone/clone_errors.h"

#include <QSet>
#include <QTest>

using namespace vireo;

Q_DECLARE_METATYPE(vireo::TwipRect)

class TestCloneErrors : public QObject {
    Q_OBJECT
  private slots:
    void texts_data();
    void texts();
    void everyResult();
    void placement_data();
    void placement();
};

void TestCloneErrors::texts_data()
{
    QTest::addColumn<int>("result");
    QTest::addColumn<QString>("text");
    const QString checks = QStringLiteral("\r\n\r\nCheck the following:\r\n\r\n- The COM port settings.\r\n"
                                          "- Cloning cable connections.\r\n- Transceiver power is ON.\r\n");
    const QString error = QStringLiteral("Error:\r\n\r\n- %1\r\n");
    QTest::newRow("0 names the port") << 0 << QStringLiteral("Cannot access COM3.") + checks;
    QTest::newRow("1") << 1 << QStringLiteral("COM buffer Overflow.") + checks;
    QTest::newRow("2") << 2 << QStringLiteral("Cannot access COM port.") + checks;
    QTest::newRow("3") << 3 << QStringLiteral("No answer from transceiver.") + checks;
    QTest::newRow("4") << 4 << QStringLiteral("Illegal Data.") + checks;
    QTest::newRow("5") << 5 << error.arg(QStringLiteral("No Wren Unit."));
    QTest::newRow("6") << 6 << error.arg(QStringLiteral("Unknown Unit."));
    QTest::newRow("7") << 7 << error.arg(QStringLiteral("Five Digit Access Code error."));
    QTest::newRow("8") << 8 << error.arg(QStringLiteral("Data Overflow."));
    QTest::newRow("9") << 9 << error.arg(QStringLiteral("There is not enough data."));
}

void TestCloneErrors::texts()
{
    QFETCH(int, result);
    QFETCH(QString, text);
    QCOMPARE(CloneErrorText(CloneResult(result), 3), text);
}

// Every result: shown as an error exactly when it has a message; vireo-cli
// exits 0 after a completed run, 10 + the number after a failure, 130 when
// interrupted; each has its own name for traces.
void TestCloneErrors::everyResult()
{
    QSet<QString> names;
    for (int n = 0; n <= 12; ++n) {
        const auto result = CloneResult(n);
        const bool complete = result == CloneResult::ReadComplete || result == CloneResult::WriteComplete;
        const bool error = !complete && result != CloneResult::Cancelled;
        QCOMPARE(IsCloneError(result), error);
        QCOMPARE(CloneErrorText(result, 1).isEmpty(), !error);
        QCOMPARE(CloneExitStatus(result), error ? 10 + n : complete ? 0 : 130);
        names.insert(CloneResultName(result));
    }
    QCOMPARE(names.size(), 13);
}

void TestCloneErrors::placement_data()
{
    QTest::addColumn<TwipRect>("main");
    QTest::addColumn<TwipRect>("placed");
    const int w = ProgressWindowWidth, h = ProgressWindowHeight;
    QTest::newRow("centred") << TwipRect{1000, 2000, 9000, 6000}
                             << TwipRect{1000 + (9000 - w) / 2, 2000 + (6000 - h) / 2, w, h};
    QTest::newRow("near the bottom right corner")
        << TwipRect{15000, 11000, 9000, 6000} << TwipRect{19200 - w, 14400 - h, w, h};
    QTest::newRow("partly off the top left") << TwipRect{-8000, -5000, 9000, 6000} << TwipRect{0, 0, w, h};
}

void TestCloneErrors::placement()
{
    QFETCH(TwipRect, main);
    QFETCH(TwipRect, placed);
    QVERIFY(PlaceProgressWindow(main, 19200, 14400) == placed);
    // A screen smaller than the window: left and top are never negative.
    const TwipRect tiny = PlaceProgressWindow(main, 3000, 1000);
    QCOMPARE(tiny.left, 0);
    QCOMPARE(tiny.top, 0);
}

QTEST_GUILESS_MAIN(TestCloneErrors)
#include "tst_clone_errors.moc"
