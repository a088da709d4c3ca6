#pragma once

#include <QByteArray>
#include <QtGlobal>
#include <ctime>

namespace gctest {

// The workstation's time zone while it lives.
class WorkstationZone {
  public:
    explicit WorkstationZone(const QByteArray& zone)
        : previous_(qgetenv("TZ")), had_(qEnvironmentVariableIsSet("TZ")) {
        qputenv("TZ", zone);
        tzset();
    }
    ~WorkstationZone() {
        if (had_)
            qputenv("TZ", previous_);
        else
            qunsetenv("TZ");
        tzset();
    }

  private:
    QByteArray previous_;
    bool had_;
};

} // namespace gctest
