// The hit test of files dragged over a panel, which runs on every pointer move of the drag: 500
// items (every tenth a group) in a row, the pointer sweeping along it and across it, horizontal
// and vertical. Target: under 20 µs per move.

#include "ui/externaldroptarget.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTextStream>

#include <algorithm>

namespace {

constexpr int itemCount = 500;
constexpr double pitch = 48;
constexpr double tile = 40;

struct Row
{
    QList<Item> items;
    QHash<QUuid, QRectF> frames;
};

Row makeRow(bool vertical)
{
    Row row;
    for (int i = 0; i < itemCount; ++i) {
        Item item = i % 10 == 9 ? Item(ItemGroup{.name = QStringLiteral("Group %1").arg(i)})
                                : Item(ItemLink{.location = QUrl::fromLocalFile(QStringLiteral("/tmp/%1").arg(i))});
        const QRectF frame = vertical ? QRectF(4, i * pitch, tile, tile) : QRectF(i * pitch, 4, tile, tile);
        row.frames.insert(item.id(), frame);
        row.items.append(std::move(item));
    }
    return row;
}

} // namespace

int main()
{
    QTextStream out(stdout);
    constexpr int moves = 20000;
    for (const bool vertical : {false, true}) {
        const Row row = makeRow(vertical);
        QRandomGenerator generator(500);
        QList<QPointF> points;
        for (int i = 0; i < moves; ++i) {
            const double along = generator.bounded(itemCount * pitch + pitch);
            const double across = generator.bounded(60.0) - 10;
            points.append(vertical ? QPointF(across, along) : QPointF(along, across));
        }
        QList<double> samples;
        int ends = 0;
        for (const QPointF &point : points) {
            QElapsedTimer timer;
            timer.start();
            const ExternalDropTarget target = externalDropTarget(point, row.items, row.frames, vertical);
            samples.append(double(timer.nsecsElapsed()) / 1000);
            ends += target.kind == ExternalDropTarget::Kind::End;
        }
        std::sort(samples.begin(), samples.end());
        out << "externalDropTarget, " << itemCount << " items, " << (vertical ? "vertical" : "horizontal")
            << ": median " << samples.at(moves / 2) << " µs, p95 " << samples.at(moves * 95 / 100) << " µs, max "
            << samples.last() << " µs per move (target < 20 µs; " << ends << " moves past the end)\n";
    }
    return 0;
}
