// SPDX-License-Identifier: GPL-3.0-or-later
// What a clone result shows: its message verbatim and its exit status.
#include "clone/clone_errors.h"

#include <QTest>

using namespace vireo;

class TestCloneErrors : public QObject {
    Q_OBJECT
  private slots:
    // Port failures name the port and what to check, unit failures an "Error:" list; exit statuses.
    void results_data()
    {
        QTest::addColumn<int>("result");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("status");
        const QString check = "\r\n\r\nCheck the following:\r\n\r\n- The COM port settings.\r\n"
                              "- Cloning cable connections.\r\n- Transceiver power is ON.\r\n";
        // clang-format off
        QTest::newRow("port failed names COM3") << 0 << "Cannot access COM3." + check << 10;
        QTest::newRow("buffer overflow") << 1 << "COM buffer Overflow." + check << 11;
        QTest::newRow("frame not taken") << 2 << "Cannot access COM port." + check << 12;
        QTest::newRow("no answer") << 3 << "No answer from transceiver." + check << 13;
        QTest::newRow("illegal data") << 4 << "Illegal Data." + check << 14;
        QTest::newRow("no unit") << 5 << "Error:\r\n\r\n- No Wren Unit.\r\n" << 15;
        QTest::newRow("unknown unit") << 6 << "Error:\r\n\r\n- Unknown Unit.\r\n" << 16;
        QTest::newRow("access code") << 7 << "Error:\r\n\r\n- Five Digit Access Code error.\r\n" << 17;
        QTest::newRow("data overflow") << 8 << "Error:\r\n\r\n- Data Overflow.\r\n" << 18;
        QTest::newRow("not enough data") << 9 << "Error:\r\n\r\n- There is not enough data.\r\n" << 19;
        QTest::newRow("write complete: no message") << 11 << "" << 0;
        QTest::newRow("cancelled: no message") << 12 << "" << 130;
        // clang-format on
    }
    void results()
    {
        QFETCH(int, result);
        QFETCH(QString, text);
        QFETCH(int, status);
        QCOMPARE(CloneErrorText(CloneResult(result), 3), text);
        QCOMPARE(IsCloneError(CloneResult(result)), !text.isEmpty());
        QCOMPARE(CloneExitStatus(CloneResult(result)), status);
    }
};

QTEST_GUILESS_MAIN(TestCloneErrors)
#include "tst_clone_errors.moc"
