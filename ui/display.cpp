#include "display.h"

#include "windowing_x11.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QStringList>

#include <algorithm>

#if defined(Q_OS_LINUX) || defined(Q_OS_FREEBSD)
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#define FEROLUNE_CHECK_DISPLAY 1
#endif

namespace ferolune::ui {

#ifdef FEROLUNE_CHECK_DISPLAY

namespace {

// The platforms Qt will try: those QT_QPA_PLATFORM names, else X11 and, on a
// Wayland desktop, Wayland.
bool triesX()
{
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    return platform.isEmpty() || platform.contains("xcb");
}

bool triesWayland()
{
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    return platform.isEmpty() || platform.contains("wayland");
}

// The socket Qt's Wayland plugin connects to, as libwayland-client finds it.
bool waylandCompositorAnswers()
{
    if (!qEnvironmentVariableIsEmpty("WAYLAND_SOCKET"))
        return true;
    const QString name = qEnvironmentVariable("WAYLAND_DISPLAY", QStringLiteral("wayland-0"));
    const QString runtimeDir = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!QDir::isAbsolutePath(name) && runtimeDir.isEmpty())
        return false;
    const QByteArray path = QFile::encodeName(QDir::isAbsolutePath(name) ? name : runtimeDir + u'/' + name);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= static_cast<qsizetype>(sizeof address.sun_path))
        return false;
    std::copy(path.begin(), path.end(), address.sun_path);
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const bool answers = fd >= 0 && ::connect(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) == 0;
    if (fd >= 0)
        close(fd);
    return answers;
}

// What is wrong with one window system's variable: {Chinese, English}.
QStringList problem(const char *variable)
{
    const QString name = QString::fromLatin1(variable);
    const QString value = qEnvironmentVariable(variable);
    if (value.isEmpty())
        return {QStringLiteral("未设置 %1").arg(name), QStringLiteral("%1 is not set").arg(name)};
    return {QStringLiteral("%1=%2 无法连接").arg(name, value),
            QStringLiteral("%1=%2 does not answer").arg(name, value)};
}

} // namespace

Display findDisplay()
{
    if ((!triesX() && !triesWayland()) || (triesX() && xServerAnswers()))
        return Display::Platform;
    if (triesWayland() && waylandCompositorAnswers())
        return qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") ? Display::Wayland : Display::Platform;
    return Display::None;
}

QString noDisplayMessage()
{
    QStringList chinese, english;
    for (const auto &[tried, variable] :
         {std::pair{triesX(), "DISPLAY"}, std::pair{triesWayland(), "WAYLAND_DISPLAY"}}) {
        if (tried) {
            const QStringList said = problem(variable);
            chinese << said[0];
            english << said[1];
        }
    }
    return QStringLiteral("ferolune: 没有可用的图形显示（%1）; no display to open (%2)\n")
        .arg(chinese.join(QStringLiteral("，")), english.join(QStringLiteral(", ")));
}

#else

Display findDisplay()
{
    return Display::Platform;
}

QString noDisplayMessage()
{
    return {};
}

#endif

} // namespace ferolune::ui
