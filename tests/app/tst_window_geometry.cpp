// SPDX-License-Identifier: GPL-3.0-or-later
// Twips to pixels and the placement rule every window uses: centred over the
// main window, kept on a screen whose area need not start at 0,0.
#include "app/window_geometry.h"

#include <QTest>

using namespace vireo;

class TestWindowGeometry : public QObject {
    Q_OBJECT
  private slots:
    void twips()
    {
        QCOMPARE(TwipsToPixels(8640, 96), 576);
        QCOMPARE(TwipsToPixels(6640, 96), 443); // 442.67 rounds up
        QCOMPARE(TwipsToPixels(6640, 192), 885);
        QCOMPARE(TwipsToPixels(1e12, 96), 2147483647); // saturates, never wraps
        QCOMPARE(PixelsToTwips(443, 96), 6645);
        QCOMPARE(PixelsToTwips(-34, 192), -255);
    }

    void keepOnScreen_data()
    {
        QTest::addColumn<QRect>("window");
        QTest::addColumn<QRect>("screen");
        QTest::addColumn<QPoint>("placed");
        const QRect hd(0, 0, 1920, 1080);
        const QRect second(1920, 200, 1280, 1024); // a monitor right of the first
        QTest::newRow("inside: unchanged") << QRect(100, 50, 576, 443) << hd << QPoint(100, 50);
        QTest::newRow("past the right and bottom edges") << QRect(1500, 900, 576, 443) << hd << QPoint(1344, 637);
        QTest::newRow("past the left and top edges") << QRect(-33, -5, 576, 443) << hd << QPoint(0, 0);
        QTest::newRow("larger than the screen: left and top win") << QRect(500, 10, 2500, 1200) << hd << QPoint(0, 0);
        QTest::newRow("second screen, left of it") << QRect(1000, 100, 576, 443) << second << QPoint(1920, 200);
        QTest::newRow("second screen, past its right") << QRect(3000, 1000, 576, 443) << second << QPoint(2624, 781);
    }
    void keepOnScreen()
    {
        QFETCH(QRect, window);
        QFETCH(QRect, screen);
        QFETCH(QPoint, placed);
        QCOMPARE(KeepOnScreen(window, screen), placed);
    }

    void centreOver_data()
    {
        QTest::addColumn<QRect>("owner");
        QTest::addColumn<QPoint>("placed"); // a 192 x 120 window on a 1920 x 1080 screen
        QTest::newRow("centred, odd difference rounded") << QRect(100, 200, 577, 443) << QPoint(293, 362);
        QTest::newRow("owner near the bottom right corner") << QRect(1700, 1000, 576, 443) << QPoint(1728, 960);
        QTest::newRow("owner mostly off the top left") << QRect(-500, -400, 576, 443) << QPoint(0, 0);
    }
    void centreOver()
    {
        QFETCH(QRect, owner);
        QFETCH(QPoint, placed);
        QCOMPARE(CentreOver(QSize(192, 120), owner, QRect(0, 0, 1920, 1080)), placed);
    }
};

QTEST_GUILESS_MAIN(TestWindowGeometry)
#include "tst_window_geometry.moc"
