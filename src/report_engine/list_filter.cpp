#include "report_engine/list_filter.h"

#include "common/list_grid.h"
#include "dataset/dataset.h"

#include <QLineEdit>
#include <QPointer>
#include <QStringList>
#include <QWidget>

#include <memory>

namespace reports {

namespace {

// The texts of the boxes at the last read that was a filter by them.
struct FilterWatch {
    std::vector<std::pair<QString, QPointer<QLineEdit>>> boxes;  // label, box
    std::vector<FilterCondition> conditions;
    QStringList applied;

    QStringList typed() const
    {
        QStringList texts;
        for (const auto& [label, box] : boxes)
            texts << (box ? box->text() : QString());
        return texts;
    }
};

}  // namespace

std::function<QString()> listFilter(ListGrid& list, const std::vector<kit::FilterSpec>& filters, QWidget& screen)
{
    auto watch = std::make_shared<FilterWatch>();
    for (const kit::FilterSpec& f : filters) {
        watch->boxes.emplace_back(f.label, screen.findChild<QLineEdit*>(f.name));
        watch->conditions.push_back(f.condition);
        watch->applied << QString();
    }
    // A read is a filter by the boxes as they stand when it reads exactly
    // the statement those texts make (with no text at all: the default
    // one); a sort or a second read of the lines in force reads other lines
    // or the same ones, and leaves the filter as it was.
    QPointer<ListGrid> grid(&list);
    QObject::connect(&list.rows(), &dataset::Dataset::rowsReset, &screen, [grid, watch] {
        if (!grid)
            return;
        const QStringList texts = watch->typed();
        if (grid->rows().sql().lines() == grid->statement().filtered(watch->conditions, texts))
            watch->applied = texts;
    });
    return [watch] {
        QStringList parts;
        for (size_t i = 0; i < watch->boxes.size(); ++i) {
            const QString text = watch->applied.value(qsizetype(i)).trimmed();
            if (!text.isEmpty())
                parts << watch->boxes[i].first + QLatin1Char(' ') + text;
        }
        return parts.join(QStringLiteral("; "));
    };
}

}  // namespace reports
