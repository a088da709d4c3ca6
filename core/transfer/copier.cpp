#include "core/transfer/copier.h"

#include "core/transfer/chunk_reader.h"
#include "core/transfer/ends.h"
#include "core/transfer/row_writer.h"
#include "core/transfer/statements.h"
#include "core/transfer/values.h"
#include "platform/db/db_error.h"

#include <QHash>
#include <QSqlError>
#include <QSqlQuery>

namespace gc::transfer {

namespace {

using db::DbError;

constexpr int kChunkRows = 1000;
constexpr int kPictureChunkRows = 8; // pictures are read a few at a time: memory stays flat

struct Cancelled {};

QString noTableMessage(const QString& table) {
    return QString::fromUtf8("جدول «%1» در بانک مقصد نيست").arg(table);
}

QString noColumnMessage(const QString& table, const QString& column) {
    return QString::fromUtf8("ستون «%1» در جدول «%2» بانک مقصد نيست").arg(column, table);
}

QString prefixed(const QString& alias, const QStringList& columns) {
    QStringList out;
    for (const QString& c : columns)
        out << alias + "." + c;
    return out.join(", ");
}

class Copier {
  public:
    Copier(const TransferOptions& options, TransferObserver& observer,
           const std::atomic_bool& cancel, Ends& ends, TransferResult& result)
        : o_(options), observer_(observer), cancel_(cancel), src_(ends.source),
          dst_(ends.destination), result_(result), writer_(ends.destination) {}

    void run() {
        begin();
        for (const Section& s : sectionsFor(o_))
            section(s);
        checkCancel();
        exec(dst_, "commit");
        QSqlQuery(src_.database()).exec("rollback");
        log(QString::fromUtf8("پايان عمليات انتقال"));
    }

    void abandon() {
        QSqlQuery(dst_.database()).exec("rollback");
        QSqlQuery(src_.database()).exec("rollback");
    }

  private:
    static void exec(db::Connection& c, const QString& sql, const QVariantList& binds = {}) {
        runStatement(c, sql, binds);
    }

    // One snapshot of the source; the destination locked for writing from the start, so
    // the ids it hands out are ours alone.
    void begin() {
        if (src_.engine() == db::Engine::SQLite) {
            exec(src_, "begin");
            scalar(src_, "select count(*) from sqlite_master");
        } else {
            exec(src_, "begin isolation level repeatable read");
            scalar(src_, "select 1");
        }
        exec(dst_, dst_.engine() == db::Engine::SQLite ? "begin immediate" : "begin");
    }

    void checkCancel() const {
        if (cancel_.load())
            throw Cancelled{};
    }

    void log(const QString& line) {
        result_.log << line;
        observer_.logLine(line);
    }

    QString rangeWhere(const Section& s) const {
        if (s.dateColumn.isEmpty())
            return {};
        return s.dateColumn + " >= ?";
    }
    QVariantList rangeBinds(const Section& s) const {
        return s.dateColumn.isEmpty() ? QVariantList{} : QVariantList{o_.startDate};
    }
    QString whereClause(const Section& s) const {
        const QString w = rangeWhere(s);
        return w.isEmpty() ? QString() : " where " + w;
    }

    const db::TableInfo& destinationTable(const QString& table, const QStringList& columns) {
        const db::TableInfo* info = dst_.tableInfo(table);
        if (!info)
            throw DbError(noTableMessage(table));
        for (const QString& c : columns)
            if (!info->column(c))
                throw DbError(noColumnMessage(table, c));
        return *info;
    }

    void section(const Section& s) {
        checkCancel();
        SectionCount count;
        count.table = s.table;
        destinationTable(s.table, s.columns);
        observer_.progress(0, 0);
        count.sourceRows =
            scalar(src_, "select count(*) from " + s.table + whereClause(s), rangeBinds(s)).toInt();
        observer_.progress(0, count.sourceRows);
        if (o_.deleteOld)
            deleteRange(s);
        log(QString::fromUtf8(" در حال انتقال اطلاعات ") + s.label +
            QString::fromUtf8(" به تعداد ") + QString::number(count.sourceRows));
        int missing = 0;
        int ambiguous = 0;
        if (s.kind == SectionKind::Pictures)
            copyLoosePictures(count, missing, ambiguous);
        else
            copyRows(s, count);
        if (s.kind == SectionKind::Owners && s.copyPictures)
            copyPictures(s, count);
        if (s.kind == SectionKind::Rights)
            addAdminRight();
        if (!s.dateColumn.isEmpty())
            count.blankDates = blankDates(s);
        reportLeftOut(s, count, missing, ambiguous);
        log(QString::fromUtf8("اطلاعات ") + s.label + QString::fromUtf8(" منتقل شد"));
        result_.counts.push_back(count);
    }

