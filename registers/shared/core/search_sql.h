#pragma once

#include <QList>
#include <QPair>
#include <QStringList>
#include <optional>
#include <vector>

namespace gc::db {
class Query;
}

// A list window's search and count as data: the register declares its base texts, its
// filters and its ordering; the SQL lines are built here, the same for every register.
namespace gc::registers {

// One filter and the SQL line it adds while it is on.
struct SearchFilter {
    enum class Kind {
        Text,   // fragment + value (each fragment in turn, for an OR group) + closing
        Range,  // lower fragment + from + upper fragment + to
        Fixed,  // a line of its own, no value
        Choice, // the fragment of the picked item + value; no line when nothing is picked
    };
    Kind kind = Kind::Text;
    QStringList fragments;
    bool contains = false; // the value goes in as a LIKE pattern that finds it anywhere
    QString closing;
    // Values that stand for a whole line of their own instead of the pattern.
    QList<QPair<QString, QString>> specialValues;
};

// " and col like " + the pattern finding the text anywhere (db::containsPattern)
SearchFilter likeFilter(const QString& fragment);
// " and ( a like " + pattern + " OR b like " + pattern + ")": the same text in each column.
SearchFilter likeAnyFilter(const QStringList& fragments, const QString& closing);
// " and col=" + quoted(text)
SearchFilter exactFilter(const QString& fragment);
// " and col>=" + quoted(from) + " and col<=" + quoted(to), one line
SearchFilter rangeFilter(const QString& lower, const QString& upper);
// A line that needs no value (a ticked box such as "not yet returned").
SearchFilter fixedFilter(const QString& line);
// The fragment picked by an item index, followed by the value.
SearchFilter choiceFilter(const QStringList& fragments, bool contains = false);

// What a filter's inputs hold when the search runs.
struct FilterInput {
    bool on = false;
    QStringList texts; // Text and Choice: the value; Range: from, to
    int choice = -1;   // Choice: the picked item, -1 when none was picked
};

struct SearchSpec {
    QString selectBase;                // "Select * from khodro where ID<>-1"
    QString countBase;                 // "Select count(*) as c from khodro where ID<>-1"
    QString orderBy;                   // the register's ordering line; empty for none
    std::vector<SearchFilter> filters; // in the order their lines are added
    bool countFirst = false;
    QString countField = QStringLiteral("c");
};

// The usual bases: "Select * from <table> where <guard>" and its count.
SearchSpec searchOn(const QString& table, const QString& identityGuard, const QString& orderBy);

std::optional<QString> filterLine(const SearchFilter& filter, const FilterInput& input);

struct SearchSql {
    QStringList select;
    QStringList count;
};

// Filters without an input (fewer inputs than filters) are off.
SearchSql buildSearch(const SearchSpec& spec, const std::vector<FilterInput>& inputs);

// Rebuilds and opens `list` (dropping a title-click sort) and the count on `counter`, in the
// register's order; returns the count's text. Throws db::DbError.
QString RunSearch(db::Query& list, db::Query& counter, const SearchSpec& spec,
                  const std::vector<FilterInput>& inputs);

} // namespace gc::registers
