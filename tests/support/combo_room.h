#pragma once

#include <QComboBox>
#include <QStyle>
#include <QStyleOptionComboBox>

namespace gctest {

// The width a non-editable combo box gives the text it shows, between its frame and its arrow.
inline int comboTextRoom(const QComboBox& box) {
    QStyleOptionComboBox option;
    option.initFrom(&box);
    return box.style()
        ->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, &box)
        .width();
}

} // namespace gctest
