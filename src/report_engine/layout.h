#pragma once

#include <QPageLayout>
#include <QRectF>
#include <QString>

#include <functional>
#include <optional>
#include <stdexcept>
#include <vector>

// A report layout as its file describes it (the format is documented in
// layouts/README.md). Positions and sizes are in millimetres; a band's
// elements are placed relative to the band's top left corner.
namespace reports {

// A layout that cannot be read or run: the text is Bulgarian and is shown to
// the user as it is.
class ReportError : public std::runtime_error {
public:
    explicit ReportError(const QString& message) : std::runtime_error(message.toStdString()) {}
    QString message() const { return QString::fromStdString(what()); }
};

struct Style {
    QString family = QStringLiteral("DejaVu Sans");
    double size = 9;  // points
    bool bold = false;
    bool italic = false;
    bool wrap = false;  // long text breaks into lines inside its rectangle
    Qt::Alignment align = Qt::AlignLeft;
};

struct Element {
    enum class Kind { Text, Field, Total, PageNumber, Line, Box };
    enum class Function { Sum, Count };
    Kind kind = Kind::Text;
    // Lines run from the rectangle's top left to its bottom right.
    QRectF rect;
    // Text: the text; page number: the pattern with {page} and {pages}.
    QString text;
    // Field and total: the connection (empty: the band's own) and the field
    // (a count without a field counts rows).
    QString connection;
    QString field;
    QString format;
    QString prefix, suffix;
    int chars = 0;  // a field: only its first characters, upper case (as a group by them shows), when > 0
    // A field of another connection read from that connection's first row
    // whose `linkField` equals `masterField` of the band's row (a name by its
    // key), when both are given.
    QString linkField, masterField;
    Function function = Function::Sum;
    Style style;
    double penWidth = 0.2;  // millimetres
};

struct Band {
    double height = 0;
    std::vector<Element> elements;
};

// A list of rows of a second connection printed under each detail row: the
// rows whose `field` equals the detail row's `masterField`.
struct SubList {
    QString connection;
    QString field;
    QString masterField;
    std::optional<Band> header;
    Band row;
    std::optional<Band> footer;
};

// A group by the value of a field of the detail connection, or by its first
// `chars` characters, upper case, when chars > 0.
struct Group {
    QString field;
    int chars = 0;
    std::optional<Band> header;
    std::optional<Band> footer;
};

struct Layout {
    static constexpr int kVersion = 1;

    QPageLayout page;
    std::optional<Band> title, pageHeader, pageFooter, summary;
    QString detailConnection;
    std::optional<Band> detail;
    std::vector<SubList> subLists;
    std::vector<Group> groups;  // outermost first

    // Every band, the sub-lists' and groups' ones included.
    void forEachBand(const std::function<void(const Band&)>& visit) const;
    // The connections the layout reads, each once.
    QStringList connections() const;
};

// Reads a layout from its text; ReportError (in Bulgarian, with the line)
// when the text is not a layout this program can run.
Layout parseLayout(const QByteArray& text);

}  // namespace reports
