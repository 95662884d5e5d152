#include "gui/lut/CLUTDlg.h"

#include <algorithm>
#include <array>
#include <functional>
#include <utility>

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>

#include "core/common/Dialogs.h"
#include "core/operations/LutExchange.h"
#include "core/protocol/Command.h"
#include "gui/common/WindowList.h"
#include "gui/lut/LutGraph.h"
#include "gui/main/SpinButton.h"
#include "gui/operations/LongOperation.h"
#include "gui/operations/OperationGuard.h"

namespace {

struct ChannelRow {
    const char *title;
    QColor colour;
};

const std::array<ChannelRow, 3> kChannels = {{
    {"LUT Setting for Red", QColor(255, 0, 0)},
    {"LUT Setting for Green", QColor(0, 255, 0)},
    {"LUT Setting for Blue", QColor(0, 0, 255)},
}};

const ChannelRow &channelRow(int channel)
{
    return kChannels[static_cast<std::size_t>(std::clamp(channel, 0, 2))];
}

constexpr int kInitialPointCount = 8;
constexpr int kWindowWidth = 640;
constexpr int kWindowHeight = 330;

QString entryProgress(const QString &message, int entry)
{
    return message + QStringLiteral("  (%1 / %2)").arg(entry).arg(kLutEntries);
}

int percentOf(int entry)
{
    return entry * 100 / kLutEntries;
}

QString modeTextOf(int mode)
{
    switch (mode) {
    case CLUTDlg::EditMode:
        return QStringLiteral("Edit Mode");
    case CLUTDlg::ViewMode:
        return QStringLiteral("View Mode");
    default:
        return QStringLiteral("Unknown Mode");
    }
}

QLabel *makeLabel(QWidget &parent, const QString &text, const QRect &where, Qt::Alignment align = Qt::AlignLeft)
{
    auto *label = new QLabel(text, &parent);
    label->setGeometry(where);
    label->setAlignment(align | Qt::AlignVCenter);
    return label;
}

QGroupBox *makeGroup(QWidget &parent, const QString &title, const QRect &where)
{
    auto *group = new QGroupBox(title, &parent);
    group->setGeometry(where);
    return group;
}

} // namespace

CLUTDlg::CLUTDlg(int channelIndex, const Services &services, QWidget *parent)
    : QDialog(parent),
      channel_(channelIndex),
      command_(services.command),
      dialogs_(services.dialogs),
      onlineStatus_(services.onlineStatus),
      windowList_(services.windowList),
      progress_(services.progress),
      operations_(services.operations)
{
    setWindowTitle(QString::fromLatin1(channelRow(channel_).title));
    buildControls();
    onlineStatus_.Register(*this);
    windowList_.Register(*this);
    setFixedSize(kWindowWidth, kWindowHeight);
    setMode(EditMode);
}

CLUTDlg::~CLUTDlg()
{
    onlineStatus_.Unregister(*this);
    windowList_.Unregister(*this);
}

