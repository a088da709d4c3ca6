#pragma once

#include "capture/capture_graph.h"

#include <QPointer>
#include <QWidget>

namespace gc::capture {

// The device's controls and its formats as modal dialogs over `parent`.
class CameraSettingsDialogs : public PropertyFrames {
  public:
    explicit CameraSettingsDialogs(QWidget* parent) : m_parent(parent) {}

    int showControls(const QString& caption, V4l2Device& device) override;
    int showFormats(const std::vector<FormatChoice>& formats, const FormatRequest& current,
                    FormatRequest& chosen) override;

  private:
    QPointer<QWidget> m_parent;
};

} // namespace gc::capture
