// SPDX-License-Identifier: GPL-3.0-or-later
// The field table: every field found by key and alias, stored in exactly the
// words it names, and set from text as a user would set it.
#include "model/field_codecs.h"
#include "model/field_table.h"

#include <QTest>

#include <algorithm>
#include <set>

using namespace vireo;

class TestFieldTable : public QObject {
    Q_OBJECT

  private slots:
    void everyFieldFoundByKeyAndAlias()
    {
        std::set<QString> keys;
        for (const FieldEntry &field : AllFields()) {
            QVERIFY(keys.insert(field.key).second);
            QCOMPARE(FindField(field.key.toUpper())->key, field.key);
            QCOMPARE(FindField(field.alias.toUpper())->key, field.key);
        }
        QCOMPARE(keys.size(),
                 std::size_t(SpeedDialCount + Config1Count + Config2Count + Config3Count + GroupCodeCount));
        QVERIFY(!FindField(QStringLiteral("Config1[6]")));
    }

    // A change to any word shows in exactly the fields whose word list names it.
    void wordsAreWhereTheFieldShowsThem()
    {
        UnitModel blank;
        ImageToFields(blank.UnitImage, blank.Fields);
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

    void assign_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shown"); // empty: refused
        QTest::newRow("check box on in any case") << "priority-subscriber"
                                                  << "ON"
                                                  << "on";
        QTest::newRow("check box by 1") << "Config3[1]"
                                        << "1"
                                        << "on";
        QTest::newRow("check box off") << "fleet-dispatch"
                                       << "Off"
                                       << "off";
        QTest::newRow("check box by 0") << "fleet-dispatch"
                                        << "0"
                                        << "off";
        QTest::newRow("check box refuses 2") << "priority-subscriber"
                                             << "2"
                                             << "";
        QTest::newRow("check box refuses yes") << "priority-subscriber"
                                               << "yes"
                                               << "";
        QTest::newRow("tone by its item text") << "system-tone"
                                               << "3:123.0hz"
                                               << "3:123.0Hz";
        QTest::newRow("tone with its unit") << "system-tone"
                                            << "123.0Hz"
                                            << "3:123.0Hz";
        QTest::newRow("tone by its number alone") << "system-tone"
                                                  << "151.4"
                                                  << "6:151.4Hz";
        QTest::newRow("tone by item number") << "system-tone"
                                             << "3"
                                             << "3:123.0Hz";
        QTest::newRow("tone refuses a number past the list") << "system-tone"
                                                             << "7"
                                                             << "";
        QTest::newRow("tone refuses a tone it lacks") << "system-tone"
                                                      << "123.5"
                                                      << "";
        QTest::newRow("list text in any case") << "busy-channel-detect"
                                               << "system tone"
                                               << "System Tone";
        QTest::newRow("list refuses another text") << "busy-channel-detect"
                                                   << "none"
                                                   << "";
        QTest::newRow("code typed and entered") << "primary-code"
                                                << "12a34"
                                                << "1234";
        QTest::newRow("lower block drags the upper") << "lower-block-decode"
                                                     << "0300"
                                                     << "0300";
        QTest::newRow("group code") << "GroupCode[3]"
                                    << "42"
                                    << "0042";
        QTest::newRow("speed dial") << "speed-dial.A"
                                    << "5551234"
                                    << "5551234";
    }
    void assign()
    {
        QFETCH(QString, field);
        QFETCH(QString, text);
        QFETCH(QString, shown);
        UnitModel model;
        MemoryEditorControls controls;
        FieldBinding binding(model, controls);
        binding.FillConfig2Lists();
        binding.NormalizeAndShow();
        model.MarkClean();
        const FieldEntry entry = *FindField(field);
        const QString before = ShownValue(entry, model);
        const Result<> assigned = AssignField(binding, controls, entry, text);
        QCOMPARE(assigned.ok(), !shown.isEmpty());
        QCOMPARE(ShownValue(entry, model), assigned ? shown : before);
        QCOMPARE(model.DataEdited, shown != before && assigned);
        if (!assigned) // the refusal names what the field takes
            QVERIFY2(
                assigned.error().contains(entry.array == ControlArray::Config3 ? "on, off, 1, 0" : "0 to"),
                qPrintable(assigned.error()));
        if (entry.array == ControlArray::Config1 && entry.index == LowerBlockDecode)
            QCOMPARE(model.Fields.Config1Text[UpperBlockDecode], shown);
    }
};

QTEST_GUILESS_MAIN(TestFieldTable)
#include "tst_field_table.moc"
