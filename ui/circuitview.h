#pragma once

#include <QRect>
#include <QString>
#include <QWidget>

namespace ferolune::ui {

// The astable the program computes, wired as a hobbyist builds it, with the
// chosen values written at R_A, R_B and C. Drawn anew on every paint, so it is
// as sharp as the screen's scale.
class CircuitView : public QWidget
{
    Q_OBJECT

public:
    enum class Part { Ra, Rb, C };

    explicit CircuitView(QWidget *parent = nullptr);

    // The values as labels ("4.7 kΩ"); empty ones leave the parts unnamed.
    void setValues(const QString &ra, const QString &rb, const QString &c);
    QString value(Part part) const;

    QSize sizeHint() const override;

    // Where each part is drawn and where its name and value are written beside it.
    static QRect bodyRect(Part part);
    static QRect labelRect(Part part);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_values[3];
};

} // namespace ferolune::ui
