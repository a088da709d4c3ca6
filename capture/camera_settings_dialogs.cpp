#include "capture/camera_settings_dialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace gc::capture {

namespace {

QString rateText(const FrameRate& rate) {
    if (rate.numerator == 0)
        return QStringLiteral("?");
    return QStringLiteral("%1 fps").arg(double(rate.denominator) / rate.numerator, 0, 'g', 4);
}

// Rows of the controls dialog: one editor per control, greyed while the device
// says it is inactive or read-only; after every change the states are re-read.
class ControlsDialog : public QDialog {
  public:
    ControlsDialog(const QString& caption, V4l2Device& device, QWidget* parent)
        : QDialog(parent), m_device(device) {
        setObjectName(QStringLiteral("CameraControls"));
        setWindowTitle(caption);
        auto* form = new QFormLayout;
        std::vector<DeviceControl> controls;
        m_device.controls(controls);
        for (const DeviceControl& c : controls)
            form->addRow(c.type == DeviceControl::Type::Button ? QString() : c.name, editor(c));
        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
        connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
        auto* layout = new QVBoxLayout(this);
        layout->addLayout(form);
        layout->addWidget(buttons);
        refreshStates(controls);
    }

  private:
    QWidget* editor(const DeviceControl& c) {
        QWidget* w = nullptr;
        const uint32_t id = c.id;
        switch (c.type) {
        case DeviceControl::Type::Integer: {
            auto* spin = new QSpinBox;
            spin->setRange(c.minimum, c.maximum);
            spin->setSingleStep(c.step);
            spin->setValue(c.value);
            connect(spin, &QSpinBox::valueChanged, this, [this, id](int v) { apply(id, v); });
            w = spin;
            break;
        }
        case DeviceControl::Type::Boolean: {
            auto* box = new QCheckBox(c.name);
            box->setChecked(c.value != 0);
            connect(box, &QCheckBox::toggled, this, [this, id](bool v) { apply(id, v ? 1 : 0); });
            w = box;
            break;
        }
        case DeviceControl::Type::Menu: {
            auto* combo = new QComboBox;
            for (const auto& [index, label] : c.menu) {
                combo->addItem(label, index);
                if (index == c.value)
                    combo->setCurrentIndex(combo->count() - 1);
            }
            connect(combo, &QComboBox::activated, this,
                    [this, id, combo](int i) { apply(id, combo->itemData(i).toInt()); });
            w = combo;
            break;
        }
        case DeviceControl::Type::Button: {
            auto* button = new QPushButton(c.name);
            connect(button, &QPushButton::clicked, this, [this, id] { apply(id, 0); });
            w = button;
            break;
        }
        }
        w->setObjectName(QStringLiteral("control_%1").arg(id));
        m_editors.emplace_back(id, w);
        return w;
    }

    void apply(uint32_t id, int value) {
        m_device.setControl(id, value);
        std::vector<DeviceControl> controls;
        m_device.controls(controls);
        refreshStates(controls);
    }

    void refreshStates(const std::vector<DeviceControl>& controls) {
        for (const DeviceControl& c : controls)
            for (const auto& [id, w] : m_editors)
                if (id == c.id)
                    w->setEnabled(!c.inactive && !c.readOnly);
    }

    V4l2Device& m_device;
    std::vector<std::pair<uint32_t, QWidget*>> m_editors;
};

} // namespace

int CameraSettingsDialogs::showControls(const QString& caption, V4l2Device& device) {
    ControlsDialog dialog(caption, device, m_parent);
    dialog.exec();
    return result::Ok;
}

int CameraSettingsDialogs::showFormats(const std::vector<FormatChoice>& formats,
                                       const FormatRequest& current, FormatRequest& chosen) {
    QDialog dialog(m_parent);
    dialog.setObjectName(QStringLiteral("CameraFormats"));
    dialog.setWindowTitle(QStringLiteral("Video options"));
    auto* format = new QComboBox;
    auto* size = new QComboBox;
    auto* rate = new QComboBox;
    format->setObjectName(QStringLiteral("format"));
    size->setObjectName(QStringLiteral("size"));
    rate->setObjectName(QStringLiteral("rate"));
    const auto fillRates = [&] {
        rate->clear();
        const int f = format->currentIndex();
        const int s = size->currentIndex();
        if (f < 0 || s < 0)
            return;
        for (const FrameRate& r : formats[size_t(f)].sizes[size_t(s)].rates) {
            rate->addItem(rateText(r));
            if (r == current.rate)
                rate->setCurrentIndex(rate->count() - 1);
        }
    };
    const auto fillSizes = [&] {
        size->clear();
        const int f = format->currentIndex();
        if (f < 0)
            return;
        for (const FrameSize& s : formats[size_t(f)].sizes) {
            size->addItem(QStringLiteral("%1 x %2").arg(s.width).arg(s.height));
            if (s.width == current.width && s.height == current.height)
                size->setCurrentIndex(size->count() - 1);
        }
        fillRates();
    };
    for (const FormatChoice& f : formats) {
        format->addItem(QStringLiteral("%1 (%2)").arg(f.description, fourCCText(f.fourcc)));
        if (f.fourcc == current.fourcc)
            format->setCurrentIndex(format->count() - 1);
    }
    fillSizes();
    QObject::connect(format, &QComboBox::currentIndexChanged, &dialog, fillSizes);
    QObject::connect(size, &QComboBox::currentIndexChanged, &dialog, fillRates);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Format"), format);
    form->addRow(QStringLiteral("Size"), size);
    form->addRow(QStringLiteral("Frame rate"), rate);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addLayout(form);
    layout->addWidget(buttons);

    if (dialog.exec() != QDialog::Accepted || format->currentIndex() < 0 ||
        size->currentIndex() < 0)
        return 1;
    const FormatChoice& f = formats[size_t(format->currentIndex())];
    const FrameSize& s = f.sizes[size_t(size->currentIndex())];
    chosen.fourcc = f.fourcc;
    chosen.width = s.width;
    chosen.height = s.height;
    chosen.rate = rate->currentIndex() >= 0 ? s.rates[size_t(rate->currentIndex())] : FrameRate{};
    return 0;
}

} // namespace gc::capture
