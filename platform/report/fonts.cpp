#include "platform/report/fonts.h"

#include <QFontDatabase>

namespace gc::report {

FontSpec FontSpec::pixels96(const QString& family, double px, bool bold) {
    FontSpec f;
    f.family = family;
    f.pointSize = px * 72.0 / 96.0;
    f.bold = bold;
    return f;
}

QFont toFont(const FontSpec& spec, const QString& family) {
    QFont f(family);
    f.setPointSizeF(spec.pointSize);
    f.setBold(spec.bold);
    f.setItalic(spec.italic);
    f.setUnderline(spec.underline);
    return f;
}

QStringList fallbackFamilies() {
    return {QStringLiteral("Tahoma"),           QStringLiteral("Vazirmatn"),
            QStringLiteral("Noto Sans Arabic"), QStringLiteral("Noto Naskh Arabic"),
            QStringLiteral("DejaVu Sans"),      QStringLiteral("FreeSans")};
}

namespace {

QString findInstalled(const QString& family, const QStringList& installed) {
    for (const QString& name : installed) {
        // Families installed from two foundries carry the foundry in brackets.
        const QString bare = name.section(QStringLiteral(" ["), 0, 0);
        if (bare.compare(family, Qt::CaseInsensitive) == 0)
            return bare;
    }
    return {};
}

} // namespace

QString resolveFamily(const QString& requested, const QStringList& installed) {
    if (QString found = findInstalled(requested, installed); !found.isEmpty())
        return found;
    // "B Titr" is the display face "Titr" under a vendor's prefix.
    if (requested.contains(QStringLiteral("Titr"), Qt::CaseInsensitive))
        if (QString found = findInstalled(QStringLiteral("Titr"), installed); !found.isEmpty())
            return found;
    for (const QString& candidate : fallbackFamilies()) {
        if (QString found = findInstalled(candidate, installed); !found.isEmpty())
            return found;
    }
    return requested;
}

FontResolver::FontResolver() : FontResolver(QFontDatabase::families()) {}

FontResolver::FontResolver(const QStringList& installed) : installed_(installed) {}

QFont FontResolver::font(const FontSpec& spec) {
    auto it = families_.constFind(spec.family);
    if (it == families_.constEnd())
        it = families_.insert(spec.family, resolveFamily(spec.family, installed_));
    return toFont(spec, *it);
}

} // namespace gc::report
