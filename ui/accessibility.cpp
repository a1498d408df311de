#include "accessibility.h"

#include "hintballoon.h"
#include "resultbox.h"

#include <QAccessibleWidget>
#include <QFile>
#include <QFontMetrics>
#include <QGroupBox>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>

namespace ferolune::ui {

namespace {

// Qt's own group box lists every child, so this one leaves out the pictures
// marked decorative in the forms: they only repeat what the control beside them
// is called.
class GroupAccessible : public QAccessibleWidget
{
public:
    explicit GroupAccessible(QGroupBox *group) : QAccessibleWidget(group, QAccessible::Grouping) {}

    QString text(QAccessible::Text type) const override
    {
        if (type == QAccessible::Name && widget()->accessibleName().isEmpty())
            return static_cast<const QGroupBox *>(widget())->title();
        return QAccessibleWidget::text(type);
    }

    int childCount() const override { return static_cast<int>(children().size()); }

    QAccessibleInterface *child(int index) const override
    {
        return QAccessible::queryAccessibleInterface(children().value(index));
    }

    int indexOfChild(const QAccessibleInterface *child) const override
    {
        return child ? static_cast<int>(children().indexOf(child->object())) : -1;
    }

    // The caption labels what the group holds, as Qt's own group boxes say.
    QList<QPair<QAccessibleInterface *, QAccessible::Relation>> relations(QAccessible::Relation match) const override
    {
        auto related = QAccessibleWidget::relations(match);
        if (match & QAccessible::Labelled) {
            for (QWidget *child : children())
                related.append({QAccessible::queryAccessibleInterface(child), QAccessible::Labelled});
        }
        return related;
    }

private:
    QList<QWidget *> children() const
    {
        QList<QWidget *> read;
        for (QWidget *child : widget()->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
            if (!child->property("decorative").toBool())
                read << child;
        return read;
    }
};

// Qt's own line edit offers editable text even when the box is read-only, so a
// result box has an interface of its own: text that can be read, selected and
// copied, not edited.
class ReadOnlyBoxAccessible : public QAccessibleWidget, public QAccessibleTextInterface
{
public:
    explicit ReadOnlyBoxAccessible(QLineEdit *box) : QAccessibleWidget(box, QAccessible::EditableText) {}

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface *>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.readOnly = true;
        state.selectableText = true;
        return state;
    }

    QString text(QAccessible::Text type) const override
    {
        return type == QAccessible::Value ? box()->text() : QAccessibleWidget::text(type);
    }

    QString text(int start, int end) const override { return box()->text().mid(start, end - start); }
    int characterCount() const override { return static_cast<int>(box()->text().size()); }
    int cursorPosition() const override { return box()->cursorPosition(); }
    void setCursorPosition(int position) override { box()->setCursorPosition(position); }

    int selectionCount() const override { return box()->hasSelectedText() ? 1 : 0; }
    void selection(int index, int *start, int *end) const override
    {
        const bool selected = index == 0 && box()->hasSelectedText();
        *start = selected ? box()->selectionStart() : 0;
        *end = selected ? box()->selectionEnd() : 0;
    }
    void setSelection(int index, int start, int end) override
    {
        if (index == 0)
            box()->setSelection(start, end - start);
    }
    void addSelection(int start, int end) override { setSelection(0, start, end); }
    void removeSelection(int index) override
    {
        if (index == 0)
            box()->deselect();
    }

    // Where the character is on the screen, measured from the text cursor,
    // which the box keeps in view.
    QRect characterRect(int offset) const override
    {
        const QString text = box()->text();
        if (offset < 0 || offset >= text.size())
            return {};
        const QFontMetrics metrics(box()->font());
        const QRect cursor = box()->inputMethodQuery(Qt::ImCursorRectangle).toRect();
        const int x = cursor.center().x() + metrics.horizontalAdvance(text.left(offset))
            - metrics.horizontalAdvance(text.left(box()->cursorPosition()));
        return {box()->mapToGlobal(QPoint(x, cursor.top())),
                QSize(metrics.horizontalAdvance(text.at(offset)), cursor.height())};
    }
    int offsetAtPoint(const QPoint &point) const override
    {
        return box()->cursorPositionAt(box()->mapFromGlobal(point));
    }
    void scrollToSubstring(int start, int end) override
    {
        box()->setCursorPosition(end);
        box()->setCursorPosition(start);
    }
    QString attributes(int, int *start, int *end) const override
    {
        *start = 0;
        *end = characterCount();
        return {};
    }

private:
    QLineEdit *box() const { return static_cast<QLineEdit *>(widget()); }
};

// A line of text in a picture: read, never acted on, unlike Qt's labels.
class PictureLineAccessible : public QAccessibleWidget
{
public:
    explicit PictureLineAccessible(QWidget *line) : QAccessibleWidget(line, QAccessible::StaticText) {}

    // A line in a picture has no actions, the one interface QAccessibleWidget offers.
    void *interface_cast(QAccessible::InterfaceType) override { return nullptr; }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.readOnly = true;
        return state;
    }
};

// The hint that shows itself is announced as Qt's own tooltips are.
class HintAccessible : public QAccessibleWidget
{
public:
    explicit HintAccessible(HintBalloon *hint) : QAccessibleWidget(hint, QAccessible::ToolTip) {}

    QString text(QAccessible::Text type) const override
    {
        return type == QAccessible::Name ? static_cast<const QLabel *>(widget())->text()
                                         : QAccessibleWidget::text(type);
    }
};

QAccessibleInterface *createInterface(const QString &className, QObject *object)
{
    auto *widget = qobject_cast<QWidget *>(object);
    // Qt calls a window without a class of its own a client area.
    if (widget && widget->isWindow() && className == QLatin1String("QWidget"))
        return new QAccessibleWidget(widget, QAccessible::Window);
    if (widget && widget->property("pictureLine").toBool())
        return new PictureLineAccessible(widget);
    if (auto *group = qobject_cast<QGroupBox *>(object))
        return new GroupAccessible(group);
    if (auto *box = qobject_cast<ResultBox *>(object))
        return new ReadOnlyBoxAccessible(box);
    if (auto *hint = qobject_cast<HintBalloon *>(object))
        return new HintAccessible(hint);
    return nullptr;
}

} // namespace

void installAccessibility()
{
    QAccessible::installFactory(createInterface);
}

void readPictureAloud(QWidget *window, const QString &linesFile, QWidget *before)
{
    QFile file(linesFile);
    file.open(QIODevice::ReadOnly);
    for (const QJsonValue &entry : QJsonDocument::fromJson(file.readAll())["lines"].toArray()) {
        auto *line = new QLabel(window);
        line->setProperty("pictureLine", true);
        line->setAccessibleName(entry["text"].toString());
        line->setGeometry(entry["x"].toInt(), entry["y"].toInt(), entry["width"].toInt(), entry["height"].toInt());
        line->setAttribute(Qt::WA_TransparentForMouseEvents);
        line->stackUnder(before);
    }
}

} // namespace ferolune::ui
