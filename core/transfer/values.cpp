#include "core/transfer/values.h"

#include "platform/db/dialect.h"

#include <QDate>
#include <QRegularExpression>
#include <QTime>

namespace gc::transfer {

namespace {

using db::FieldKind;

QVariant nullOf(FieldKind kind) {
    switch (kind) {
    case FieldKind::Integer:
    case FieldKind::AutoInc:
        return QVariant(QMetaType::fromType<qlonglong>());
    case FieldKind::Boolean:
        return QVariant(QMetaType::fromType<bool>());
    case FieldKind::Blob:
        return QVariant(QMetaType::fromType<QByteArray>());
    case FieldKind::Float:
        return QVariant(QMetaType::fromType<double>());
    case FieldKind::DateTime:
    case FieldKind::Text:
        break;
    }
    return QVariant(QMetaType::fromType<QString>());
}

bool isText(const QVariant& v) {
    return v.typeId() == QMetaType::QString;
}

std::optional<QVariant> integer(const QVariant& v) {
    bool ok = false;
    const qlonglong n = isText(v) ? v.toString().trimmed().toLongLong(&ok) : v.toLongLong(&ok);
    return ok ? std::optional<QVariant>(n) : std::nullopt;
}

std::optional<QVariant> flag(const QVariant& v) {
    if (!isText(v))
        return QVariant(v.toLongLong() != 0 || v.toBool());
    const QString s = v.toString().trimmed().toLower();
    if (s == "true" || s == "1" || s == "-1")
        return QVariant(true);
    if (s == "false" || s == "0")
        return QVariant(false);
    return std::nullopt;
}

// A zero-length block is a value: the drivers write a null QByteArray as NULL.
QVariant bytes(const QVariant& v) {
    QByteArray b = v.toByteArray();
    if (b.isNull())
        b = QByteArray(0, '\0');
    return b;
}

} // namespace

std::optional<QString> wallClockText(const QString& text) {
    static const QRegularExpression form(
        R"(^(\d{4})-(\d{2})-(\d{2})(?:[ T](\d{2}):(\d{2})(?::(\d{2})(\.\d{1,6})?)?)?$)");
    const auto m = form.match(text.trimmed());
    if (!m.hasMatch())
        return std::nullopt;
    const QDate date(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
    const QTime time(m.captured(4).toInt(), m.captured(5).toInt(), m.captured(6).toInt());
    if (!date.isValid() || !time.isValid())
        return std::nullopt;
    return date.toString("yyyy-MM-dd") + ' ' + time.toString("HH:mm:ss") + m.captured(7);
}

std::optional<QVariant> destinationValue(const QVariant& value, const db::ColumnInfo& column,
                                         QString* why) {
    if (value.isNull())
        return nullOf(column.kind);
    std::optional<QVariant> out;
    switch (column.kind) {
    case FieldKind::Text: {
        const QString text = value.toString();
        if (column.width > 0 && db::textWidth(text) > column.width) {
            *why = db::widthMessage(column.name, column.width);
            return std::nullopt;
        }
        return QVariant(text);
    }
    case FieldKind::Integer:
    case FieldKind::AutoInc:
        out = integer(value);
        break;
    case FieldKind::Boolean:
        out = flag(value);
        break;
    case FieldKind::Blob:
        return bytes(value);
    case FieldKind::Float: {
        bool ok = false;
        const double d = value.toDouble(&ok);
        if (ok)
            out = QVariant(d);
        break;
    }
    case FieldKind::DateTime:
        if (const auto text = wallClockText(value.toString()))
            out = QVariant(*text);
        break;
    }
    if (!out)
        *why = QString::fromUtf8("مقدار «%1» در ستون «%2» جا نمي گيرد")
                   .arg(value.toString().left(40), column.name);
    return out;
}

} // namespace gc::transfer