void CLUTDlg::buildControls()
{
    graph_ = new LutGraph(
        [this] {
            syncTable();
            return LutGraph::Scene{mode_ == EditMode, points_.InUse(), &table_,
                                   QPen(channelRow(channel_).colour, 2, Qt::SolidLine)};
        },
        this);
    graph_->setGeometry(kGraphLeft, kGraphTop, LutGraph::kOuterSize, LutGraph::kOuterSize);
    graph_->setAccessibleName(QStringLiteral("LUT curve"));
    controls_.Register(kGraphId, *graph_);

    // The output axis is labelled on the right of the graph: the left column of group boxes
    // reaches almost to the graph's left edge and would cover labels placed there. Each label
    // is centred on its grid row.
    const int graphRight = kGraphLeft + LutGraph::kOuterSize;
    const int clientTop = kGraphTop + (LutGraph::kOuterSize - kGraphSize) / 2;
    for (const auto &[text, row] : {std::pair{"4095", 0}, std::pair{"2048", kGraphSize / 2}, std::pair{"0", kGraphSize}})
        makeLabel(*this, QString::fromLatin1(text), QRect(graphRight + 4, clientTop + row - 8, 40, 16));
    const int axisTop = kGraphTop + LutGraph::kOuterSize + 2;
    makeLabel(*this, QStringLiteral("0"), QRect(kGraphLeft, axisTop, 30, 16));
    makeLabel(*this, QStringLiteral("128"), QRect(kGraphLeft + 115, axisTop, 30, 16), Qt::AlignHCenter);
    makeLabel(*this, QStringLiteral("255"), QRect(kGraphLeft + 230, axisTop, 30, 16), Qt::AlignRight);

    makeGroup(*this, QStringLiteral("Current Mode Status"), QRect(8, 8, 140, 48));
    modeText_ = makeLabel(*this, QString(), QRect(18, 28, 120, 20), Qt::AlignHCenter);
    modeText_->setAccessibleName(QStringLiteral("Current Mode Status"));
    controls_.Register(kModeTextId, *modeText_);

    const auto makeButton = [this](int id, const QString &text, const QRect &where, std::function<void()> run) {
        auto *button = new QPushButton(text, this);
        button->setGeometry(where);
        button->setAutoDefault(false);
        controls_.Register(id, *button);
        connect(button, &QPushButton::clicked, this, std::move(run));
        return button;
    };
    makeGroup(*this, QStringLiteral("Operation"), QRect(8, 62, 140, 112));
    // The two transfers wait while another window's operation runs.
    operations_.AddStarter(*makeButton(kReadButtonId, QStringLiteral("Read Table Data"), QRect(16, 82, 124, 26),
                                       [this] { ReadTableFromCamera(); }));
    operations_.AddStarter(*makeButton(kWriteButtonId, QStringLiteral("Write Table Data"), QRect(16, 112, 124, 26),
                                       [this] { WriteTableToCamera(channel_); }));
    makeButton(kClearButtonId, QStringLiteral("Clear Table Data"), QRect(16, 142, 124, 26),
               [this] { ResetEditPoints(); });

    makeGroup(*this, QStringLiteral("Change To Edit Mode"), QRect(8, 180, 140, 112));
    makeButton(kConvertButtonId, QStringLiteral("Convert Editable"), QRect(16, 200, 124, 26),
               [this] { ConvertEditable(); });
    QLabel *countLabel = makeLabel(*this, QStringLiteral("Edit Point\nCount To Add"), QRect(14, 232, 84, 34));
    auto *countEdit = new QLineEdit(this);
    countEdit->setGeometry(100, 238, 22, 22);
    countEdit->setReadOnly(true);
    countEdit->setAccessibleName(QStringLiteral("Edit Point Count To Add"));
    countLabel->setBuddy(countEdit);
    controls_.Register(kPointCountEditId, *countEdit);
    pointCount_ = new SpinButton(kPointCountSpinId, this);
    pointCount_->setGeometry(122, 238, 18, 22);
    pointCount_->setBuddy(countEdit);
    pointCount_->setRange(kMinEditPoints, kMaxEditPoints);
    pointCount_->setPosition(kInitialPointCount);
    countEdit->setText(QString::number(kInitialPointCount));
    controls_.Register(kPointCountSpinId, *pointCount_);

    makeGroup(*this, QStringLiteral("Usage Descritption"), QRect(470, 8, 162, 284));
    makeLabel(*this, QStringLiteral("<< Add edit point >>\n  Left mouse click\n  on LUT line"), QRect(478, 28, 150, 60));
    makeLabel(*this, QStringLiteral("<< Delete edit point >>\n  Right mouse click\n  at edit point"),
              QRect(478, 100, 150, 60));
    makeLabel(*this,
              QStringLiteral("<< Move LUT line >>\n  Move with keeping left\n  mouse click on\n  edit point."),
              QRect(478, 172, 150, 80));

    // Kept from the window's template, never shown.
    auto *tableType = new QComboBox(this);
    tableType->addItems({QStringLiteral("Liner"), QStringLiteral("0.6"), QStringLiteral("0.45"),
                         QStringLiteral("Gamma"), QStringLiteral("LUT")});
    tableType->hide();
    controls_.Register(kTableTypeListId, *tableType);
    auto *writeAll = new QPushButton(QStringLiteral("Write This Setting To All Other Color Tables"), this);
    writeAll->setAutoDefault(false);
    writeAll->hide();
    controls_.Register(kWriteAllButtonId, *writeAll);

    QLabel *strip = MakeStatusStrip(*this, kStatusStripId);
    strip->setGeometry(0, 322, kWindowWidth, 8);
    controls_.Register(kStatusStripId, *strip);
    SetStatusStrip(strip);

    setTabOrder(controls_.Find(kReadButtonId), controls_.Find(kWriteButtonId));
    setTabOrder(controls_.Find(kWriteButtonId), controls_.Find(kClearButtonId));
    setTabOrder(controls_.Find(kClearButtonId), controls_.Find(kConvertButtonId));
    setTabOrder(controls_.Find(kConvertButtonId), countEdit);
}

