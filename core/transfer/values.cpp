#include "core/transfer/values.h"

#include "platform/db/dialect.h"

#include <QDateTime>

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

std::optional<QDateTime> dateTime(const QVariant& v) {
    if (v.typeId() == QMetaType::QDateTime)
        return v.toDateTime();
    QString s = v.toString().trimmed();
    s.replace(' ', 'T');
    const QDateTime dt = QDateTime::fromString(s, Qt::ISODateWithMs);
    return dt.isValid() ? std::optional<QDateTime>(dt) : std::nullopt;
}

// SQLite keeps date-times as the text its own datetime() writes.
QVariant dateTimeFor(db::Engine destination, const QDateTime& dt) {
    if (destination == db::Engine::PostgreSQL)
        return dt;
    return dt.toString(dt.time().msec() ? "yyyy-MM-dd HH:mm:ss.zzz" : "yyyy-MM-dd HH:mm:ss");
}

} // namespace

std::optional<QVariant> destinationValue(const QVariant& value, const db::ColumnInfo& column,
                                         db::Engine destination, QString* why) {
    if (value.isNull())
        return nullOf(column.kind);
    std::optional<QVariant> out;
    switch (column.kind) {
    case FieldKind::Text: {
        const QString text = value.typeId() == QMetaType::QDateTime
                                 ? value.toDateTime().toString("yyyy-MM-dd HH:mm:ss")
                                 : value.toString();
        if (column.width > 0 && text.size() > column.width) {
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
        return QVariant(value.toByteArray());
    case FieldKind::Float: {
        bool ok = false;
        const double d = value.toDouble(&ok);
        if (ok)
            out = QVariant(d);
        break;
    }
    case FieldKind::DateTime:
        if (const auto dt = dateTime(value))
            out = dateTimeFor(destination, *dt);
        break;
    }
    if (!out)
        *why = QString::fromUtf8("مقدار «%1» در ستون «%2» جا نمي گيرد")
                   .arg(value.toString().left(40), column.name);
    return out;
}

} // namespace gc::transfer
