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
    // Every result: a port failure names the port or the line, then what to check;
    // a unit failure is an "Error:" list; completed and cancelled runs show nothing.
    // vireo-cli exits 0 after a completed run, 10 + the number after a failure,
    // 130 when interrupted; each result has its own name for traces.
    void everyResult()
    {
        const QStringList port{"Cannot access COM3.", "COM buffer Overflow.", "Cannot access COM port.",
                               "No answer from transceiver.", "Illegal Data."};
        const QStringList unit{"No Wren Unit.", "Unknown Unit.", "Five Digit Access Code error.",
                               "Data Overflow.", "There is not enough data."};
        const QString checks =
            QStringLiteral("\r\n\r\nCheck the following:\r\n\r\n- The COM port settings.\r\n"
                           "- Cloning cable connections.\r\n- Transceiver power is ON.\r\n");
        QSet<QString> names;
        for (int n = 0; n <= 12; ++n) {
            const auto result = CloneResult(n);
            const bool complete = result == CloneResult::ReadComplete || result == CloneResult::WriteComplete;
            const bool error = !complete && result != CloneResult::Cancelled;
            const QString text = n < port.size() ? port[n] + checks
                                 : error ? QStringLiteral("Error:\r\n\r\n- %1\r\n").arg(unit[n - port.size()])
                                         : QString();
            QCOMPARE(CloneErrorText(result, 3), text);
            QCOMPARE(IsCloneError(result), error);
            QCOMPARE(CloneExitStatus(result), error ? 10 + n : complete ? 0 : 130);
            names.insert(CloneResultName(result));
        }
        QCOMPARE(names.size(), 13);
    }

    void placement_data()
    {
        QTest::addColumn<TwipRect>("main");
        QTest::addColumn<TwipRect>("placed");
        const int w = ProgressWindowWidth, h = ProgressWindowHeight;
        QTest::newRow("centred") << TwipRect{1000, 2000, 9000, 6000}
                                 << TwipRect{1000 + (9000 - w) / 2, 2000 + (6000 - h) / 2, w, h};
        QTest::newRow("near the bottom right corner")
            << TwipRect{15000, 11000, 9000, 6000} << TwipRect{19200 - w, 14400 - h, w, h};
        QTest::newRow("partly off the top left")
            << TwipRect{-8000, -5000, 9000, 6000} << TwipRect{0, 0, w, h};
    }
    void placement()
    {
        QFETCH(TwipRect, main);
        QFETCH(TwipRect, placed);
        QVERIFY(PlaceProgressWindow(main, 19200, 14400) == placed);
        // A screen smaller than the window: left and top are never negative.
        const TwipRect tiny = PlaceProgressWindow(main, 3000, 1000);
        QCOMPARE(QList<int>({tiny.left, tiny.top}), QList<int>({0, 0}));
    }
};

QTEST_GUILESS_MAIN(TestCloneErrors)
#include "tst_clone_errors.moc"
