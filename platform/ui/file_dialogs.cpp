#include "platform/ui/file_dialogs.h"

#include "platform/ui/widgets.h"

#include <QCalendar>
#include <QComboBox>
#include <QFileSystemModel>
#include <QIdentityProxyModel>
#include <QLocale>

namespace gc::ui {

namespace {

// The column of QFileSystemModel that holds the modification time.
constexpr int kDateColumn = 3;

// Passes the file model through, with its dates in the Solar Hijri calendar.
class SolarHijriDates : public QIdentityProxyModel {
  public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QVariant data(const QModelIndex& index, int role) const override {
        const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
        if (files && index.column() == kDateColumn && role == Qt::DisplayRole)
            return solarHijriStamp(files->lastModified(mapToSource(index)));
        return QIdentityProxyModel::data(index, role);
    }
};

} // namespace

QString solarHijriStamp(const QDateTime& time) {
    return QLocale::c().toString(time, u"yyyy/MM/dd HH:mm", QCalendar(QCalendar::System::Jalali));
}

std::unique_ptr<QFileDialog> fileDialog(QFileDialog::AcceptMode mode, const QString& title,
                                        const QString& filter, const QString& proposed,
                                        QWidget* parent) {
    auto dialog = std::make_unique<QFileDialog>(parent, title, proposed, filter);
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setAcceptMode(mode);
    dialog->setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                        : QFileDialog::AnyFile);
    dialog->setLayoutDirection(Qt::RightToLeft);
    dialog->setProxyModel(new SolarHijriDates(dialog.get()));
    // The folder's path and the file patterns are left-to-right texts.
    for (const char* name : {"lookInCombo", "fileTypeCombo"})
        if (auto* box = dialog->findChild<QComboBox*>(name))
            drawLeftToRight(*box);
    return dialog;
}

QString chosenFile(QFileDialog& dialog) {
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

} // namespace gc::ui
