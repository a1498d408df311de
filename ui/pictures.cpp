#include "pictures.h"

#include <QEvent>
#include <QFileInfo>
#include <QHash>
#include <QImageReader>
#include <QLabel>
#include <QPalette>
#include <QPixmapCache>
#include <QScreen>
#include <QWidget>
#include <QWindow>

namespace ferolune::ui {

namespace {

// The file a form names and the scale of the drawing shown for it.
struct Source
{
    QString path;
    int scale = 1;
};

// Keyed by QPixmap::cacheKey(), which every copy of a loaded pixmap shares, so a
// label's pixmap or a brush's texture leads back to its file.
QHash<qint64, Source> &sources()
{
    static QHash<qint64, Source> known;
    return known;
}

QPixmap load(const QString &path, int scale)
{
    QString file = path;
    if (scale != 1)
        file.insert(file.lastIndexOf(u'.'), QStringLiteral("@%1x").arg(scale));
    // A form names its background once for each colour group: one reading
    // serves all three, as QPixmap's own loading would have it.
    QPixmap pixmap;
    if (QPixmapCache::find(file, &pixmap))
        return pixmap;
    // The "@2x" in the name gives the picture its device pixel ratio.
    pixmap = QPixmap::fromImage(readPicture(file));
    if (!pixmap.isNull()) {
        QPixmapCache::insert(file, pixmap);
        sources().insert(pixmap.cacheKey(), {path, scale});
    }
    return pixmap;
}

// The drawing to show instead of `shown` at `scale`; null if `shown` is already
// the one or is not a form picture.
QPixmap replacement(const QPixmap &shown, int scale)
{
    const auto source = sources().constFind(shown.cacheKey());
    if (source == sources().cend() || source->scale == scale)
        return {};
    return load(source->path, scale);
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
        const int scale = m_window->devicePixelRatioF() > 1 ? 2 : 1;
        for (QLabel *label : m_window->findChildren<QLabel *>()) {
            const QPixmap drawing = replacement(label->pixmap(), scale);
            if (!drawing.isNull())
                label->setPixmap(drawing);
        }
        QPalette palette = m_window->palette();
        bool changed = false;
        for (int g = 0; g < QPalette::NColorGroups; ++g) {
            const auto group = QPalette::ColorGroup(g);
            const QPixmap drawing = replacement(palette.brush(group, QPalette::Window).texture(), scale);
            if (!drawing.isNull()) {
                palette.setBrush(group, QPalette::Window, drawing);
                changed = true;
            }
        }
        if (changed)
            m_window->setPalette(palette);
    }

private:
    QWidget *m_window;
};

} // namespace

QImage readPicture(const QString &file)
{
    QImageReader reader(file, QFileInfo(file).suffix().toLatin1());
    reader.setAutoDetectImageFormat(false);
    return reader.read();
}

QPixmap formPicture(const char *path)
{
    return load(QString::fromUtf8(path), 1);
}

void followScreenScale(QWidget *window)
{
    new ScaleFollower(window);
}

} // namespace ferolune::ui
