#pragma once

#include <QFileDialog>
#include <memory>

class QDateTime;

namespace gc::ui {

// Qt's own file dialog, right to left, in Persian, showing the files' dates in the Solar
// Hijri calendar; a desktop's native dialog cannot be given a calendar, so it is not used.
std::unique_ptr<QFileDialog> fileDialog(QFileDialog::AcceptMode mode, const QString& title,
                                        const QString& filter, const QString& proposed = {},
                                        QWidget* parent = nullptr);

// Runs the dialog modally; the chosen file, or empty when cancelled.
QString chosenFile(QFileDialog& dialog);

// A file's time as the dialog's date column shows it: "1403/01/01 09:30".
QString solarHijriStamp(const QDateTime& time);

} // namespace gc::ui
