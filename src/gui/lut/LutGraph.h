#pragma once

#include <functional>
#include <span>

#include <QFrame>
#include <QPen>

#include "core/formats/LutCurve.h"

// The 256 x 256 graph of one channel: a grid, the edit points as circles (Edit Mode only) and
// the table as a polyline. It holds no state of its own; the window hands it what to draw.
// Mouse events pass through to the window, which works in its own coordinates.
class LutGraph final : public QFrame {
    Q_OBJECT

public:
    struct Scene {
        bool editMode = true;
        std::span<const EditPoint> points;
        const LutTable *table = nullptr;
        QPen linePen;
    };
    // Called at the start of every paint; in Edit Mode it recomputes the table.
    using SceneSource = std::function<Scene()>;

    static constexpr int kOuterSize = 260;

    LutGraph(SceneSource source, QWidget *parent);

    // The client rectangle the curve is drawn in: (0, 0) to (256, 256).
    QRect GraphRect() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    SceneSource source_;
};
