#include "core/transfer/copier.h"

#include "core/transfer/chunk_reader.h"
#include "core/transfer/ends.h"
#include "core/transfer/row_writer.h"
#include "core/transfer/statements.h"
#include "core/transfer/users.h"
#include "core/transfer/values.h"
#include "platform/db/db_error.h"
#include "platform/db/sql_text.h"
#include "platform/text/bidi.h"

#include <QHash>
#include <QSqlError>

namespace gc::transfer {

namespace {

using db::DbError;

constexpr int kChunkRows = 1000;
constexpr int kPictureChunkRows = 64; // and no more than the reader's bytes a chunk

struct Cancelled {};

QString noTableMessage(const QString& table) {
    return QString::fromUtf8("جدول «%1» در بانک مقصد نيست").arg(table);
}

QString noColumnMessage(const QString& table, const QString& column) {
    return QString::fromUtf8("ستون «%1» در جدول «%2» بانک مقصد نيست").arg(column, table);
}

QString unusableKeyMessage(const QString& table, const QString& key) {
    return QString::fromUtf8("ستون «%1» جدول «%2» در بانک مقصد کليد شماره خودکار نيست و "
                             "رديف ها را نمي توان به اين جدول افزود")
        .arg(key, table);
}

class Copier {
  public:
    Copier(const TransferOptions& options, TransferObserver& observer,
           const std::atomic_bool& cancel, Ends& ends, TransferResult& result)
        : o_(options), observer_(observer), cancel_(cancel), src_(ends.source),
          dst_(ends.destination), result_(result), writer_(ends.destination) {}

    void run() {
        begin();
        if (src_.readAsSnapshot())
            log(snapshotLine());
        for (const Section& s : sectionsFor(o_))
            section(s);
        checkCancel();
        dst_.commit();
        rollBack(src_);
        log(QString::fromUtf8("پايان عمليات انتقال"));
    }

    void abandon() {
        dst_.rollback();
        rollBack(src_);
    }

  private:
    // Quietly: a connection that failed has nothing to roll back.
    static void rollBack(db::Connection& c) {
        db::Statement q(c);
        q.exec("rollback");
    }
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
        if (dst_.engine() == db::Engine::SQLite)
            exec(dst_, "begin immediate");
        else
            dst_.beginTransaction(); // its commit is looked up when its answer is lost
    }

    QString snapshotLine() const {
        return QString::fromUtf8("فايل مبدا %1 روي رسانه فقط خواندني است و همچون نسخه اي ثابت "
                                 "خوانده شد؛ تغييري که در حين انتقال در آن داده شود منتقل نمي شود")
            .arg(text::quotedLtr(db::connectionTarget(o_.source).file));
    }

    void checkCancel() const {
        if (cancel_.load())
            throw Cancelled{};
    }

    void log(const QString& line) {
        result_.log << line;
        observer_.logLine(line);
    }

    void advance(int rows) {
        done_ += rows;
        observer_.progress(done_, total_);
    }

    // The start date as a literal: forward reads run unprepared, streamed by the server.
    QString whereClause(const Section& s, const QString& alias = {}) const {
        if (s.dateColumn.isEmpty())
            return {};
        return " where " + (alias.isEmpty() ? "" : alias + ".") + s.dateColumn +
               " >= " + db::quoted(o_.startDate);
    }

