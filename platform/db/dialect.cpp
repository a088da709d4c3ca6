#include "platform/db/dialect.h"

#include <QRegularExpression>

namespace gc::db {

namespace {

using RE = QRegularExpression;
constexpr auto kOpts = RE::CaseInsensitiveOption | RE::DotMatchesEverythingOption;

QStringList splitTopLevel(const QString& body) {
    QStringList parts;
    int depth = 0;
    QString cur;
    for (const QChar c : body) {
        if (c == '(')
            ++depth;
        else if (c == ')')
            --depth;
        if (c == ',' && depth == 0) {
            parts << cur.trimmed();
            cur.clear();
        } else {
            cur += c;
        }
    }
    if (!cur.trimmed().isEmpty())
        parts << cur.trimmed();
    return parts;
}

QString currentTimeDefault(Engine e) {
    return e == Engine::SQLite ? "(datetime('now','localtime'))" : "LOCALTIMESTAMP";
}

// One column definition "name type [rest]" in the engine's words.
QString translateColumn(Engine e, const QString& def) {
    static const RE colRe(R"(^(\w+)\s+(.*)$)", kOpts);
    const auto m = colRe.match(def.simplified());
    if (!m.hasMatch())
        return def;
    const QString name = m.captured(1);
    QString type = m.captured(2).trimmed();

    static const RE identityRe(R"(^int\s+identity(\s*\(\s*\d+\s*,\s*\d+\s*\))?\s+primary\s+key$)",
                               kOpts);
    if (identityRe.match(type).hasMatch())
        return name +
               (e == Engine::SQLite ? " integer primary key autoincrement" : " serial primary key");

    static const RE defaultRe(R"(\bdefault\s+(getdate|now)\s*\(\s*\))", kOpts);
    type.replace(defaultRe, "DEFAULT " + currentTimeDefault(e));

    static const RE textRe(R"(^n?varchar\s*\(\s*(\d+)\s*\)(.*)$)", kOpts);
    if (const auto t = textRe.match(type); t.hasMatch()) {
        const int width = t.captured(1).toInt();
        const QString rest = t.captured(2);
        const QString check = " constraint " + widthConstraintName(name, width) + " check(" +
                              (e == Engine::SQLite ? "length(" : "char_length(") + name +
                              ")<=" + QString::number(width) + ")";
        return name +
               (e == Engine::SQLite ? " nvarchar(" + QString::number(width) + ")"
                                    : QString(" varchar")) +
               rest + check;
    }

    static const RE typeRe(R"(^(\w+)(.*)$)", kOpts);
    const auto tm = typeRe.match(type);
    const QString base = tm.captured(1).toLower();
    const QString rest = tm.captured(2);
    QString mapped = base;
    if (base == "int")
        mapped = "integer";
    else if (base == "bit")
        mapped = "boolean";
    else if (base == "image")
        mapped = e == Engine::SQLite ? "blob" : "bytea";
    else if (base == "datetime")
        mapped = e == Engine::SQLite ? "datetime" : "timestamp";
    else if (base == "float")
        mapped = e == Engine::SQLite ? "real" : "double precision";
    else if (base == "ntext")
        mapped = "text";
    return name + " " + mapped + rest;
}

bool isNameChar(QChar c) {
    return c.isLetterOrNumber() || c == '_' || c == '.';
}

// The position just past the literal that opens at `from` (quotes inside are doubled).
qsizetype literalEnd(const QString& sql, qsizetype from) {
    qsizetype i = from + 1;
    while (i < sql.size()) {
        if (sql[i] == '\'' && (i + 1 >= sql.size() || sql[i + 1] != '\''))
            return i + 1;
        i += sql[i] == '\'' ? 2 : 1;
    }
    return sql.size();
}

qsizetype skipSpaces(const QString& sql, qsizetype i) {
    while (i < sql.size() && sql[i].isSpace())
        ++i;
    return i;
}

// Whether the keyword `word` followed by a blank stands at `i`.
bool isWord(const QString& sql, qsizetype i, QLatin1String word) {
    const qsizetype stop = i + word.size();
    return sql.mid(i, word.size()).compare(word, Qt::CaseInsensitive) == 0 && stop < sql.size() &&
           sql[stop].isSpace();
}

// Where the literal of "like 'pattern'" starts when the text at `i` is that keyword.
qsizetype likeLiteralAt(const QString& sql, qsizetype i) {
    if (!isWord(sql, i, QLatin1String("like")))
        return -1;
    const qsizetype at = skipSpaces(sql, i + 4);
    return at < sql.size() && sql[at] == '\'' ? at : -1;
}

const QChar kKeheh(0x06A9);
const QChar kKaf(0x0643);

} // namespace

QString kafBlindLike(const QString& sql) {
    QString out;
    qsizetype i = 0;
    while (i < sql.size()) {
        if (sql[i] == '\'') {
            const qsizetype end = literalEnd(sql, i);
            out += sql.mid(i, end - i);
            i = end;
        } else if (isNameChar(sql[i]) && !sql[i].isDigit()) {
            qsizetype end = i;
            while (end < sql.size() && isNameChar(sql[end]))
                ++end;
            const QString name = sql.mid(i, end - i);
            qsizetype at = skipSpaces(sql, end);
            const bool negated = isWord(sql, at, QLatin1String("not"));
            if (negated)
                at = skipSpaces(sql, at + 3);
            const qsizetype literal = likeLiteralAt(sql, at);
            if (literal < 0 || name.compare(QLatin1String("not"), Qt::CaseInsensitive) == 0) {
                out += name;
                i = end;
                continue;
            }
            const qsizetype literalStop = literalEnd(sql, literal);
            out += QStringLiteral("replace(%1, '%2', '%3') %4like ")
                       .arg(name, QString(kKeheh), QString(kKaf),
                            negated ? QStringLiteral("not ") : QString()) +
                   sql.mid(literal, literalStop - literal).replace(kKeheh, kKaf);
            i = literalStop;
        } else {
            out += sql[i++];
        }
    }
    return out;
}

QStringList translateStatement(Engine e, const QString& sql) {
    static const RE createRe(R"(^\s*create\s+table\s+(\w+)\s*\((.*)\)\s*$)", kOpts);
    if (const auto m = createRe.match(sql); m.hasMatch()) {
        QStringList cols;
        for (const QString& def : splitTopLevel(m.captured(2)))
            cols << translateColumn(e, def);
        return {"create table " + m.captured(1) + " (" + cols.join(", ") + ")"};
    }
    static const RE alterRe(R"(^\s*alter\s+table\s+(\w+)\s+add\s+(.*)$)", kOpts);
    if (const auto m = alterRe.match(sql); m.hasMatch()) {
        const QString table = m.captured(1);
        QStringList adds;
        for (const QString& def : splitTopLevel(m.captured(2)))
            adds << "add column " + translateColumn(e, def);
        if (e == Engine::PostgreSQL)
            return {"alter table " + table + " " + adds.join(", ")};
        QStringList statements;
        for (const QString& add : adds)
            statements << "alter table " + table + " " + add;
        return statements;
    }
    return {translateQuery(e, sql)};
}

QString translateQuery(Engine e, const QString& sql) {
    if (e != Engine::PostgreSQL)
        return sql;
    QString out;
    out.reserve(sql.size() + 8);
    for (qsizetype i = 0; i < sql.size();) {
        const QChar c = sql[i];
        qsizetype end = i + 1;
        if (c == '\'' || c == '"') {
            end = sql.indexOf(c, i + 1);
            end = end < 0 ? sql.size() : end + 1;
        } else if (c.isLetter() || c == '_') {
            while (end < sql.size() && (sql[end].isLetterOrNumber() || sql[end] == '_'))
                ++end;
            if (QStringView(sql).mid(i, end - i).compare(u"like", Qt::CaseInsensitive) == 0) {
                out += QStringLiteral("ilike");
                i = end;
                continue;
            }
        }
        out += QStringView(sql).mid(i, end - i);
        i = end;
    }
    return out;
}

QString widthConstraintName(const QString& column, int width) {
    return "w_" + column + "_" + QString::number(width);
}

std::optional<WidthViolation> widthViolationIn(const QString& engineError) {
    static const RE re(R"(\bw_(\w+)_(\d+)\b)");
    const auto m = re.match(engineError);
    if (!m.hasMatch())
        return std::nullopt;
    return WidthViolation{m.captured(1), m.captured(2).toInt()};
}

QString widthMessage(const QString& column, int width) {
    return QString::fromUtf8("مقدار ستون «%1» بيش از %2 نويسه است و ذخيره نشد")
        .arg(column, QString::number(width));
}

qsizetype textWidth(const QString& text) {
    qsizetype width = text.size();
    for (qsizetype i = 1; i < text.size(); ++i)
        if (text[i].isLowSurrogate() && text[i - 1].isHighSurrogate())
            --width;
    return width;
}

bool isPlainIdentifier(const QString& name) {
    static const RE re(R"(^[A-Za-z_][A-Za-z0-9_.]*$)");
    return re.match(name).hasMatch();
}

} // namespace gc::db
