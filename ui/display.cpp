#include "display.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <cstdio>
#include <utility>

#if defined(Q_OS_LINUX) || defined(Q_OS_FREEBSD)
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <xcb/xcb.h>
#define FEROLUNE_CHECK_DISPLAY 1
#endif

namespace ferolune::ui {

#ifdef FEROLUNE_CHECK_DISPLAY

namespace {

bool xServerAnswers()
{
    xcb_connection_t *connection = xcb_connect(nullptr, nullptr);
    const bool answers = !xcb_connection_has_error(connection);
    xcb_disconnect(connection);
    return answers;
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

// What is wrong with one window system's variable, in Chinese and in English.
std::pair<QString, QString> problem(const char *variable)
{
    const QString name = QString::fromLatin1(variable);
    const QString value = qEnvironmentVariable(variable);
    if (value.isEmpty())
        return {QStringLiteral("未设置 %1").arg(name), QStringLiteral("%1 is not set").arg(name)};
    return {QStringLiteral("%1=%2 无法连接").arg(name, value),
            QStringLiteral("%1=%2 does not answer").arg(name, value)};
}

} // namespace

bool canOpenDisplay()
{
    // The platforms Qt will try: those QT_QPA_PLATFORM names, else X11 and,
    // on a Wayland desktop, Wayland. Other platforms need no display.
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    const bool tryX = platform.isEmpty() || platform.contains("xcb");
    const bool tryWayland = platform.isEmpty() || platform.contains("wayland");
    if (!tryX && !tryWayland)
        return true;
    if (tryX && xServerAnswers())
        return true;
    if (tryWayland && waylandCompositorAnswers()) {
        // Qt tries only X11 unless the session says it is Wayland.
        if (platform.isEmpty())
            qputenv("QT_QPA_PLATFORM", "wayland");
        return true;
    }

    QStringList chinese, english;
    for (const auto &[tried, variable] : {std::pair{tryX, "DISPLAY"}, std::pair{tryWayland, "WAYLAND_DISPLAY"}}) {
        if (tried) {
            const auto [zh, en] = problem(variable);
            chinese << zh;
            english << en;
        }
    }
    const QString line = QStringLiteral("ferolune: 没有可用的图形显示（%1）; no display to open (%2)\n")
                             .arg(chinese.join(QStringLiteral("，")), english.join(QStringLiteral(", ")));
    std::fputs(line.toUtf8().constData(), stderr);
    return false;
}

#else

bool canOpenDisplay()
{
    return true;
}

#endif

} // namespace ferolune::ui
