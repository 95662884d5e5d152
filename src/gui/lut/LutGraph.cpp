#include "gui/lut/LutGraph.h"

#include <QPainter>

namespace {

const QPen &gridPen()
{
    static const QPen pen(QColor(100, 50, 100), 1, Qt::SolidLine);
    return pen;
}

} // namespace

LutGraph::LutGraph(SceneSource source, QWidget *parent) : QFrame(parent), source_(std::move(source))
{
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth((kOuterSize - kGraphSize) / 2);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAutoFillBackground(true);
    setFocusPolicy(Qt::NoFocus);
}

QRect LutGraph::GraphRect() const
{
    return QRect(0, 0, kGraphSize, kGraphSize);
}

void LutGraph::paintEvent(QPaintEvent *event)
{
    QFrame::paintEvent(event);
    const Scene scene = source_();
    QPainter painter(this);
    painter.translate(contentsRect().topLeft());
    painter.setClipRect(GraphRect());
    const int right = kGraphSize;
    const int bottom = kGraphSize;

    painter.setPen(gridPen());
    for (int x = 0; x < right; x += right / 10)
        painter.drawLine(x, 0, x, bottom);
    for (int y = bottom - 1; y >= 0; y -= bottom / 10)
        painter.drawLine(0, y, right, y);

    if (scene.editMode) {
        for (const EditPoint &point : scene.points)
            painter.drawEllipse(QRect(point.x - 4, point.y - 4, 8, 8));
    }
    if (!scene.table)
        return;

    painter.setPen(scene.linePen);
    QPoint pen = scene.editMode && !scene.points.empty() ? QPoint(scene.points.front().x, scene.points.front().y)
                                                         : QPoint(0, bottom);
    for (int i = 0; i < kLutEntries; ++i) {
        const int x = InputLevel(i) / 16;
        const std::int64_t y = bottom - GraphRowsOf((*scene.table)[static_cast<std::size_t>(i)]);
        // Entries off the graph are skipped; the line goes on from the last one drawn.
        if (x < 0 || x > right || y < 0 || y > bottom)
            continue;
        const QPoint next(x, static_cast<int>(y));
        painter.drawLine(pen, next);
        pen = next;
    }
}
