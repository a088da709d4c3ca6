#pragma once

#include <QImage>
#include <QWidget>
#include <utility>

namespace gctest {

// The first and last columns of a widget's drawing that hold dark ink (text), or
// {width, -1} when it shows none.
inline std::pair<int, int> inkColumns(QWidget* widget) {
    const QImage image = widget->grab().toImage();
    int first = image.width(), last = -1;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) < 100) {
                first = std::min(first, x);
                last = std::max(last, x);
            }
    return {first, last};
}

} // namespace gctest
