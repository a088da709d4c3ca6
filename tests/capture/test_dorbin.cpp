#include "capture/capture_graph.h"
#include "capture/dorbin.h"
#include "capture/synthetic_kernel.h"
#include "platform/ui/appearance.h"
#include "support/combo_room.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace gc::capture;

namespace {

SyntheticCamera camera(const char* name, int w = 320, int h = 240) {
    SyntheticCamera c;
    c.name = name;
    c.width = w;
    c.height = h;
    c.fps = 100;
    return c;
}

class DorbinTest : public ::testing::Test {
  protected:
    void open(std::vector<SyntheticCamera> cameras) {
        kernel = std::make_unique<SyntheticKernel>(std::move(cameras));
        KernelTable table = kernel->table();
        auto inner = table.listNodes;
        table.listNodes = [this, inner] {
            ++listings;
            return pluggedIn ? inner() : std::vector<std::string>{};
        };
        window = std::make_unique<Tdorbin>(table);
        window->setPrompts({[this](const QString& t) { informed << t; },
                            [this](const QString& t) { errors << t; },
                            [this] { return savePath; }});
        window->show();
        activate();
    }
    void activate() {
        QEvent e(QEvent::WindowActivate);
        QCoreApplication::sendEvent(window.get(), &e);
    }
    QPushButton* button(const char* name) { return window->findChild<QPushButton*>(name); }
    QString enabledButtons() {
        QString s;
        for (const char* n : {"BitBtn_Start", "BitBtn_Stop", "BitBtn_Properties",
                              "BitBtn_StreamProp", "BitBtn_SaveBMP", "BitBtn_AutoSave"})
            s += button(n)->isEnabled() ? '1' : '0';
        return s;
    }
    bool waitForFrame() {
        return QTest::qWaitFor(
            [&] {
                window->videoImage().AppIdleStamp();
                return !window->frameBitmap().isNull();
            },
            5000);
    }

    std::unique_ptr<SyntheticKernel> kernel;
    std::unique_ptr<Tdorbin> window;
    int listings = 0;
    bool pluggedIn = true;
    QStringList informed;
    QStringList errors;
    QString savePath;
};

bool isRed(QRgb p) {
    return p == qRgb(255, 0, 0);
}

} // namespace

TEST(DefaultKernel, TheSyntheticCameraOnlyWhenAskedFor) {
    const QByteArray before = qgetenv("GC_CAMERA");
    qunsetenv("GC_CAMERA");
    QStringList real;
    QStringList chosen;
    TCaptureGraph::ListVideoDevices(systemKernel(), real);
    TCaptureGraph::ListVideoDevices(defaultKernel(), chosen);
    EXPECT_EQ(chosen, real) << "nothing stands in for a missing camera";
    qputenv("GC_CAMERA", "synthetic");
    TCaptureGraph::ListVideoDevices(defaultKernel(), chosen);
    EXPECT_EQ(chosen, QStringList{"Synthetic camera"});
    if (before.isNull())
        qunsetenv("GC_CAMERA");
    else
        qputenv("GC_CAMERA", before);
}

TEST_F(DorbinTest, WithoutADeviceSaysSoOnceAndKeepsEverythingDisabled) {
    open({});
    EXPECT_EQ(window->windowTitle(), "[No video device found]");
    ASSERT_EQ(informed.size(), 1);
    EXPECT_EQ(informed[0], QString::fromUtf8("دوربيني متصل نيست"));
    EXPECT_EQ(enabledButtons(), "000000");
    activate();
    EXPECT_EQ(listings, 1) << "the list is read at the first activation only";
    EXPECT_EQ(informed.size(), 1);
}