    void reportLeftOut(const Section& s, const SectionCount& c, int missing, int ambiguous) {
        if (c.pictures > 0)
            log(QString::fromUtf8("%1 تصوير همراه %2 منتقل شد").arg(c.pictures).arg(s.label));
        if (c.blankDates > 0)
            log(QString::fromUtf8("%1 رديف %2 با تاريخ خالي منتقل نشد")
                    .arg(c.blankDates)
                    .arg(s.label));
        if (s.kind == SectionKind::Rights && c.skipped > 0)
            log(QString::fromUtf8("%1 رديف دسترسي کاربراني که منتقل نشده اند منتقل نشد")
                    .arg(c.skipped));
        if (missing > 0)
            log(QString::fromUtf8("%1 تصوير که شخص همتايي در مقصد ندارد منتقل نشد").arg(missing));
        if (ambiguous > 0)
            log(QString::fromUtf8("%1 تصوير که چند شخص همتا در مقصد دارد منتقل نشد")
                    .arg(ambiguous));
    }

    // The destination's rows of the section's range; pictures go with the owners removed.
    void deleteRange(const Section& s) {
        if (s.kind == SectionKind::Owners)
            exec(dst_,
                 "delete from " + s.pictures.table + " where " + s.pictures.ownerColumn +
                     " in (select id from " + s.table + whereClause(s) + ")",
                 rangeBinds(s));
        exec(dst_, "delete from " + s.table + whereClause(s), rangeBinds(s));
    }

    int blankDates(const Section& s) {
        const QString d = "coalesce(" + s.dateColumn + ", '')";
        return scalar(src_,
                      "select count(*) from " + s.table + " where not (" + d + " >= ?) and " +
                          "replace(replace(" + d + ", ' ', ''), '/', '') = ''",
                      {o_.startDate})
            .toInt();
    }

    QVariantList converted(const QString& table, const QStringList& columns, const SourceRow& row,
                           int from = 0) {
        const db::TableInfo& info = *dst_.tableInfo(table);
        QVariantList out;
        for (int i = 0; i < columns.size(); ++i) {
            QString why;
            const auto v = destinationValue(row.values.at(from + i), *info.column(columns[i]),
                                            dst_.engine(), &why);
            if (!v)
                throw DbError(
                    why +
                    QString::fromUtf8(" (جدول «%1»، رديف شماره %2 مبدا)").arg(table).arg(row.key));
            out << *v;
        }
        return out;
    }

    void copyRows(const Section& s, SectionCount& count) {
        const bool rights = s.kind == SectionKind::Rights;
        const bool keepIds = s.kind == SectionKind::Owners || s.kind == SectionKind::Users;
        const QHash<qint64, qint64> users = idMaps_.value("users");
        QHash<qint64, qint64>& ids = idMaps_[s.table];
        ChunkReader reader(src_, s.columns.join(", "), s.table, rangeWhere(s), rangeBinds(s),
                           keyColumnOf(s.table), hasBlobs(s) ? kPictureChunkRows : kChunkRows);
        std::vector<SourceRow> rows;
        while (reader.next(rows)) {
            checkCancel();
            std::vector<QVariantList> out;
            std::vector<qint64> keys;
            for (SourceRow& row : rows) {
                if (rights) {
                    const QVariant user = row.values[0];
                    if (user.isNull() || !users.contains(user.toLongLong())) {
                        ++count.skipped;
                        continue;
                    }
                    row.values[0] = users.value(user.toLongLong());
                }
                out.push_back(converted(s.table, s.columns, row));
                keys.push_back(row.key);
            }
            const std::vector<qint64> newIds = writer_.insert(s.table, s.columns, out, keys);
            if (keepIds)
                for (std::size_t i = 0; i < keys.size(); ++i)
                    ids.insert(keys[i], newIds[i]);
            count.copied += int(out.size());
            observer_.progress(count.copied + count.skipped, count.sourceRows);
        }
    }

    // Every picture of every copied owner, linked through the owner's new id.
    void copyPictures(const Section& s, SectionCount& count) {
        const PictureTable& p = s.pictures;
        destinationTable(p.table, QStringList{p.ownerColumn} + p.columns);
        const QHash<qint64, qint64>& owners = idMaps_[s.table];
        ChunkReader reader(src_, p.ownerColumn + ", " + p.columns.join(", "), p.table,
                           p.ownerColumn + " in (select id from " + s.table + whereClause(s) + ")",
                           rangeBinds(s), "id", kPictureChunkRows);
        std::vector<SourceRow> rows;
        while (reader.next(rows)) {
            checkCancel();
            std::vector<QVariantList> out;
            std::vector<qint64> keys;
            for (const SourceRow& row : rows) {
                QVariantList values{owners.value(row.values[0].toLongLong())};
                values << converted(p.table, p.columns, row, 1);
                out.push_back(values);
                keys.push_back(row.key);
            }
            writer_.insert(p.table, QStringList{p.ownerColumn} + p.columns, out, keys);
            count.pictures += int(out.size());
        }
    }

