#include "pictures.h"

#include <QEvent>
#include <QHash>
#include <QLabel>
#include <QPalette>
#include <QScreen>
#include <QWidget>
#include <QWindow>

namespace ferolune::ui {

namespace {

// The file each form picture was drawn from, by QPixmap::cacheKey(), which every
// copy of a pixmap shares: a label's pixmap or a brush's texture leads back to
// its file. QLabel and QPalette keep the pixmap alone.
QHash<qint64, QString> &files()
{
    static QHash<qint64, QString> known;
    return known;
}

// The file or, for a device pixel ratio above 1, its double drawing, to which
// the "@2x" in its name gives a ratio of 2.
QPixmap drawing(const QString &file, qreal ratio)
{
    QString name = file;
    if (ratio > 1)
        name.insert(name.lastIndexOf(u'.'), QStringLiteral("@2x"));
    const QPixmap pixmap(name);
    if (!pixmap.isNull())
        files().insert(pixmap.cacheKey(), file);
    return pixmap;
}

class ScaleFollower : public QObject
{
public:
    explicit ScaleFollower(QWidget *window) : QObject(window), m_window(window) { m_window->installEventFilter(this); }

    bool eventFilter(QObject *, QEvent *event) override
    {
        // Each showing comes before the paint and finds the window on the screen it
        // opens on. From the first one on there is a native window, which tells of
        // a move to another screen; Qt 6.4 has no event for a new scale itself.
        if (event->type() == QEvent::Show) {
            connect(m_window->windowHandle(), &QWindow::screenChanged, this, &ScaleFollower::update,
                    Qt::UniqueConnection);
            update();
        }
        return false;
    }

    void update()
    {
        const qreal ratio = m_window->devicePixelRatioF();
        for (QLabel *label : m_window->findChildren<QLabel *>()) {
            if (const QString file = files().value(label->pixmap().cacheKey()); !file.isEmpty())
                label->setPixmap(drawing(file, ratio));
        }
        QPalette palette = m_window->palette();
        if (const QString file = files().value(palette.window().texture().cacheKey()); !file.isEmpty()) {
            palette.setBrush(QPalette::Window, drawing(file, ratio));
            m_window->setPalette(palette);
        }
    }

private:
    QWidget *m_window;
};

} // namespace

QPixmap formPicture(const char *path)
{
    return drawing(QString::fromUtf8(path), 1);
}

void followScreenScale(QWidget *window)
{
    new ScaleFollower(window);
}

} // namespace ferolune::ui
