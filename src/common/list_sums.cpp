#include "common/list_sums.h"

#include "common/list_grid.h"
#include "dataset/dataset.h"
#include "fb/error.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QSet>

fb::Decimal listSum(const dataset::Dataset& rows, const QString& field, const QString& onceFor, int decimals)
{
    fb::Decimal sum{0, decimals};
    // Rows are read before the dataset counts as open, so its fields are what
    // tell: a query never read has none (a field the statement lacks is a
    // fault the description test finds).
    const dataset::Field* f = rows.findField(field);
    if (!f)
        return sum;
    const dataset::Field* onceField = onceFor.isEmpty() ? nullptr : rows.findField(onceFor);
    const int once = onceField ? onceField->index() : -1;
    QSet<QString> counted;
    for (int r = 0; r < rows.rowCount(); ++r) {
        if (once >= 0) {
            const fb::Value key = rows.value(r, once);
            const QString text = key.isNull() ? QString() : key.toString();
            if (!key.isNull() && counted.contains(text))
                continue;
            counted.insert(text);
        }
        const fb::Value v = rows.value(r, f->index());
        if (!v.isNull())
            sum = sum + v.toDecimal(decimals).rescaled(decimals);
    }
    return sum;
}

int listCount(const dataset::Dataset& rows, const QString& onceFor)
{
    const dataset::Field* f = onceFor.isEmpty() ? nullptr : rows.findField(onceFor);
    if (!f)
        return rows.rowCount();
    QSet<QString> seen;
    for (int r = 0; r < rows.rowCount(); ++r)
        seen.insert(rows.value(r, f->index()).toString());
    return int(seen.size());
}

QString sumText(const fb::Decimal& sum, const QString& suffix)
{
    return sum.toString(QLocale().decimalPoint().at(0)) + suffix;
}

ListSums::ListSums(dataset::Dataset& rows, std::vector<kit::SumSpec> sums, QWidget* parent)
    : QWidget(parent), rows_(&rows), sums_(std::move(sums))
{
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    for (const kit::SumSpec& sum : sums_) {
        auto* label = new QLabel(this);
        label->setObjectName(sum.name);
        row->addWidget(new QLabel(sum.label, this));
        row->addWidget(label);
        row->addSpacing(label->fontMetrics().averageCharWidth() * 4);
        labels_.push_back(label);
    }
    row->addStretch();
    connect(&rows, &dataset::Dataset::rowsReset, this, &ListSums::update);
    update();
}

ListSums::~ListSums() = default;

void ListSums::readFrom(const ListGrid& list)
{
    list_ = &list;
    summed_ = std::make_unique<dataset::Dataset>(list.rows().area(), list.rows().name() + QStringLiteral("Sums"));
    // The sums' query goes with the list's, while the transaction it was read in is still there.
    connect(&list.rows(), &QObject::destroyed, this, [this] { summed_.reset(); });
    update();
}

void ListSums::update()
{
    if (!rows_)
        return;
    if (summed_ && !readSummed())
        return;
    const dataset::Dataset& rows = summed_ ? *summed_ : *rows_;
    for (size_t i = 0; i < sums_.size(); ++i)
        labels_[i]->setText(sums_[i].count ? QString::number(listCount(rows, sums_[i].onceFor))
                                           : sumText(listSum(rows, sums_[i].field, sums_[i].onceFor, sums_[i].decimals),
                                                     sums_[i].suffix));
    // Only the sums are kept, not the rows they came from.
    if (summed_)
        summed_->close();
}

// The sums' rows of a list just read. An empty list (or one being closed)
// sums to nothing without asking. This runs while the list is being read,
// where an error cannot go back to the reader: a sum that cannot be read is
// shown empty rather than wrong.
bool ListSums::readSummed()
{
    summed_->close();
    if (rows_->loadedRowCount() == 0)
        return true;
    try {
        summed_->sql().setLines(list_->sumLines());
        summed_->open();
    } catch (const fb::Error&) {
        summed_->close();
        for (QLabel* label : labels_)
            label->clear();
        return false;
    }
    return true;
}
