// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings_pages.h"

#include "base/latin1_text.h"
#include "field_edit_filter.h"
#include "model/routing_legend.h"
#include "routing_legend_view.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QTabBar>

#include <limits>

namespace vireo {

namespace {

struct Box {
    int left, top, width, height;
};

// A label beside a configuration field, and the field's box, in twips inside "Configuration".
struct ConfigRow {
    const char *caption;
    int labelLeft, labelTop, labelHeight;
    Box field;
};

constexpr ConfigRow ConfigTextRows[ConfigTextCount] = {
    {"Primary Code", 240, 420, 210, {1680, 360, 612, 300}},
    {"Secondary Code", 240, 780, 210, {1680, 720, 612, 300}},
    {"Lower Block Decode", 2880, 420, 216, {4680, 360, 612, 300}},
    {"Upper Block Decode", 2880, 780, 216, {4680, 720, 612, 300}},
    {"Five Digit Access Code", 240, 1380, 216, {2640, 1320, 732, 300}},
    {"Trunking System ID Number", 240, 1860, 216, {2640, 1800, 492, 300}},
};
constexpr ConfigRow ConfigListRows[ConfigListCount] = {
    {"System Tone", 240, 2340, 216, {2160, 2280, 1692, 300}},
    {"Busy Channel Detect", 240, 2820, 216, {2160, 2760, 1695, 300}},
};
struct CheckRow {
    const char *caption;
    Box box;
};
constexpr CheckRow ConfigOptionRows[ConfigOptionCount] = {
    {"Priority Subscriber Enable", {240, 3360, 2775, 225}},
    {"Fleet Dispatch Mode", {240, 3600, 2655, 225}},
    {"Emergency Call Override", {240, 3840, 2775, 225}},
    {"Clear Channel Alerting Mode", {240, 4080, 3135, 225}},
    {"Memory Speed-dialing Programming", {240, 4320, 3615, 225}},
};

// The field keys users know from vireo-cli name the widgets too.
QString FieldName(const char *array, int index)
{
    return QStringLiteral("%1[%2]").arg(Latin1Text(array)).arg(index);
}

QLabel *AddLabel(QWidget *parent, const QString &caption, const TwipScale &scale, int left, int top,
                 int height)
{
    auto *label = new QLabel(caption, parent);
    label->adjustSize();
    label->setGeometry(QRect(QPoint(scale.Px(left), scale.Px(top)),
                             QSize(label->width(), std::max(label->height(), scale.Px(height)))));
    return label;
}

QGroupBox *AddFrame(QWidget *parent, const char *caption, const TwipScale &scale, Box box)
{
    auto *frame = new QGroupBox(Latin1Text(caption), parent);
    scale.Place(frame, box.left, box.top, box.width, box.height);
    return frame;
}

// A page in the window's own background colour, on which the legend's
// window-coloured lines stand out. It is built before it joins the tabs, so
// its labels take their sizes from the application's font.
QWidget *NewPage(const QString &name)
{
    auto *page = new QWidget;
    page->setObjectName(name);
    page->setAutoFillBackground(true);
    page->setBackgroundRole(QPalette::Window);
    return page;
}

} // namespace

SettingsPages::SettingsPages(UnitModel &model, const TwipScale &scale, QWidget *parent)
    : QTabWidget(parent), m_binding(model, *this), m_filter(new FieldEditFilter(m_binding, this)),
      m_scale(scale)
{
    setObjectName(QStringLiteral("settingsTabs"));
    // Tab moves between fields only; Ctrl+Tab still changes the page.
    tabBar()->setFocusPolicy(Qt::NoFocus);
    addTab(BuildSpeedDialPage(), QStringLiteral("Speed Dial"));
    addTab(BuildConfigurationPage(), QStringLiteral("Configuration"));
    SetFocusOrder();
}

QLineEdit *SettingsPages::FirstField() const
{
    return m_speedDial[0];
}

QLineEdit *SettingsPages::AddTextField(QWidget *parent, ControlArray array, int index, QRect twips)
{
    auto *field = new QLineEdit(parent);
    m_scale.Place(field, twips.x(), twips.y(), twips.width(), twips.height());
    field->setMaxLength(std::numeric_limits<int>::max()); // no length limit: the commit decides
    m_filter->Watch(field, array, index);
    return field;
}

QWidget *SettingsPages::BuildSpeedDialPage()
{
    QWidget *page = NewPage(QStringLiteral("speedDialPage"));
    QGroupBox *frames[2] = {AddFrame(page, "Speed Dial", m_scale, {600, 480, 2655, 4080}),
                            AddFrame(page, "Turbo SpeeDial", m_scale, {4080, 480, 2655, 1920})};
    static const char *const turboCaptions[4] = {"A", "B", "C", "D"};
    static const int turboWidths[4] = {108, 120, 132, 132};
    for (int i = 0; i < SpeedDialCount; ++i) {
        const bool turbo = i >= 10;
        const int row = turbo ? i - 10 : i;
        QGroupBox *frame = frames[turbo ? 1 : 0];
        m_speedDial[i] =
            AddTextField(frame, ControlArray::SpeedDial, i, QRect(480, 360 + 360 * row, 1935, 300));
        m_speedDial[i]->setObjectName(FieldName("SpeedDial", i));
        auto *label = new QLabel(turbo ? Latin1Text(turboCaptions[row]) : QString::number(i), frame);
        m_scale.Place(label, 240, 420 + 360 * row, turbo ? turboWidths[row] : 96, 204);
        label->setMinimumWidth(label->sizeHint().width()); // a digit never clips
        label->resize(std::max(label->width(), label->sizeHint().width()), label->height());
    }
    new RoutingLegendView(DrawRoutingCodeTable(), m_scale, page);
    return page;
}

QWidget *SettingsPages::BuildConfigurationPage()
{
    QWidget *page = NewPage(QStringLiteral("configurationPage"));
    QGroupBox *config = AddFrame(page, "Configuration", m_scale, {120, 120, 5532, 4752});
    for (int i = 0; i < ConfigTextCount; ++i) {
        const ConfigRow &row = ConfigTextRows[i];
        AddLabel(config, Latin1Text(row.caption), m_scale, row.labelLeft, row.labelTop, row.labelHeight);
        m_configText[i] =
            AddTextField(config, ControlArray::ConfigText, i,
                         QRect(row.field.left, row.field.top, row.field.width, row.field.height));
        m_configText[i]->setObjectName(FieldName("Config1", i));
    }
    for (int i = 0; i < ConfigListCount; ++i) {
        const ConfigRow &row = ConfigListRows[i];
        AddLabel(config, Latin1Text(row.caption), m_scale, row.labelLeft, row.labelTop, row.labelHeight);
        auto *list = new QComboBox(config); // selection only: not editable
        m_scale.Place(list, row.field.left, row.field.top, row.field.width, row.field.height);
        list->setObjectName(FieldName("Config2", i));
        m_filter->Watch(list, ControlArray::ConfigList, i);
        m_configList[i] = list;
    }
    for (int i = 0; i < ConfigOptionCount; ++i) {
        const CheckRow &row = ConfigOptionRows[i];
        auto *box = new QCheckBox(Latin1Text(row.caption), config);
        m_scale.Place(box, row.box.left, row.box.top, row.box.width, row.box.height);
        box->setObjectName(FieldName("Config3", i));
        m_filter->Watch(box, ControlArray::ConfigOption, i);
        m_configOption[i] = box;
    }
    QGroupBox *groups = AddFrame(page, "Group Code", m_scale, {5760, 120, 2412, 3372});
    for (int i = 0; i < GroupCodeCount; ++i) {
        const int row = i % 8;
        m_groupCode[i] = AddTextField(groups, ControlArray::GroupCode, i,
                                      QRect(i < 8 ? 480 : 1560, 360 + 360 * row, 612, 300));
        m_groupCode[i]->setObjectName(FieldName("GroupCode", i));
        const int labelLeft = i < 8 ? 250 : (i < 10 ? 1332 : 1284);
        AddLabel(groups, QString::number(i), m_scale, labelLeft, 420 + 360 * row, 204);
    }
    return page;
}

void SettingsPages::SetFocusOrder()
{
    QList<QWidget *> order(m_speedDial.begin(), m_speedDial.end());
    order.append(QList<QWidget *>(m_configText.begin(), m_configText.end()));
    order.append(QList<QWidget *>(m_configList.begin(), m_configList.end()));
    order.append(QList<QWidget *>(m_configOption.begin(), m_configOption.end()));
    order.append(QList<QWidget *>(m_groupCode.begin(), m_groupCode.end()));
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
}

QLineEdit *SettingsPages::TextField(TextArray array, int index) const
{
    return TextArrayElement(array, index, m_speedDial, m_configText, m_groupCode);
}

QString SettingsPages::Text(TextArray array, int index) const
{
    return TextField(array, index)->text();
}

void SettingsPages::SetText(TextArray array, int index, const QString &text)
{
    QLineEdit *field = TextField(array, index);
    const QSignalBlocker quiet(field);
    field->setText(text);
}

void SettingsPages::SetBackColour(TextArray array, int index, SystemColour colour)
{
    QLineEdit *field = TextField(array, index);
    QPalette palette = field->palette();
    const QColor fill = colour == SystemColour::Menu ? QApplication::palette("QMenu").color(QPalette::Window)
                                                     : QApplication::palette(field).color(QPalette::Base);
    if (palette.color(QPalette::Base) == fill)
        return;
    palette.setColor(QPalette::Base, fill);
    field->setPalette(palette);
}

void SettingsPages::ClearList(int index)
{
    const QSignalBlocker quiet(m_configList[index]);
    m_configList[index]->clear();
}

void SettingsPages::AddListItem(int index, const QString &item)
{
    const QSignalBlocker quiet(m_configList[index]);
    m_configList[index]->addItem(item);
}

int SettingsPages::ListIndex(int index) const
{
    return m_configList[index]->currentIndex();
}

void SettingsPages::SetListIndex(int index, int item)
{
    QComboBox *list = m_configList[index];
    const QSignalBlocker quiet(list);
    list->setCurrentIndex(item >= 0 && item < list->count() ? item : -1);
}

// The unit's flags are 0 cleared and 1 set (Qt counts Checked as 2). The
// binding clamps every other value to 0 before it shows one, so a box is
// never greyed and a click only ever sets or clears it.
int SettingsPages::CheckState(int index) const
{
    return m_configOption[index]->isChecked() ? 1 : 0;
}

void SettingsPages::SetCheckState(int index, int state)
{
    QCheckBox *box = m_configOption[index];
    const QSignalBlocker quiet(box);
    box->setChecked(state == 1);
}

} // namespace vireo
