#pragma once

#include <QProcess>
#include <QString>

namespace gctest {

// A private X server with the keyboard layouts a test asks for. Tests that use it are declared
// with gc_test_with_xkb, which defines GC_TEST_XKB and links this where Xlib is at hand.
class VirtualDisplay {
  public:
    // False when Xvfb or setxkbmap is missing or the server does not start.
    bool start();
    ~VirtualDisplay();

    // False when the server did not take the layouts (some sandboxed servers keep
    // their first keymap whatever they are sent).
    bool setLayouts(const QString& layouts);
    // The user's own switch, straight to the server.
    void lockGroup(int group) const;
    // Read straight from the server, not through the code under test.
    int lockedGroup() const;

    const QString& name() const { return name_; }

  private:
    QProcess server_;
    QString name_;
};

} // namespace gctest
