#include "capture/dorbin.h"

#include "platform/ui/dialogs.h"
#include "platform/ui/placement.h"
#include "platform/xlsx/temp_files.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFile>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QTemporaryFile>
#include <QVBoxLayout>
#include <algorithm>

namespace gc::capture {

namespace {

// The longest name a video device gives: a V4L2 card name, 32 bytes, the last a zero.
constexpr int kLongestDeviceName = 31;

QPushButton* button(const char* name, const QString& caption, QWidget* parent) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QLatin1String(name));
    b->setEnabled(false);
    return b;
}

} // namespace

void VideoView::setFrame(const QImage* frame, bool mirrored) {
    m_frame = frame;
    m_mirrored = mirrored;
    update();
}

void VideoView::paintEvent(QPaintEvent*) {
    if (m_frame == nullptr || m_frame->isNull())
        return;
    QPainter p(this);
    if (m_mirrored) {
        // Column x lands on column W-1-x: every column kept, none squeezed.
        p.translate(m_frame->width(), 0);
        p.scale(-1, 1);
    }
    p.drawImage(0, 0, *m_frame);
}

QComboBox* deviceList(QWidget* parent) {
    auto* list = new QComboBox(parent);
    list->setObjectName(QStringLiteral("ComboBox1"));
    list->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    list->setMinimumContentsLength(kLongestDeviceName);
    return list;
}

void drawCrosshair(QImage& picture) {
    const int w = picture.width();
    const int h = picture.height();
    QPainter p(&picture);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(255, 0, 0), 3));
    p.drawLine(0, h / 2, w, h / 2);
    p.drawLine(w / 2, 0, w / 2, h);
    for (int i = 1; i <= 3; ++i) {
        const int r = (h / 8) * i;
        p.drawEllipse(QPoint(w / 2, h / 2), r, r);
    }
}

Tdorbin::Tdorbin(KernelTable kernel, QWidget* parent)
    : QWidget(parent), m_dialogs(this), VideoImage(std::make_unique<TCameraImage>(kernel)) {
    setObjectName(QStringLiteral("dorbin"));
    setWindowTitle(QStringLiteral("Dorbin"));
    resize(538, 579);

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFixedHeight(162);
    StaticText2 = new QLabel(QStringLiteral("Cameras"), Panel1);
    StaticText2->setObjectName(QStringLiteral("StaticText2"));
    ComboBox1 = deviceList(Panel1);
    BitBtn_Start = button("BitBtn_Start", QStringLiteral("Start Video"), Panel1);
    BitBtn_Stop = button("BitBtn_Stop", QStringLiteral("Stop Video"), Panel1);
    BitBtn_Properties = button("BitBtn_Properties", QStringLiteral("Camera options"), Panel1);
    BitBtn_StreamProp = button("BitBtn_StreamProp", QStringLiteral("Video options"), Panel1);
    BitBtn_SaveBMP = button("BitBtn_SaveBMP", QStringLiteral("Save actual video image"), Panel1);
    BitBtn_AutoSave = button("BitBtn_AutoSave", QStringLiteral("Auto Save"), Panel1);
    CheckBox_Crosshair = new QCheckBox(QStringLiteral("Add a cross-hair"), Panel1);
    CheckBox_Crosshair->setObjectName(QStringLiteral("CheckBox_Crosshair"));
    CheckBox_Mirror = new QCheckBox(QStringLiteral("Flip image horizontally"), Panel1);
    CheckBox_Mirror->setObjectName(QStringLiteral("CheckBox_Mirror"));
    PaintBox1 = new VideoView(this);
    PaintBox1->setObjectName(QStringLiteral("PaintBox1"));

    auto* grid = new QGridLayout(Panel1);
    grid->addWidget(StaticText2, 0, 0);
    grid->addWidget(ComboBox1, 0, 1, 1, 2);
    grid->addWidget(BitBtn_Start, 1, 0);
    grid->addWidget(BitBtn_Stop, 1, 1);
    grid->addWidget(BitBtn_SaveBMP, 1, 2);
    grid->addWidget(BitBtn_Properties, 2, 0);
    grid->addWidget(BitBtn_StreamProp, 2, 1);
    grid->addWidget(BitBtn_AutoSave, 2, 2);
    grid->addWidget(CheckBox_Crosshair, 3, 0);
    grid->addWidget(CheckBox_Mirror, 3, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Panel1);
    layout->addWidget(PaintBox1, 1);

    m_prompts.inform = [](const QString& text) {
        ui::dialogs().message(ui::MsgIcon::Information, text, ui::Ok);
    };
    m_prompts.error = [](const QString& text) {
        ui::dialogs().message(ui::MsgIcon::Error, text, ui::Ok);
    };
    m_prompts.savePath = [] {
        QString path = ui::dialogs().saveFileName(QString(), QStringLiteral("Bitmaps (*.bmp)"));
        if (!path.isEmpty() && !path.endsWith(QStringLiteral(".bmp"), Qt::CaseInsensitive))
            path += QStringLiteral(".bmp");
        return path;
    };

    VideoImage->setPropertyFrames(&m_dialogs);
    VideoImage->setOnNewFrame([this](TCameraImage*, int, int, const uint8_t*) { NewVideoFrame(); });
    connect(VideoImage.get(), &TCameraImage::captureLost, this, [this](const QString& text) {
        setRunning(false);
        m_prompts.error(text);
    });
    connect(VideoImage.get(), &TCameraImage::frameFailed, this,
            [this](const QString& text) { m_prompts.error(text); });
    connect(BitBtn_Start, &QPushButton::clicked, this, &Tdorbin::BitBtn_StartClick);
    connect(BitBtn_Stop, &QPushButton::clicked, this, &Tdorbin::BitBtn_StopClick);
    connect(BitBtn_Properties, &QPushButton::clicked, this, &Tdorbin::BitBtn_PropertiesClick);
    connect(BitBtn_StreamProp, &QPushButton::clicked, this, &Tdorbin::BitBtn_StreamPropClick);
    connect(BitBtn_SaveBMP, &QPushButton::clicked, this, &Tdorbin::BitBtn_SaveBMPClick);
    connect(BitBtn_AutoSave, &QPushButton::clicked, this, &Tdorbin::BitBtn_AutoSaveClick);
    connect(CheckBox_Mirror, &QCheckBox::toggled, this,
            [this](bool on) { PaintBox1->setFrame(&FrameBitmap, on); });
}

