// SPDX-License-Identifier: GPL-3.0-or-later
// Twips to pixels and the placement rule: centred over the owner, kept on a screen.
#include "app/window_geometry.h"

#include <QTest>

using namespace vireo;

class TestWindowGeometry : public QObject {
    Q_OBJECT
  private slots:
    void twips()
    {
        QCOMPARE(TwipsToPixels(6640, 96), 443); // 442.67 rounds up
        QCOMPARE(TwipsToPixels(6640, 192), 885);
        QCOMPARE(TwipsToPixels(1e12, 96), 2147483647); // saturates, never wraps
        QCOMPARE(PixelsToTwips(443, 96), 6645);
    }

    // Kept on a screen whose area need not start at 0,0 (the second one lies right of the first).
    void keepOnScreen()
    {
        const QRect hd(0, 0, 1920, 1080), second(1920, 200, 1280, 1024);
        QCOMPARE(KeepOnScreen(QRect(100, 50, 576, 443), hd), QPoint(100, 50));     // inside: unchanged
        QCOMPARE(KeepOnScreen(QRect(1500, 900, 576, 443), hd), QPoint(1344, 637)); // past right and bottom
        QCOMPARE(KeepOnScreen(QRect(-33, -5, 576, 443), hd), QPoint(0, 0));        // past left and top
        QCOMPARE(KeepOnScreen(QRect(500, 10, 2500, 1200), hd), QPoint(0, 0)); // too large: left and top win
        QCOMPARE(KeepOnScreen(QRect(1000, 100, 576, 443), second), QPoint(1920, 200));
    }

    // A 192 x 120 window centred over its owner on a 1920 x 1080 screen.
    void centreOver()
    {
        const QSize size(192, 120);
        const QRect hd(0, 0, 1920, 1080);
        QCOMPARE(CentreOver(size, QRect(100, 200, 577, 443), hd), QPoint(293, 362)); // odd difference rounded
        QCOMPARE(CentreOver(size, QRect(1700, 1000, 576, 443), hd), QPoint(1728, 960)); // owner bottom right
        QCOMPARE(CentreOver(size, QRect(-500, -400, 576, 443), hd), QPoint(0, 0)); // mostly off the top left
    }
};

QTEST_GUILESS_MAIN(TestWindowGeometry)
#include "tst_window_geometry.moc"
