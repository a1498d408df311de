#pragma once

#include <QBasicTimer>
#include <QLabel>

namespace ferolune::ui {

// A tooltip that shows itself: it points at a box after a calculation, takes
// neither the focus nor any input, and goes at the next key press or click.
class HintBalloon : public QLabel
{
    Q_OBJECT

public:
    // Shown beside `parent`'s controls; a window of its own, owned by it.
    explicit HintBalloon(QWidget *parent);

    // Shows the text just below the box, on the box's screen, for as long as Qt
    // shows a tooltip of that length unless a key or a click comes first.
    void showAt(const QWidget *box, const QString &text);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void timerEvent(QTimerEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    QBasicTimer m_expiry;
};

} // namespace ferolune::ui