void CLUTDlg::setMode(int mode)
{
    mode_ = mode;
    modeText_->setText(modeTextOf(mode_));
    pointsChanged();
}

void CLUTDlg::pointsChanged()
{
    graph_->update();
    describeGraph();
}

void CLUTDlg::syncTable()
{
    if (mode_ == EditMode)
        RasterizeCurve(points_.InUse(), graph_->GraphRect().bottom() + 1, table_);
}

void CLUTDlg::describeGraph()
{
    QStringList parts;
    if (mode_ == EditMode) {
        for (const EditPoint &point : points_.InUse())
            parts.append(QStringLiteral("(%1, %2)").arg(point.x * 16).arg((kGraphSize - point.y) * 16));
        graph_->setAccessibleDescription(
            QStringLiteral("Edit Mode, %1 edit points (input, output): %2").arg(points_.Count()).arg(parts.join(QStringLiteral(", "))));
        return;
    }
    for (int index : {0, 64, 128, 192, 255})
        parts.append(QStringLiteral("(%1, %2)").arg(InputLevel(index)).arg(table_[static_cast<std::size_t>(index)]));
    graph_->setAccessibleDescription(
        QStringLiteral("View Mode, table (input, output): %1").arg(parts.join(QStringLiteral(", "))));
}

void CLUTDlg::ResetEditPoints()
{
    points_.Reset();
    setMode(EditMode);
}

void CLUTDlg::ConvertEditable()
{
    syncTable();
    points_.ConvertEditable(pointCount_->position(), table_);
    setMode(EditMode);
}

void CLUTDlg::ShowTableAsLoaded()
{
    setMode(ViewMode);
}

void CLUTDlg::mousePressEvent(QMouseEvent *event)
{
    // A press starts the gesture where the button went down, as its first move would.
    handleMouse(*event);
}

void CLUTDlg::mouseMoveEvent(QMouseEvent *event)
{
    handleMouse(*event);
}

void CLUTDlg::handleMouse(const QMouseEvent &event)
{
    const QPoint at = event.position().toPoint();
    if (at.x() < kGraphLeft || at.x() > kGraphLeft + kGraphSize || at.y() < kGraphTop ||
        at.y() > kGraphTop + kGraphSize)
        return;
    if (event.modifiers() & (Qt::ShiftModifier | Qt::ControlModifier))
        return;
    const std::int32_t gx = at.x() - kGraphLeft;
    const std::int32_t gy = at.y() - kGraphTop;
    if (event.buttons() == Qt::LeftButton)
        points_.LeftButtonAt(gx, gy);
    else if (event.buttons() == Qt::RightButton)
        points_.RightButtonAt(gx, gy);
    else
        return;
    pointsChanged();
}

bool CLUTDlg::ReadTableFromCamera()
{
    const QString message = QStringLiteral("Now, reading camera gamma data  ");
    // The entries come in one by one while the windows repaint; in Edit Mode every paint would
    // put the curve back over the entries read so far. The table is made the curve the window
    // shows, and stops following the edit points, before the first entry is read.
    syncTable();
    setMode(ViewMode);
    LongOperation operation(progress_, operations_, this, message, LongOperation::Options{&windowList_, true});
    const bool complete = ReadLutEntries(command_, channel_, table_, [&](int done) {
                              operation.Step(percentOf(done - 1), entryProgress(message, done));
                              activateWindow();
                          }) == kLutEntries;
    setMode(ViewMode);
    operation.Finish();
    return complete;
}

void CLUTDlg::WriteTableToCamera(int channel)
{
    syncTable();
    const QString message = QStringLiteral("Now, writing camera gamma data.");
    // A camera that does not answer at all ends the transfer, instead of 512 time-outs.
    int stoppedAt = 0;
    {
        LongOperation operation(progress_, operations_, this, message, LongOperation::Options{&windowList_, true});
        stoppedAt = WriteLutEntries(command_, channel, table_, [&](int done) {
            operation.Step(percentOf(done - 1), entryProgress(message, done));
        });
    }
    if (stoppedAt > 0) {
        dialogs_.Message(QStringLiteral("The camera stopped answering at entry %1 of %2.").arg(stoppedAt).arg(kLutEntries),
                         QString(), MessageIcon::Exclamation);
    }
}
