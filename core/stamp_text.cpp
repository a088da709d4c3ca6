#include "core/stamp_text.h"

#include "core/persian_date.h"

#include <QRegularExpression>

namespace gc {

bool IsAcceptableDate(const QString& text) {
    if (text == kBlankDate)
        return true;
    static const QRegularExpression shape(QStringLiteral("^([0-9]{4})/([0-9]{2})/([0-9]{2})$"));
    const QRegularExpressionMatch m = shape.match(text);
    return m.hasMatch() &&
           GregorianOfPersian(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt())
               .isValid();
}

bool IsAcceptableTime(const QString& text) {
    if (text == kBlankTime)
        return true;
    static const QRegularExpression shape(QStringLiteral("^([01][0-9]|2[0-3]):[0-5][0-9]$"));
    return shape.match(text).hasMatch();
}

QString BadDateMessage(const QString& field, const QString& text) {
    return QStringLiteral("«%1»: «%2» تاريخ درستي نيست؛ تاريخ را كامل و به صورت 1403/07/01 وارد "
                          "نماييد يا خالي بگذاريد")
        .arg(field, text);
}

QString BadTimeMessage(const QString& field, const QString& text) {
    return QStringLiteral("«%1»: «%2» ساعت درستي نيست؛ ساعت را كامل و از 00:00 تا 23:59 وارد "
                          "نماييد يا خالي بگذاريد")
        .arg(field, text);
}

} // namespace gc