    static QString personKey(const QVariantList& v, int from) {
        QStringList parts;
        for (int i = from; i < from + 4; ++i)
            parts << v.at(i).toString();
        return parts.join(QChar(0x1f));
    }

    // Pictures alone: each goes to the one destination person with the same card number,
    // surname, name and personnel code as its source person.
    void copyLoosePictures(SectionCount& count, int& missing, int& ambiguous) {
        const QStringList match{"card_no", "surname", "name", "uniq_code"};
        destinationTable("asami", match);
        QHash<QString, qint64> persons; // -1: more than one
        QSqlQuery q = runStatement(dst_, "select id, " + match.join(", ") + " from asami", {});
        while (q.next()) {
            QVariantList v;
            for (int i = 0; i < 5; ++i)
                v << q.value(i);
            const QString key = personKey(v, 1);
            persons.insert(key, persons.contains(key) ? -1 : v[0].toLongLong());
        }
        if (q.lastError().isValid())
            throw DbError(dst_.errorMessage(q.lastError()));

        const QStringList columns{"per_id", "ext", "pic"};
        ChunkReader reader(src_, "a.id, " + prefixed("a", match) + ", p.ext, p.pic",
                           "per_pic p left join asami a on a.id = p.per_id", {}, {}, "p.id",
                           kPictureChunkRows);
        std::vector<SourceRow> rows;
        while (reader.next(rows)) {
            checkCancel();
            std::vector<QVariantList> out;
            std::vector<qint64> keys;
            for (const SourceRow& row : rows) {
                const qint64 person =
                    row.values[0].isNull() ? 0 : persons.value(personKey(row.values, 1), 0);
                if (person <= 0) {
                    ++(person == 0 ? missing : ambiguous);
                    continue;
                }
                SourceRow picture{row.key, {person, row.values[5], row.values[6]}};
                out.push_back(converted("per_pic", columns, picture));
                keys.push_back(row.key);
            }
            writer_.insert("per_pic", columns, out, keys);
            count.copied += int(out.size());
            count.skipped = missing + ambiguous;
            observer_.progress(count.copied + count.skipped, count.sourceRows);
        }
    }

    // The destination's "admin" keeps its right to the users page.
    void addAdminRight() {
        const QVariant admin = scalar(dst_, "select id from users where us = 'admin' order by id");
        if (admin.isNull())
            return;
        const int rights = scalar(dst_,
                                  "select count(*) from dastrasi where prs_id = ? and "
                                  "page_name = 'karbaran'",
                                  {admin})
                               .toInt();
        if (rights > 0)
            return;
        const QStringList columns{"prs_id", "page_name", "darj", "virayesh", "hazf", "namayesh"};
        const SourceRow row{0, {admin, "karbaran", true, true, true, true}};
        writer_.insert("dastrasi", columns, {converted("dastrasi", columns, row)}, {0});
    }

    const TransferOptions& o_;
    TransferObserver& observer_;
    const std::atomic_bool& cancel_;
    db::Connection& src_;
    db::Connection& dst_;
    TransferResult& result_;
    QHash<QString, QHash<qint64, qint64>> idMaps_;
    RowWriter writer_;
};

QString nothingWritten() {
    return QString::fromUtf8("هيچ اطلاعاتي در بانک مقصد نوشته نشد");
}

} // namespace

TransferResult runTransfer(const TransferOptions& options, TransferObserver& observer,
                           const std::atomic_bool& cancel, const QString& namePrefix) {
    TransferResult result;
    try {
        Ends ends(options.source, options.destination, namePrefix);
        Copier copier(options, observer, cancel, ends, result);
        try {
            copier.run();
            result.ok = true;
        } catch (...) {
            copier.abandon();
            throw;
        }
    } catch (const Cancelled&) {
        result.cancelled = true;
        result.message = QString::fromUtf8("انتقال لغو شد؛ ") + nothingWritten();
    } catch (const DbError& e) {
        result.message =
            QString::fromUtf8("انتقال انجام نشد؛ ") + nothingWritten() + ".\n" + e.message();
    }
    return result;
}

} // namespace gc::transfer
