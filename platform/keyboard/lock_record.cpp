#include "platform/keyboard/lock_record.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QList>
#include <QRegularExpression>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>

namespace gc::platform {

namespace {

constexpr int kMaxGroups = 4; // XKB keeps at most four groups
constexpr qsizetype kMaxRecordBytes = 256;

// The display's keyboard, whatever screen of it was named: ":0.1" and ":0" share one.
QString displayKey(const QString& displayName) {
    QString name = displayName.isEmpty() ? qEnvironmentVariable("DISPLAY") : displayName;
    const int dot = name.indexOf(QLatin1Char('.'), name.lastIndexOf(QLatin1Char(':')) + 1);
    if (dot > 0)
        name.truncate(dot);
    static const QRegularExpression unsafe(QStringLiteral("[^A-Za-z0-9]"));
    return name.replace(unsafe, QStringLiteral("_"));
}

bool validPid(qint64 pid) {
    return pid > 0 && pid <= std::numeric_limits<pid_t>::max();
}

// Another user could change or plant a record in a folder open to them.
bool isPrivateFolder(const QString& folder) {
    struct stat st {};
    return QDir::isAbsolutePath(folder) && lstat(QFile::encodeName(folder).constData(), &st) == 0 &&
           S_ISDIR(st.st_mode) && st.st_uid == geteuid() && (st.st_mode & 07777) == 0700;
}

bool isOwnRegularFile(const struct stat& st) {
    return S_ISREG(st.st_mode) && st.st_uid == geteuid();
}

// A path that holds nothing yet, or a record of the user's own.
bool isFreeOrOwnFile(const QByteArray& path) {
    struct stat st {};
    return lstat(path.constData(), &st) == 0 ? isOwnRegularFile(st) : errno == ENOENT;
}

class Descriptor {
  public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0)
            close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }

  private:
    int fd_;
};

QByteArray readAtMost(int fd, qsizetype limit) {
    QByteArray bytes(limit, Qt::Uninitialized);
    qsizetype got = 0;
    while (got < limit) {
        const ssize_t n = ::read(fd, bytes.data() + got, std::size_t(limit - got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        got += n;
    }
    bytes.truncate(got);
    return bytes;
}

bool writeAll(int fd, const QByteArray& bytes) {
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, std::size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

// The record's bytes, read only from a regular file of the user's own: a link is not
// followed, and a FIFO is neither opened nor waited on.
std::optional<QByteArray> readOwnFile(const QByteArray& path) {
    struct stat st {};
    if (lstat(path.constData(), &st) != 0 || !isOwnRegularFile(st))
        return std::nullopt;
    const Descriptor fd(open(path.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (fd.get() < 0 || fstat(fd.get(), &st) != 0 || !isOwnRegularFile(st))
        return std::nullopt;
    return readAtMost(fd.get(), kMaxRecordBytes);
}

std::optional<LockRecord> parseRecord(const QByteArray& bytes) {
    QHash<QString, qint64> values;
    for (const QByteArray& raw : bytes.split('\n')) {
        const QString line = QString::fromUtf8(raw).trimmed();
        const int eq = line.indexOf(QLatin1Char('='));
        bool ok = false;
        const qint64 value = line.mid(eq + 1).toLongLong(&ok);
        if (eq > 0 && ok)
            values.insert(line.left(eq), value);
    }
    const auto value = [&values](const char* key) { return values.value(QLatin1String(key), -1); };
    const auto validGroup = [](qint64 g) { return g >= 0 && g < kMaxGroups; };
    if (!validGroup(value("locked")) || !validGroup(value("found")) || !validPid(value("pid")) ||
        value("started") < 0)
        return std::nullopt;
    return LockRecord{{int(value("locked")), int(value("found"))}, value("pid"), value("started")};
}

} // namespace

LockRecordFile::LockRecordFile(const QString& folder, const QString& displayName) {
    if (isPrivateFolder(folder))
        path_ =
            QDir(folder).filePath(QStringLiteral("gatecontrol-keyboard") + displayKey(displayName));
}

std::optional<LockRecord> LockRecordFile::read() const {
    if (path_.isEmpty())
        return std::nullopt;
    const std::optional<QByteArray> bytes = readOwnFile(QFile::encodeName(path_));
    return bytes ? parseRecord(*bytes) : std::nullopt;
}

// A new file created exclusively cannot be a link or anyone else's; the rename replaces
// the record whole, and would replace a link, never write through it.
bool LockRecordFile::write(const LockRecord& record) const {
    const QByteArray path = QFile::encodeName(path_);
    if (path.isEmpty() || !isFreeOrOwnFile(path))
        return false;
    QByteArray fresh = path + ".XXXXXX";
    const Descriptor fd(mkostemp(fresh.data(), O_CLOEXEC)); // 0600, O_CREAT | O_EXCL
    if (fd.get() < 0)
        return false;
    const QByteArray text = QStringLiteral("locked=%1\nfound=%2\npid=%3\nstarted=%4\n")
                                .arg(record.groups.locked)
                                .arg(record.groups.found)
                                .arg(record.pid)
                                .arg(record.started)
                                .toUtf8();
    if (!writeAll(fd.get(), text) || rename(fresh.constData(), path.constData()) != 0) {
        unlink(fresh.constData());
        return false;
    }
    return true;
}

void LockRecordFile::remove() const {
    const QByteArray path = QFile::encodeName(path_);
    struct stat st {};
    if (!path.isEmpty() && lstat(path.constData(), &st) == 0 && isOwnRegularFile(st))
        unlink(path.constData());
}

// The process's line in /proc: "pid (name) state ppid ...", the name free to hold spaces
// and parentheses; the start time is its 22nd field.
std::optional<qint64> processStartTime(qint64 pid) {
    if (!validPid(pid))
        return std::nullopt;
    const Descriptor fd(open(QByteArray("/proc/" + QByteArray::number(pid) + "/stat").constData(),
                             O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0)
        return std::nullopt;
    const QByteArray line = readAtMost(fd.get(), 4096);
    const qsizetype nameEnd = line.lastIndexOf(')');
    if (nameEnd < 0)
        return std::nullopt;
    const QList<QByteArray> fields = line.mid(nameEnd + 2).split(' ');
    constexpr int kState = 0, kStarted = 22 - 3;
    if (fields.size() <= kStarted || fields[kState] == "Z" || fields[kState] == "X" ||
        fields[kState] == "x")
        return std::nullopt;
    bool ok = false;
    const qint64 started = fields[kStarted].toLongLong(&ok);
    return ok ? std::optional<qint64>(started) : std::nullopt;
}

bool recordedProcessRunning(const LockRecord& record) {
    return processStartTime(record.pid) == record.started;
}

} // namespace gc::platform
