// SPDX-License-Identifier: GPL-3.0-or-later
// Field codecs and table: each field's words and how arriving words are shown and stored again.
#include "model/field_codecs.h"
#include "model/field_table.h"

#include <QTest>

#include <algorithm>
#include <set>

using namespace vireo;

namespace {

// A blank unit: empty speed dials, empty group codes and upper bound, zero codes.
UnitWords BlankImage()
{
    UnitWords image{};
    for (int w = word::SpeedDialFirst; w < word::SpeedDialFirst + 56; ++w)
        image[w] = 0xFFFF;
    for (int i = 1; i < GroupCodeCount; ++i)
        image[word::GroupCodeFirst + i] = word::EmptyGroupCode;
    image[word::UpperBlock + 1] = 0x000F;
    return image;
}

} // namespace

class TestFieldCodecs : public QObject {
    Q_OBJECT

  private slots:
    // Fields are found by key and alias in any case; a word's change shows in exactly its fields.
    void everyFieldFoundAndShowsItsWords()
    {
        std::set<QString> keys;
        UnitModel blank;
        ImageToFields(blank.UnitImage, blank.Fields);
        for (const FieldEntry &field : AllFields()) {
            QVERIFY(keys.insert(field.key).second);
            QCOMPARE(FindField(field.key.toUpper()).value().key, field.key);
            QCOMPARE(FindField(field.alias.toUpper()).value().key, field.key);
        }
        QCOMPARE(keys.size(), std::size_t(43));
        QVERIFY(!FindField(QStringLiteral("Config1[6]")));
        for (int w = 0; w < word::Count; ++w) {
            UnitModel changed;
            changed.UnitImage[w] ^= 1;
            ImageToFields(changed.UnitImage, changed.Fields);
            for (const FieldEntry &field : AllFields()) {
                const bool named = std::find(field.words.begin(), field.words.end(), w) != field.words.end();
                QVERIFY2((ShownValue(field, changed) != ShownValue(field, blank)) == named,
                         qPrintable(QStringLiteral("%1, word %2").arg(field.key).arg(w)));
            }
        }
    }

    // Words as they arrive, what the field shows, and what the next rebuild stores.
    void arrivedWords_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QList<int>>("arrived");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QList<int>>("stored");
        using L = QList<int>;
        const auto row = [](const char *name, const char *field, const L &arrived, const char *shown,
                            const L &stored) {
            QTest::newRow(name) << QString::fromLatin1(field) << arrived << QString::fromUtf8(shown)
                                << stored;
        };
        // clang-format off
        row("letter digit shown, then dropped", "primary-code", L{0x0102, 0x030A}, "123A", L{0x0001, 0x0203});
        row("high nibbles of each byte ignored", "primary-code", L{0x1122, 0x3344}, "1234", L{0x0102, 0x0304});
        row("upper block marker read through high nibbles", "upper-block-decode", L{0xF000, 0x00FF}, "", L{0, 0x000F});
        row("other upper block content shows four characters", "upper-block-decode", L{0, 0x0F00}, "00F0", L{0, 0});
        row("access code first word reads only its low nibble", "unit-access-code", L{0x0A31, 0x0203, 0x0405}, "12345", L{0x0001, 0x0203, 0x0405});
        row("system id 123 from a unit shows 23", "system-id", L{123}, "23", L{23});
        row("negative system id loses its sign", "system-id", L{0xFFFB}, "-5", L{5});
        row("speed dial letters vanish, digits shift right", "SpeedDial[0]", L{0xFFFF, 0xFFFF, 0xFFFF, 0x1A2B}, "12", L{0xFFFF, 0xFFFF, 0xFFFF, 0xFF12});
        row("group code 0 marker becomes 0000", "GroupCode[0]", L{0x000F}, "", L{0});
        row("group code ABCD shown, stored as 0000", "GroupCode[3]", L{0xABCD}, "ABCD", L{0});
        row("system tone 7 becomes item 0", "system-tone", L{7}, "0:100.0Hz", L{0});
        row("system tone 6 is the last item", "system-tone", L{6}, "6:151.4Hz", L{6});
        row("check box 2 cleared", "priority-subscriber", L{2}, "off", L{0});
        // clang-format on
    }
    void arrivedWords()
    {
        QFETCH(QString, field);
        QFETCH(QList<int>, arrived);
        QFETCH(QString, shown);
        QFETCH(QList<int>, stored);
        const FieldEntry entry = *FindField(field);
        UnitModel model;
        UnitWords image = BlankImage();
        for (qsizetype k = 0; k < arrived.size(); ++k)
            image[entry.words[k]] = static_cast<std::uint16_t>(arrived[k]);
        ImageToFields(image, model.Fields);
        ClampChoices(model.Fields, model.ConfigListMaxIndex);
        QCOMPARE(ShownValue(entry, model), shown);
        FieldsToImage(model.Fields, image);
        QList<int> words;
        for (int w : entry.words)
            words.append(image[w]);
        QCOMPARE(words.mid(0, stored.size()), stored);
    }
};

QTEST_GUILESS_MAIN(TestFieldCodecs)
#include "tst_field_codecs.moc"