    // The source's columns; its date-times as the server's own text, in no time zone.
    QString selectList(const QString& table, const QStringList& columns,
                       const QString& alias = {}) {
        const db::TableInfo* info = src_.tableInfo(table);
        QStringList out;
        for (const QString& c : columns) {
            const QString name = alias.isEmpty() ? c : alias + "." + c;
            const db::ColumnInfo* column = info ? info->column(c) : nullptr;
            const bool dateTime = column && column->kind == db::FieldKind::DateTime;
            out << (dateTime && src_.engine() == db::Engine::PostgreSQL
                        ? "cast(" + name + " as text)"
                        : name);
        }
        return out.join(", ");
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

    bool isIdentity(const QString& table, const QString& column) {
        return scalar(dst_,
                      "select count(*) from information_schema.columns where table_schema = "
                      "current_schema() and table_name = ? and column_name = ? and "
                      "is_identity = 'YES'",
                      {table, column})
                   .toInt() > 0;
    }

    // The destination's auto-numbered key of a table, which gives every copied row its new
    // id; empty for the table without a key.
    QString destinationKey(const QString& table) {
        if (const auto it = keys_.constFind(table); it != keys_.constEnd())
            return *it;
        const QString expected = keyColumnOf(table);
        const db::TableInfo& info = destinationTable(table, {});
        const bool usable = expected.isEmpty() ||
                            info.keyColumn.compare(expected, Qt::CaseInsensitive) == 0 ||
                            (dst_.engine() == db::Engine::PostgreSQL && info.column(expected) &&
                             isIdentity(table, expected));
        if (!usable)
            throw DbError(unusableKeyMessage(table, expected));
        keys_.insert(table, expected);
        return expected;
    }

    QString picturesFrom(const Section& s) const {
        return s.pictures.table + " p join " + s.table + " o on o.id = p." +
               s.pictures.ownerColumn + whereClause(s, "o");
    }

    void section(const Section& s) {
        checkCancel();
        SectionCount count;
        count.table = s.table;
        destinationTable(s.table, s.columns);
        destinationKey(s.table);
        const bool pictures = s.kind == SectionKind::Owners && s.copyPictures;
        if (pictures) {
            destinationTable(s.pictures.table,
                             QStringList{s.pictures.ownerColumn} + s.pictures.columns);
            destinationKey(s.pictures.table);
        }
        observer_.progress(0, 0);
        count.sourceRows = scalar(src_, "select count(*) from " + s.table + whereClause(s)).toInt();
        done_ = 0;
        total_ = count.sourceRows +
                 (pictures ? scalar(src_, "select count(*) from " + picturesFrom(s)).toInt() : 0);
        observer_.progress(0, total_);
        if (o_.deleteOld)
            deleteRange(s);
        log(QString::fromUtf8(" در حال انتقال اطلاعات ") + s.label +
            QString::fromUtf8(" به تعداد ") + QString::number(count.sourceRows));
        int missing = 0;
        int ambiguous = 0;
        if (s.kind == SectionKind::Pictures)
            copyLoosePictures(count, missing, ambiguous);
        else if (s.kind == SectionKind::Users)
            copyUsers(s, count);
        else
            copyRows(s, count);
        if (pictures)
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
            log(QString::fromUtf8("%1 تصوير همراه %2 منتقل شد")
                    .arg(QString::number(c.pictures), s.label));
        if (c.blankDates > 0)
            log(QString::fromUtf8("%1 رديف %2 با تاريخ خالي منتقل نشد")
                    .arg(QString::number(c.blankDates), s.label));
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
            runStatement(dst_,
                         "delete from " + s.pictures.table + " where " + s.pictures.ownerColumn +
                             " in (select id from " + s.table + whereClause(s) + ")",
                         {}, s.pictures.table);
        runStatement(dst_, "delete from " + s.table + whereClause(s), {}, s.table);
    }

    int blankDates(const Section& s) {
        const QString d = "coalesce(" + s.dateColumn + ", '')";
        return scalar(src_, "select count(*) from " + s.table + " where not (" + d +
                                " >= " + db::quoted(o_.startDate) + ") and " + "replace(replace(" +
                                d + ", ' ', ''), '/', '') = ''")
            .toInt();
    }

    QVariantList converted(const QString& table, const QStringList& columns, const SourceRow& row,
                           int from = 0) {
        const db::TableInfo& info = *dst_.tableInfo(table);
        QVariantList out;
        for (int i = 0; i < columns.size(); ++i) {
            QString why;
            const auto v =
                destinationValue(row.values.at(from + i), *info.column(columns[i]), &why);
            if (!v)
                throw DbError(why + QString::fromUtf8(" (جدول «%1»، رديف شماره %2 مبدا)")
                                        .arg(table, QString::number(row.key)));
            out << *v;
        }
        return out;
    }

    // The section's rows, read in one pass in order of the source's key.
    ChunkReader rowsOf(const Section& s) {
        const QString key = keyColumnOf(s.table);
        const QString sql = "select " + (key.isEmpty() ? QString() : key + ", ") +
                            selectList(s.table, s.columns) + " from " + s.table + whereClause(s) +
                            (key.isEmpty() ? QString() : " order by " + key);
        return ChunkReader(src_, sql, !key.isEmpty(), hasBlobs(s) ? kPictureChunkRows : kChunkRows);
    }

    void copyRows(const Section& s, SectionCount& count) {
        const bool rights = s.kind == SectionKind::Rights;
        const bool keepIds = s.kind == SectionKind::Owners;
        const QHash<qint64, qint64> users = idMaps_.value("users");
        QHash<qint64, qint64>& ids = idMaps_[s.table];
        const QString key = destinationKey(s.table);
        ChunkReader reader = rowsOf(s);
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
            const std::vector<qint64> newIds = writer_.insert(s.table, key, s.columns, out, keys);
            if (keepIds)
                for (std::size_t i = 0; i < keys.size(); ++i)
                    ids.insert(keys[i], newIds[i]);
            count.copied += int(out.size());
            advance(int(rows.size()));
        }
    }

