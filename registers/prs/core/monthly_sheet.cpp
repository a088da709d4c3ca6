#include "registers/prs/core/monthly_sheet.h"

#include "core/digits.h"
#include "core/persian_date.h"
#include "platform/db/forward_reader.h"
#include "platform/db/sql_text.h"
#include "registers/shared/core/search_sql.h"

#include <QHash>
#include <QRegularExpression>
#include <QSet>

namespace gc::registers::prs {

namespace {

const QStringList kWeekdays = {QStringLiteral("شنبه"),     QStringLiteral("يکشنبه"),
                               QStringLiteral("دوشنبه"),   QStringLiteral("سه شنبه"),
                               QStringLiteral("چهارشنبه"), QStringLiteral("پنجشنبه"),
                               QStringLiteral("جمعه")};

QDate gregorianOf(const QString& date) {
    static const QRegularExpression shape(QStringLiteral("^([0-9]{4})/([0-9]{2})/([0-9]{2})$"));
    const QRegularExpressionMatch m = shape.match(date);
    if (!m.hasMatch())
        return {};
    return GregorianOfPersian(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
}

QString persianText(const QDate& date) {
    const TPersianDate p = PersianDateOf(date);
    return QStringLiteral("%1/%2/%3")
        .arg(p.PYear, 4, 10, QLatin1Char('0'))
        .arg(p.PMonth, 2, 10, QLatin1Char('0'))
        .arg(p.PDay, 2, 10, QLatin1Char('0'));
}

QString notADate(const QString& date) {
    return QStringLiteral("«%1» تاريخ درستي نيست؛ تاريخ را به صورت 1403/07/01 وارد نماييد")
        .arg(date);
}

} // namespace

QString WeekdayName(int weekday) {
    return kWeekdays.value(weekday);
}

std::optional<int> PersianWeekday(const QString& date) {
    const QDate g = gregorianOf(date);
    if (!g.isValid())
        return std::nullopt;
    return (g.dayOfWeek() + 1) % 7; // Qt counts Monday as 1
}

std::optional<int> ParseWeekday(const QString& answer) {
    const QString digits = toAsciiDigits(answer.trimmed());
    if (digits.size() != 1 || !isAsciiDigits(digits) || digits.toInt() > 6)
        return std::nullopt;
    return digits.toInt();
}

SheetDays SheetDayList(const QString& from, const QString& to) {
    const QDate first = gregorianOf(from);
    if (!first.isValid())
        return {{}, notADate(from)};
    const QDate last = gregorianOf(to);
    if (!last.isValid())
        return {{}, notADate(to)};
    if (last < first)
        return {{}, QStringLiteral("تاريخ شروع (%1) بعد از تاريخ پايان (%2) است").arg(from, to)};
    if (first.daysTo(last) >= kMaxSheetLines)
        return {{}, QStringLiteral("فرم تردد حداکثر %1 روز را در بر مي گيرد").arg(kMaxSheetLines)};
    SheetDays out;
    for (QDate d = first; d <= last; d = d.addDays(1))
        out.days << persianText(d);
    return out;
}

QStringList SheetRecordsSql(const SheetFilter& filter, const QString& from, const QString& to) {
    QStringList lines = {
        QStringLiteral("Select id, exit_dat, vorod_tim, exit_tim, cart_no, nam from prs where "
                       "ID<>-1")};
    if (filter.card)
        lines << *filterLine(likeFilter(QStringLiteral(" and cart_no like ")),
                             {true, {*filter.card}});
    if (filter.surname)
        lines << *filterLine(likeFilter(QStringLiteral(" and nam like ")),
                             {true, {*filter.surname}});
    if (filter.person)
        lines << QStringLiteral(" and cart_no=") + db::quoted(filter.person->card) +
                     QStringLiteral(" and nam=") + db::quoted(filter.person->name);
    lines << QStringLiteral(" and exit_dat>=") + db::quoted(from) +
                 QStringLiteral(" and exit_dat<=") + db::quoted(to);
    lines << QStringLiteral(" order by exit_dat, id");
    return lines;
}

MonthlySheet BuildMonthlySheet(db::Connection& connection, const SheetFilter& filter,
                               const QStringList& days, int firstWeekday) {
    MonthlySheet sheet;
    if (days.isEmpty())
        return sheet;
    QHash<QString, int> lineOf;
    sheet.lines.resize(std::size_t(days.size()));
    for (int i = 0; i < days.size(); ++i) {
        SheetLine& line = sheet.lines[std::size_t(i)];
        line.dat = days[i];
        line.roz = WeekdayName((firstWeekday + i) % 7);
        lineOf.insert(days[i], i);
    }
    std::vector<int> used(sheet.lines.size(), 0);
    QSet<QString> persons;
    db::ForwardReader records(connection,
                              SheetRecordsSql(filter, days.front(), days.back()).join('\n'));
    const int day = records.column(QStringLiteral("exit_dat"));
    const int card = records.column(QStringLiteral("cart_no"));
    const int name = records.column(QStringLiteral("nam"));
    const int entry = records.column(QStringLiteral("vorod_tim"));
    const int exit = records.column(QStringLiteral("exit_tim"));
    while (records.next()) {
        const auto at = lineOf.constFind(records.text(day));
        if (at == lineOf.constEnd())
            continue;
        persons.insert(records.text(card) + QLatin1Char('\n') + records.text(name));
        SheetLine& line = sheet.lines[std::size_t(*at)];
        const int n = used[std::size_t(*at)]++;
        if (n < kSheetPairs) {
            line.v[std::size_t(n)] = records.text(entry);
            line.e[std::size_t(n)] = records.text(exit);
        } else if (n == kSheetPairs) {
            sheet.crowdedDays << line.dat;
        }
    }
    sheet.persons = int(persons.size());
    return sheet;
}

const QStringList& SheetFields() {
    static const QStringList fields = {"roz", "dat", "v1", "e1", "v2", "e2",
                                       "v3",  "e3",  "v4", "e4", "cmt"};
    return fields;
}

QString SheetText(const SheetLine& line, const QString& field) {
    if (field == QLatin1String("roz"))
        return line.roz;
    if (field == QLatin1String("dat"))
        return line.dat;
    if (field.size() == 2 && (field[0] == 'v' || field[0] == 'e')) {
        const int pair = field[1].digitValue() - 1;
        if (pair >= 0 && pair < kSheetPairs)
            return field[0] == 'v' ? line.v[std::size_t(pair)] : line.e[std::size_t(pair)];
    }
    return {};
}

QList<QPair<QString, QString>> SheetCaptions() {
    return {{"roz", "روز"},  {"dat", "تاريخ"}, {"v1", "ورود1"},   {"e1", "خروج1"},
            {"v2", "ورود2"}, {"e2", "خروج2"},  {"v3", "ورود3"},   {"e3", "خروج3"},
            {"v4", "ورود4"}, {"e4", "خروج4"},  {"cmt", "توضيحات"}};
}

WeekdayQuestion PrintWeekdayQuestion(const QString& from) {
    return {from, QStringLiteral(" اين تاريخ چند شنبه است؟ (0=شنبه ، 1=1شنبه، ...، 6=جمعه . صفر "
                                 "تا 6 يک عدد را وارد نماييد) ")};
}

WeekdayQuestion ExportWeekdayQuestion(const QString& from) {
    return {QStringLiteral("ايام هفته"),
            from + QStringLiteral(" اين تاريخ چند شنبه است؟ (0 تا 6 يک عدد را وارد نماييد) ")};
}

QString CrowdedDaysMessage(const QStringList& days) {
    return QStringLiteral("در اين روزها بيش از 4 تردد ثبت شده و فقط 4 تردد اول در فرم آمده است: %1")
        .arg(days.join(QStringLiteral("، ")));
}

QString SeveralPersonsMessage(int persons) {
    return QStringLiteral("ترددهاي اين فرم مربوط به %1 نفر است، نه يک نفر؛ براي فرم يک نفر، "
                          "شماره كارت يا نام را در جستجو مشخص نماييد")
        .arg(persons);
}

} // namespace gc::registers::prs
