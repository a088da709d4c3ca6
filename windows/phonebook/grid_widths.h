#pragma once

#include "platform/db/query.h"
#include "platform/db/query_model.h"
#include "platform/ui/query_grid.h"

#include <QAbstractItemModel>
#include <QHash>

namespace gc {

// Gives the grid's columns their widths in pixels by field name, again after every
// new result (a result resets the columns).
inline void KeepColumnWidths(ui::QueryGrid& grid, const QHash<QString, int>& widths) {
    auto apply = [&grid, widths] {
        for (int c = 0; c < grid.model().columnCount(); ++c) {
            const int w = widths.value(grid.query().fieldDef(c).name.toLower());
            if (w > 0)
                grid.setColumnWidth(c, w);
        }
    };
    QObject::connect(&grid.model(), &QAbstractItemModel::modelReset, &grid, apply);
    apply();
}

} // namespace gc
