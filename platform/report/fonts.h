#pragma once

#include <QFont>
#include <QHash>
#include <QString>
#include <QStringList>

namespace gc::report {

// A typeface as a layout asks for it.
struct FontSpec {
    QString family = QStringLiteral("Tahoma");
    double pointSize = 9.0;
    bool bold = false;
    bool italic = false;
    bool underline = false;

    // Layout sizes are often given as character heights in pixels at 96 dots per inch.
    static FontSpec pixels96(const QString& family, double px, bool bold = false);
    bool operator==(const FontSpec&) const = default;
};

// The font `spec` describes, in the installed `family`.
QFont toFont(const FontSpec& spec, const QString& family);

// The families tried, in order, when a layout's family is not installed: Persian-capable
// faces first.
QStringList fallbackFamilies();

// The installed family to use for `requested` (compared without case); the first
// installed fallback when it is missing; `requested` itself when nothing matches.
QString resolveFamily(const QString& requested, const QStringList& installed);

// Turns font specs into fonts of installed families; asks the font database once.
class FontResolver {
  public:
    FontResolver();
    explicit FontResolver(const QStringList& installed);
    QFont font(const FontSpec& spec);

  private:
    QStringList installed_;
    QHash<QString, QString> families_;
};

} // namespace gc::report