TEST_F(DorbinTest, ButtonsFollowTheRealState) {
    open({camera("Front"), camera("Back")});
    EXPECT_EQ(window->windowTitle(), "Dorbin");
    auto* combo = window->findChild<QComboBox*>("ComboBox1");
    EXPECT_EQ(combo->count(), 2);
    EXPECT_EQ(combo->currentText(), "Front");
    EXPECT_EQ(enabledButtons(), "100000");

    QSignalSpy stopped(window.get(), &Tdorbin::cameraStopped);
    button("BitBtn_Start")->click();
    EXPECT_EQ(enabledButtons(), "011111");
    ASSERT_TRUE(waitForFrame());
    button("BitBtn_Stop")->click();
    EXPECT_EQ(enabledButtons(), "100000");
    EXPECT_EQ(stopped.count(), 1);

    const int before = listings;
    window->hide();
    window->show();
    activate();
    EXPECT_EQ(listings, before + 1) << "each opening reads the device list again";
    EXPECT_EQ(combo->count(), 2);
    EXPECT_EQ(enabledButtons(), "100000");
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(DorbinTest, ACameraPluggedInAfterTheFirstOpeningIsFoundAtTheNext) {
    pluggedIn = false;
    open({camera("Late")});
    EXPECT_EQ(window->windowTitle(), "[No video device found]");
    EXPECT_EQ(informed.size(), 1);

    pluggedIn = true;
    window->hide();
    window->show();
    activate();
    EXPECT_EQ(window->windowTitle(), "Dorbin");
    EXPECT_EQ(window->findChild<QComboBox*>("ComboBox1")->currentText(), "Late");
    EXPECT_EQ(enabledButtons(), "100000");
    button("BitBtn_Start")->click();
    EXPECT_TRUE(waitForFrame());
    button("BitBtn_Stop")->click();

    pluggedIn = false; // unplugged while the window was closed
    window->hide();
    window->show();
    activate();
    EXPECT_EQ(window->windowTitle(), "[No video device found]");
    EXPECT_EQ(informed.size(), 2);
    EXPECT_EQ(enabledButtons(), "000000");
}

TEST_F(DorbinTest, AFailedStartSaysSoAndOnlyStartStaysEnabled) {
    SyntheticCamera busy = camera("Busy");
    busy.busyError = EBUSY;
    open({busy});
    button("BitBtn_Start")->click();
    EXPECT_EQ(enabledButtons(), "100000");
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].contains("Busy"));
}

TEST_F(DorbinTest, AnUnpluggedCameraReturnsTheButtonsToStopped) {
    SyntheticCamera c = camera("Cam");
    c.unplugAfter = 5;
    open({c});
    button("BitBtn_Start")->click();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            window->videoImage().AppIdleStamp();
            return !errors.isEmpty();
        },
        5000));
    EXPECT_EQ(errors[0], "The camera was disconnected.");
    EXPECT_EQ(enabledButtons(), "100000");
}

TEST_F(DorbinTest, CrosshairIsSavedMirrorIsNot) {
    open({camera("Cam", 320, 240)});
    window->findChild<QCheckBox*>("CheckBox_Crosshair")->setChecked(true);
    window->findChild<QCheckBox*>("CheckBox_Mirror")->setChecked(true);
    button("BitBtn_Start")->click();
    ASSERT_TRUE(waitForFrame());
    window->videoImage().StopCapture();
    const QImage still = window->frameBitmap();
    ASSERT_EQ(still.size(), QSize(320, 240));
    // Lines through the centre (160, 120); circles of radius 30, 60 and 90.
    EXPECT_TRUE(isRed(still.pixel(5, 120)));
    EXPECT_TRUE(isRed(still.pixel(160, 5)));
    for (const int r : {30, 60, 90}) {
        const int d = int(r * 0.7071 + 0.5);
        EXPECT_TRUE(isRed(still.pixel(160 + d, 120 - d))) << r;
        EXPECT_TRUE(isRed(still.pixel(160 - d, 120 + d))) << r;
    }
    EXPECT_FALSE(isRed(still.pixel(160 + 45, 120 - 3)));

    // The screen shows the still mirrored exactly: column x at W-1-x.
    QWidget* view = window->findChild<QWidget*>("PaintBox1");
    const QImage screen =
        view->grab(QRect(0, 0, 320, 240)).toImage().convertToFormat(QImage::Format_RGB888);
    for (int x : {0, 1, 100, 318, 319})
        for (int y : {0, 60, 200})
            EXPECT_EQ(screen.pixel(319 - x, y), still.pixel(x, y)) << x << "," << y;

    QTemporaryDir dir;
    savePath = dir.filePath("still.bmp");
    button("BitBtn_SaveBMP")->setEnabled(true);
    button("BitBtn_SaveBMP")->click();
    button("BitBtn_AutoSave")->setEnabled(true);
    button("BitBtn_AutoSave")->click();
    EXPECT_TRUE(errors.isEmpty()) << errors.join("; ").toStdString();
    for (const QString& path : {savePath, window->autoSavePath()}) {
        QImageReader reader(path);
        EXPECT_EQ(reader.format(), "bmp");
        EXPECT_EQ(reader.size(), QSize(320, 240));
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QByteArray header = f.read(30);
        EXPECT_EQ(uchar(header[28]), 24) << "24 bits per pixel";
        EXPECT_EQ(QImage(path).convertToFormat(QImage::Format_RGB888), still)
            << "cross-hair saved, not mirrored";
    }
    EXPECT_TRUE(window->autoSavePath().contains("Pelzorvatin"));
}

