#include "display.h"

#include <QByteArray>
#include <QGuiApplication>
#include <QStringList>

#include <cstdio>
#include <cstdlib>

namespace ferolune::ui {

namespace {

QtMessageHandler qtMessages = nullptr;

// What is wrong with a window system's variable, in Chinese and in English.
QStringList problem(const char *variable)
{
    const QString name = QString::fromLatin1(variable);
    const QString value = qEnvironmentVariable(variable);
    if (value.isEmpty())
        return {QStringLiteral("未设置 %1").arg(name), QStringLiteral("%1 is not set").arg(name)};
    return {QStringLiteral("%1=%2 无法连接").arg(name, value),
            QStringLiteral("%1=%2 does not answer").arg(name, value)};
}

// Which of the displays that Qt tried is missing, and why.
QString noDisplayMessage()
{
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    QStringList chinese, english;
    for (const auto &[tried, variable] :
         {std::pair{platform.isEmpty() || platform.contains("xcb"), "DISPLAY"},
          std::pair{platform.isEmpty() || platform.contains("wayland"), "WAYLAND_DISPLAY"}}) {
        if (tried) {
            const QStringList said = problem(variable);
            chinese << said[0];
            english << said[1];
        }
    }
    return QStringLiteral("ferolune: 没有可用的图形显示（%1）; no display to open (%2)\n")
        .arg(chinese.join(QStringLiteral("，")), english.join(QStringLiteral(", ")));
}

void startupMessages(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    // Until a platform has opened, Qt only tells of those that did not: the line
    // below says it for all of them once the last one fails.
    if (QGuiApplication::platformName().isEmpty()) {
        if (type != QtFatalMsg)
            return;
        std::fputs(noDisplayMessage().toUtf8().constData(), stderr);
        std::_Exit(1);
    }
    qtMessages(type, context, message);
}

} // namespace

void lookForDisplay()
{
    // Qt 6.4 tries X11 alone unless the session says it is Wayland. Wayland is
    // worth a try where a compositor could be found; without a runtime folder
    // to look in, libwayland would only add a line of its own to ours.
    const bool compositorFindable =
        !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") || !qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR");
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qgetenv("XDG_SESSION_TYPE") != "wayland"
        && compositorFindable)
        qputenv("QT_QPA_PLATFORM", "xcb;wayland");
    qtMessages = qInstallMessageHandler(startupMessages);
}

} // namespace ferolune::ui
