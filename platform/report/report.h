#pragma once

#include "platform/report/page_setup.h"
#include "platform/report/report_element.h"

#include <QColor>
#include <QHash>
#include <memory>
#include <vector>

namespace gc::report {

class DataSource;

// A horizontal strip of the page holding elements; a band of height 0 is not printed.
class Band {
  public:
    double heightMm = 0.0;
    QColor background; // none when invalid

    // Adds an element and returns it, so that the layout can keep and change it.
    template <class T, class... Args> T& add(Args&&... args) {
        auto element = std::make_unique<T>(std::forward<Args>(args)...);
        T& ref = *element;
        elements_.push_back(std::move(element));
        return ref;
    }
    Element& add(std::unique_ptr<Element> element);

    bool isPresent() const { return heightMm > 0.0; }
    // Draws the band with its top-left corner at `areaPx`'s, as wide as `areaPx`.
    void paint(QPainter& painter, PaintContext& ctx, const QRectF& areaPx);

  private:
    std::vector<std::unique_ptr<Element>> elements_;
};

// A banded report: a page header and column header on every page, one detail band per
// row of the data source in its current order, a summary after the last row, and a page
// footer at the bottom of every page.
class Report {
  public:
    QString title; // the document's name for the printer and the PDF
    PageSetup page;
    bool printIfEmpty = true;   // with no rows, still print the headers and the summary
    DataSource* data = nullptr; // not owned

    Band pageHeader;
    Band columnHeader;
    Band detail;
    Band summary;
    Band pageFooter;

    // Named texts for Expression elements of kind Variable (for example "dat").
    QHash<QString, QString> variables;
};

} // namespace gc::report