TEST_F(DorbinTest, ASaveThatFailsShowsTheMessage) {
    open({camera("Cam")});
    button("BitBtn_Start")->click();
    ASSERT_TRUE(waitForFrame());
    savePath = "/nonexistent-folder/x.bmp";
    button("BitBtn_SaveBMP")->click();
    ASSERT_EQ(errors.size(), 1);
    EXPECT_EQ(errors[0], "Could not save file /nonexistent-folder/x.bmp!");
    savePath.clear(); // cancelled: nothing happens
    button("BitBtn_SaveBMP")->click();
    EXPECT_EQ(errors.size(), 1);
}

TEST_F(DorbinTest, AutoSaveNeverFollowsALinkNorUsesAFolderNotItsOwn) {
    QTemporaryDir tmp;
    const QByteArray oldTmp = qgetenv("TMPDIR");
    qputenv("TMPDIR", tmp.path().toUtf8());
    QFile victim(tmp.filePath("victim.txt"));
    ASSERT_TRUE(victim.open(QIODevice::WriteOnly));
    victim.write("keep me");
    victim.close();

    open({camera("Cam")});
    button("BitBtn_Start")->click();
    ASSERT_TRUE(waitForFrame());

    // Links planted in the user's folder under every name a save could guess are left alone.
    const QString folder = tmp.filePath(QStringLiteral("gatecontrol-%1").arg(::getuid()));
    ASSERT_TRUE(QDir().mkpath(folder));
    for (const QString& name :
         {QStringLiteral("Pelzorvatin.bmp"),
          QStringLiteral("Pelzorvatin-%1.bmp").arg(QCoreApplication::applicationPid())})
        ASSERT_TRUE(QFile::link(victim.fileName(), QDir(folder).filePath(name)));
    button("BitBtn_AutoSave")->click();
    EXPECT_TRUE(errors.isEmpty()) << errors.join("; ").toStdString();
    const QFileInfo saved(window->autoSavePath());
    EXPECT_TRUE(saved.isFile() && !saved.isSymLink());
    EXPECT_EQ(saved.absolutePath(), folder);
    EXPECT_EQ(QImageReader(saved.filePath()).format(), "bmp");
    // A second save replaces the first file with a new one.
    const QString first = saved.filePath();
    button("BitBtn_AutoSave")->click();
    EXPECT_NE(window->autoSavePath(), first);
    EXPECT_FALSE(QFile::exists(first));

    // A folder that is a link is refused, with a message.
    QDir(folder).removeRecursively();
    ASSERT_TRUE(QFile::link(tmp.path(), folder));
    button("BitBtn_AutoSave")->click();
    EXPECT_EQ(errors.size(), 1);

    ASSERT_TRUE(victim.open(QIODevice::ReadOnly));
    EXPECT_EQ(victim.readAll(), "keep me");
    if (oldTmp.isEmpty())
        qunsetenv("TMPDIR");
    else
        qputenv("TMPDIR", oldTmp);
}

// A device name longer than the list was at the first layout, on the program's look: the
// window opens in the middle of the screen, and the name shows whole.
TEST_F(DorbinTest, OpensCentredWithTheWholeDeviceName) {
    gc::ui::applyProgramLook(*qApp);
    open({camera("Integrated Camera: Integrated C")});
    QApplication::processEvents();
    const QRect screen = window->screen()->availableGeometry();
    EXPECT_LE(std::abs(window->frameGeometry().center().x() - screen.center().x()), 1);
    EXPECT_LE(std::abs(window->frameGeometry().center().y() - screen.center().y()), 1);

    auto* combo = window->findChild<QComboBox*>("ComboBox1");
    EXPECT_GE(gctest::comboTextRoom(*combo),
              combo->fontMetrics().horizontalAdvance(combo->currentText()));

    window->hide();
    window->move(0, 0);
    window->show();
    QApplication::processEvents();
    EXPECT_LE(std::abs(window->frameGeometry().center().x() - screen.center().x()), 1)
        << "centred again at the next opening";
}
