#pragma once

#include "capture/camera_frames.h"
#include "capture/camera_settings_dialogs.h"

#include <QImage>
#include <QWidget>
#include <functional>

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QPushButton;

namespace gc::capture {

// A drop-down list of video devices, at least as wide as the longest name a device gives from
// the start, since it is filled after the first layout.
QComboBox* deviceList(QWidget* parent);

// Paints the newest frame, mirrored on request (the screen only).
class VideoView : public QWidget {
  public:
    explicit VideoView(QWidget* parent = nullptr) : QWidget(parent) {}
    void setFrame(const QImage* frame, bool mirrored);

  protected:
    void paintEvent(QPaintEvent*) override;

  private:
    const QImage* m_frame = nullptr;
    bool m_mirrored = false;
};

// The stand-alone camera window "Dorbin": device list, live picture with an
// optional cross-hair and mirror, device and format settings, saving a still.
class Tdorbin : public QWidget {
    Q_OBJECT

  public:
    // How the window talks to the user; tests replace these.
    struct Prompts {
        std::function<void(const QString&)> inform;
        std::function<void(const QString&)> error;
        std::function<QString()> savePath; // empty when cancelled
    };

    explicit Tdorbin(KernelTable kernel = defaultKernel(), QWidget* parent = nullptr);
    ~Tdorbin() override;

    void setPrompts(Prompts prompts) { m_prompts = std::move(prompts); }
    TCameraImage& videoImage() { return *VideoImage; }
    const QImage& frameBitmap() const { return FrameBitmap; }
    // The file the last "Auto Save" wrote; empty before the first.
    QString autoSavePath() const { return lastAutoSave_; }

  signals:
    // Stop was pressed: the visitor window unticks its camera box.
    void cameraStopped();

  protected:
    bool event(QEvent* e) override;

  private:
    void FormActivate();
    void BitBtn_StartClick();
    void BitBtn_StopClick();
    void BitBtn_PropertiesClick();
    void BitBtn_StreamPropClick();
    void BitBtn_SaveBMPClick();
    void BitBtn_AutoSaveClick();
    void NewVideoFrame();
    void setRunning(bool running);
    void saveTo(const QString& path);

    QFrame* Panel1;
    QLabel* StaticText2;
    QComboBox* ComboBox1;
    QPushButton* BitBtn_Start;
    QPushButton* BitBtn_Stop;
    QPushButton* BitBtn_Properties;
    QPushButton* BitBtn_StreamProp;
    QPushButton* BitBtn_SaveBMP;
    QPushButton* BitBtn_AutoSave;
    QCheckBox* CheckBox_Crosshair;
    QCheckBox* CheckBox_Mirror;
    VideoView* PaintBox1;

    bool Activated = false;
    CameraSettingsDialogs m_dialogs;
    std::unique_ptr<TCameraImage> VideoImage;
    QImage FrameBitmap;
    Prompts m_prompts;
    QString lastAutoSave_;
};

// Draws the red cross-hair and its three circles into the picture.
void drawCrosshair(QImage& picture);

} // namespace gc::capture