Tdorbin::~Tdorbin() {
    VideoImage->StopCapture();
}

bool Tdorbin::event(QEvent* e) {
    if (e->type() == QEvent::Show) {
        Activated = false; // each opening looks again: a camera plugged in since is offered
        ui::centreOnScreen(*this);
    }
    if (e->type() == QEvent::WindowActivate)
        FormActivate();
    return QWidget::event(e);
}

void Tdorbin::FormActivate() {
    if (Activated)
        return;
    Activated = true;
    QStringList devices;
    VideoImage->ListDevices(devices);
    const QString chosen = ComboBox1->currentText();
    ComboBox1->clear();
    ComboBox1->addItems(devices);
    if (devices.isEmpty()) {
        setWindowTitle(QStringLiteral("[No video device found]"));
        BitBtn_Start->setEnabled(false);
        m_prompts.inform(QStringLiteral("\u062F\u0648\u0631\u0628\u064A\u0646\u064A "
                                        "\u0645\u062A\u0635\u0644 \u0646\u064A\u0633\u062A"));
        return;
    }
    setWindowTitle(QStringLiteral("Dorbin"));
    ComboBox1->setCurrentIndex(std::max<int>(0, int(devices.indexOf(chosen))));
    if (!BitBtn_Stop->isEnabled()) // a running camera keeps its buttons
        BitBtn_Start->setEnabled(true);
}

void Tdorbin::setRunning(bool running) {
    BitBtn_Start->setEnabled(!running);
    for (QPushButton* b :
         {BitBtn_Stop, BitBtn_Properties, BitBtn_StreamProp, BitBtn_SaveBMP, BitBtn_AutoSave})
        b->setEnabled(running);
}

void Tdorbin::BitBtn_StartClick() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    BitBtn_Start->setEnabled(false);
    QApplication::processEvents();
    const QString name = ComboBox1->currentText();
    const bool started = VideoImage->StartCapture(name) == 0;
    setRunning(started);
    QApplication::restoreOverrideCursor();
    if (!started)
        m_prompts.error(QStringLiteral("Could not start the camera \"%1\".").arg(name));
}

void Tdorbin::BitBtn_StopClick() {
    VideoImage->StopCapture();
    setRunning(false);
    emit cameraStopped();
}

void Tdorbin::BitBtn_PropertiesClick() {
    VideoImage->ShowDeviceSettings();
}

void Tdorbin::BitBtn_StreamPropClick() {
    if (VideoImage->ShowFormatSettings() != 0) {
        setRunning(false);
        m_prompts.error(QStringLiteral("The camera could not be started in the chosen format."));
    }
}

void Tdorbin::NewVideoFrame() {
    VideoImage->CopyFrameTo(FrameBitmap);
    if (CheckBox_Crosshair->isChecked())
        drawCrosshair(FrameBitmap); // on the still too, so that it is saved
    PaintBox1->setFrame(&FrameBitmap, CheckBox_Mirror->isChecked());
}

void Tdorbin::saveTo(const QString& path) {
    const QImage copy = FrameBitmap.copy();
    if (path.isEmpty() || !copy.save(path, "BMP"))
        m_prompts.error(QStringLiteral("Could not save file %1!").arg(path));
}

void Tdorbin::BitBtn_SaveBMPClick() {
    const QString path = m_prompts.savePath();
    if (!path.isEmpty())
        saveTo(path);
}

void Tdorbin::BitBtn_AutoSaveClick() {
    QString error;
    const QString folder = xlsx::userTempFolder(&error);
    if (folder.isEmpty()) {
        m_prompts.error(error);
        return;
    }
    // A new file created exclusively in the user's checked folder: nothing planted there,
    // a link least of all, is followed or overwritten.
    QTemporaryFile file(
        xlsx::uniqueFileTemplate(folder, QStringLiteral("Pelzorvatin"), QStringLiteral("bmp")));
    file.setAutoRemove(false);
    if (!file.open() || !FrameBitmap.copy().save(&file, "BMP")) {
        file.remove();
        m_prompts.error(QStringLiteral("Could not save file %1!").arg(file.fileName()));
        return;
    }
    if (!lastAutoSave_.isEmpty())
        QFile::remove(lastAutoSave_);
    lastAutoSave_ = file.fileName();
}

} // namespace gc::capture
