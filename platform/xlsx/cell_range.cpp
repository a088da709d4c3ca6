#include "platform/xlsx/cell_range.h"

#include <QRegularExpression>

namespace gc::xlsx {

std::optional<int> columnNumber(const QString& letters) {
    if (letters.isEmpty() || letters.size() > 3)
        return std::nullopt;
    int n = 0;
    for (QChar ch : letters) {
        const char16_t c = QChar::toUpper(ch.unicode());
        if (c < u'A' || c > u'Z')
            return std::nullopt;
        n = n * 26 + (c - u'A' + 1);
    }
    if (n > kMaxColumns)
        return std::nullopt;
    return n;
}

namespace {

struct Corner {
    int row;
    int column;
};

std::optional<Corner> parseCorner(const QString& text) {
    static const QRegularExpression re(QStringLiteral("^\\$?([A-Za-z]{1,3})\\$?([0-9]{1,7})$"));
    const auto m = re.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    const auto column = columnNumber(m.captured(1));
    const int row = m.captured(2).toInt();
    if (!column || row < 1 || row > kMaxRows)
        return std::nullopt;
    return Corner{row, *column};
}

} // namespace

std::optional<CellRange> parseRange(const QString& text) {
    const QStringList parts = text.trimmed().split(u':');
    if (parts.size() > 2)
        return std::nullopt;
    const auto a = parseCorner(parts.front());
    const auto b = parseCorner(parts.back());
    if (!a || !b)
        return std::nullopt;
    return CellRange{std::min(a->row, b->row), std::min(a->column, b->column),
                     std::max(a->row, b->row), std::max(a->column, b->column)};
}

} // namespace gc::xlsx
