// SPDX-License-Identifier: GPL-3.0-or-later
// What a clone result shows: the failure messages verbatim, the exit status
// and name of every result.
#include "clone/clone_errors.h"

#include <QSet>
#include <QTest>

using namespace vireo;


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

};

QTEST_GUILESS_MAIN(TestCloneErrors)
#include "tst_clone_errors.moc"