    // Users: one of a name in the destination. The source's account takes the place of the
    // destination's of the same name, with its password and its rights; a destination whose
    // only account is the set-up's administrator with its initial password gets the
    // source's accounts instead.
    void copyUsers(const Section& s, SectionCount& count) {
        destinationTable("dastrasi", {"prs_id"});
        const QString key = destinationKey(s.table);
        ExistingUsers existing = existingUsers(dst_);
        QHash<QString, qint64>& named = existing.named;
        const qint64 seed = existing.seededAdmin;
        QHash<qint64, qint64>& ids = idMaps_["users"];
        QStringList replaced;
        int added = 0;
        ChunkReader reader = rowsOf(s);
        std::vector<SourceRow> rows;
        while (reader.next(rows)) {
            checkCancel();
            for (const SourceRow& row : rows) {
                const QVariantList values = converted(s.table, s.columns, row);
                const QString name = values[0].toString();
                qint64 id = named.value(name, 0);
                if (id > 0) {
                    replaceUser(id, s.columns, values);
                    if (!replaced.contains(name))
                        replaced << name;
                } else {
                    id = writer_.insert(s.table, key, s.columns, {values}, {row.key}).front();
                    named.insert(name, id);
                    ++added;
                }
                ids.insert(row.key, id);
                ++count.copied;
            }
            advance(int(rows.size()));
        }
        if (!replaced.isEmpty())
            log(QString::fromUtf8("کاربران هم نام بانک مقصد با رمز و دسترسي هاي مبدا جايگزين "
                                  "شدند: ") +
                replaced.join(QString::fromUtf8("، ")));
        log(QString::fromUtf8("%1 کاربر تازه به بانک مقصد افزوده شد").arg(added));
        if (seed > 0 && count.copied > 0 && !replaced.contains("admin")) {
            exec(dst_, "delete from dastrasi where prs_id = ?", {seed});
            exec(dst_, "delete from users where id = ?", {seed});
            log(QString::fromUtf8("کاربر اوليه «admin» با رمز پيش فرض از بانک مقصد حذف شد"));
        }
    }

    void replaceUser(qint64 id, const QStringList& columns, const QVariantList& values) {
        QStringList set;
        QVariantList binds;
        for (int i = 1; i < columns.size(); ++i) {
            set << columns[i] + " = ?";
            binds << values[i];
        }
        exec(dst_, "update users set " + set.join(", ") + " where id = ?", binds << id);
        exec(dst_, "delete from dastrasi where prs_id = ?", {id});
    }

    // Every picture of every copied owner, read in one pass in order of the owners and
    // linked through their new ids.
    void copyPictures(const Section& s, SectionCount& count) {
        const PictureTable& p = s.pictures;
        const QString key = destinationKey(p.table);
        const QStringList columns = QStringList{p.ownerColumn} + p.columns;
        const QHash<qint64, qint64>& owners = idMaps_[s.table];
        ChunkReader reader(src_,
                           "select p.id, p." + p.ownerColumn + ", " +
                               selectList(p.table, p.columns, "p") + " from " + picturesFrom(s) +
                               " order by p." + p.ownerColumn + ", p.id",
                           true, kPictureChunkRows);
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
            writer_.insert(p.table, key, columns, out, keys);
            count.pictures += int(out.size());
            advance(int(out.size()));
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
        db::Statement q = runStatement(dst_, "select id, " + match.join(", ") + " from asami", {});
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
        const QString key = destinationKey("per_pic");
        ChunkReader reader(src_,
                           "select p.id, a.id, " + selectList("asami", match, "a") +
                               ", p.ext, p.pic from per_pic p left join asami a on a.id = "
                               "p.per_id order by p.id",
                           true, kPictureChunkRows);
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
            writer_.insert("per_pic", key, columns, out, keys);
            count.copied += int(out.size());
            count.skipped = missing + ambiguous;
            advance(int(rows.size()));
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
        writer_.insert("dastrasi", destinationKey("dastrasi"), columns,
                       {converted("dastrasi", columns, row)}, {0});
    }

    const TransferOptions& o_;
    TransferObserver& observer_;
    const std::atomic_bool& cancel_;
    db::Connection& src_;
    db::Connection& dst_;
    TransferResult& result_;
    QHash<QString, QHash<qint64, qint64>> idMaps_;
    QHash<QString, QString> keys_; // the destination's usable keys, by table
    RowWriter writer_;
    int done_ = 0; // rows and pictures of the current section
    int total_ = 0;
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
